#pragma once

#include <QByteArray>
#include <QImage>

namespace velmar {

// Decodes a baseline or progressive JPEG with libjpeg; a null image when the data is not one.
QImage DecodeJpeg(const QByteArray& data);

}  // namespace velmar
