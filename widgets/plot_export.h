#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

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
// An enhanced metafile holding the picture, described as "Strip Chart".
QString writeEmf(const QImage& image, const QString& fileName);
QByteArray emfBytes(const QImage& image);

}  // namespace velmar
