#include "PictureFile.h"

#include "EInvalidGraphic.h"
#include "GifFile.h"
#include "JpegFile.h"
#include "PngFile.h"

#include "common/FileUtils.h"

using namespace Qt::Literals::StringLiterals;

namespace PictureFile {

Format Sniff(QByteArrayView data)
{
    if (PngFile::HasSignature(data))
        return Format::Png;
    if (JpegFile::HasSignature(data))
        return Format::Jpeg;
    if (GifFile::HasSignature(data))
        return Format::Gif;
    return Format::Unknown;
}

QImage Read(QByteArrayView data, qsizetype maxPixels)
{
    switch (Sniff(data)) {
    case Format::Png:
        return PngFile::Read(data, maxPixels);
    case Format::Jpeg:
        return JpegFile::Read(data, maxPixels);
    case Format::Gif:
        return GifFile::Read(data, maxPixels);
    case Format::Unknown:
        break;
    }
    throw EInvalidGraphic(u"Unknown picture format: not a PNG, JPEG or GIF image"_s);
}

QImage Load(const QString& path, qsizetype maxPixels)
{
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(path);
    if (!data)
        throw EFileError(u"Cannot read file \"%1\"."_s.arg(path));
    return Read(*data, maxPixels);
}

} // namespace PictureFile
