#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Pictures from files whose format is known only by their first bytes: catalog screenshots
// and the pages handed to the thumbnail maker.
namespace PictureFile {

enum class Format
{
    Unknown,
    Png,
    Jpeg,
    Gif
};

Format Sniff(QByteArrayView data);

// PNG, JPEG or GIF, decided by the bytes, not by the name. Throws EInvalidGraphic for any
// other content, for damaged pictures and for pictures of more than maxPixels pixels (one of
// PictureLimits).
QImage Read(QByteArrayView data, qsizetype maxPixels);

// As Read, for a whole file; throws EFileError when the file cannot be read.
QImage Load(const QString& path, qsizetype maxPixels);

} // namespace PictureFile
