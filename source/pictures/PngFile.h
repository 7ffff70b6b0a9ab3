#pragma once

#include <QByteArray>
#include <QImage>

// PNG pictures through libpng: the built-in pictures, the stored thumbnails and the catalog's
// pictures.
namespace PngFile {

bool HasSignature(QByteArrayView data);

// Every PNG colour type and depth, as ARGB32 (alpha kept, palettes and tRNS colours turned into
// alpha). Throws EInvalidGraphic for anything that is not a whole, valid PNG; a picture whose
// declared size its compressed data could never fill, or of more than maxPixels pixels (see
// PictureLimits), is refused before any pixel memory is taken.
QImage Read(QByteArrayView data, qsizetype maxPixels);

// Width and height from the header alone; throws EInvalidGraphic when there is no header.
QSize ReadSize(QByteArrayView data);

// Eight bits per channel; RGBA when the picture has an alpha channel, else RGB.
QByteArray Write(const QImage& image);

} // namespace PngFile
