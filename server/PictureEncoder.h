#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Encodes the catalog's pictures in the three formats the program decodes.
namespace PictureEncoder {

// format "jpg" (baseline JPEG with a JFIF header), "png" or "gif" (one 8-bit frame). Throws
// EMorvalenError for another format or when encoding fails.
QByteArray Encode(const QImage& image, const QString& format);

// The Content-Type of a picture format.
QByteArray ContentType(const QString& format);

} // namespace PictureEncoder
