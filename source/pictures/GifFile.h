#pragma once

#include <QByteArray>
#include <QImage>

// GIF pictures through giflib: the catalog's pictures. Only the first frame is read.
namespace GifFile {

bool HasSignature(QByteArrayView data);

// The first frame on the logical screen, as ARGB32: the frame's transparent colour and the
// screen outside the frame are transparent. Throws EInvalidGraphic for anything that is not
// a whole, valid GIF: a file cut short after its first frame is refused too, and so is a
// screen or frame of more than maxPixels pixels (see PictureLimits) or a frame whose data could
// not code its pixels, before any pixel memory is taken.
QImage Read(QByteArrayView data, qsizetype maxPixels);

} // namespace GifFile
