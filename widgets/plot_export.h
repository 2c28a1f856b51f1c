#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

class QPainter;

namespace velmar {

enum class PictureFormat { None, Bmp, Emf, Jpeg, Png };

// The picture format for a file name, by its last three characters, letter case ignored
// ("CHART.BMP" is a bitmap like "chart.bmp").
PictureFormat pictureFormatFor(const QString& fileName);

// The save dialog's filter in the toolkit's notation.
QString pictureSaveFilter();

// Writers return an empty string on success, otherwise the reason.
QString writeBmp(const QImage& image, const QString& fileName);
QString writeJpeg(const QImage& image, const QString& fileName, int quality = 100);
QString writePng(const QImage& image, const QString& fileName);
// An enhanced metafile of what `paint` draws on a `size` pixel page, in vector form (lines,
// polygons, text), described as "Strip Chart".
using PaintFunction = std::function<void(QPainter&)>;
QString writeEmf(const PaintFunction& paint, QSize size, const QString& fileName);
QByteArray emfBytes(const PaintFunction& paint, QSize size);

}  // namespace velmar
