#pragma once

#include <QByteArray>
#include <QImage>

// JPEG pictures through libjpeg: the catalog's screenshots.
namespace JpegFile {

bool HasSignature(QByteArrayView data);

// Grey, colour and CMYK pictures, baseline or progressive, as RGB32. Throws EInvalidGraphic
// for anything that is not a whole, valid JPEG: a file cut short is an error, never a picture
// padded with grey, and so is a header that declares more pixels than maxPixels (see
// PictureLimits) or more blocks than the data after it could hold.
QImage Read(QByteArrayView data, qsizetype maxPixels);

} // namespace JpegFile
