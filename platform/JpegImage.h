// Decoding a baseline JPEG held in memory into a QImage with libjpeg (not Qt's plugin).
#pragma once

#include <QByteArray>
#include <QImage>

namespace JpegImage {

// The decoded picture as RGB888, or a null image when the data is not a complete,
// decodable JPEG (corrupt or truncated data, unsupported colour space, a picture larger
// than MaxPixels). Never exits or crashes on bad data.
QImage Decode(const QByteArray& Data);

inline constexpr qint64 MaxPixels = 64LL * 1024 * 1024;

} // namespace JpegImage
