#pragma once

#include <QByteArray>
#include <QImage>

// JPEG pictures through libjpeg: the catalog's screenshots.
namespace JpegFile {

bool HasSignature(QByteArrayView data);

// Grey, colour and CMYK pictures, baseline or progressive, as RGB32. Throws EInvalidGraphic
// for anything that is not a whole, valid JPEG: a file cut short is an error, never a picture
// padded with grey.
QImage Read(QByteArrayView data);

} // namespace JpegFile
