#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

class QPainter;

namespace velmar {

enum class PictureFormat { None, Bmp, Emf, Jpeg, Png, Svg, Pdf };

// The picture format for a file name, by its last three characters, letter case ignored
// ("CHART.BMP" is a bitmap like "chart.bmp").
PictureFormat pictureFormatFor(const QString& fileName);

// The save dialog's filters in the toolkit's notation: the four the chart has always offered,
// in their order, then the two vector formats.
QString pictureSaveFilter();

// The bitmap, JPEG and PNG pictures, written by the toolkit's image writer as opaque 8-bit
// colour (a JPEG at `quality`, 0 to 100).
bool isRasterPicture(PictureFormat format);
// Replaces `fileName` with `image` in `format` in one step (written beside it, renamed over it
// only when the whole picture was written), so a failed save leaves the file that was there.
// Empty on success, otherwise the reason.
QString saveRasterPicture(const QImage& image, PictureFormat format, const QString& fileName, int quality = 100);
// The same pictures as bytes; empty when the picture could not be made.
QByteArray bmpBytes(const QImage& image);
QByteArray jpegBytes(const QImage& image, int quality = 100);
QByteArray pngBytes(const QImage& image);
// Vector pictures of what `paint` draws on a `size` pixel page: an enhanced metafile (lines,
// polygons, text, described as "Strip Chart"), SVG, and a one-page PDF of that size at 96
// pixels per inch.
using PaintFunction = std::function<void(QPainter&)>;
QByteArray emfBytes(const PaintFunction& paint, QSize size);
QByteArray svgBytes(const PaintFunction& paint, QSize size);
QByteArray pdfBytes(const PaintFunction& paint, QSize size);

}  // namespace velmar
