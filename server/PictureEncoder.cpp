#include "PictureEncoder.h"

#include "common/Errors.h"

#include <QBuffer>
#include <QImageWriter>

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

// A fixed palette (6 reds x 7 greens x 6 blues) is good enough for drawn cards, and unlike an
// adaptive one gives the same file for the same picture every time.
constexpr int kReds = 6;
constexpr int kGreens = 7;
constexpr int kBlues = 6;

int Level(int value, int steps)
{
    return (value * (steps - 1) + 127) / 255;
}

int GifWrite(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

QByteArray EncodeGif(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::vector<GifColorType> colors;
    for (int r = 0; r < kReds; ++r) {
        for (int g = 0; g < kGreens; ++g) {
            for (int b = 0; b < kBlues; ++b) {
                colors.push_back({GifByteType(r * 255 / (kReds - 1)), GifByteType(g * 255 / (kGreens - 1)),
                                  GifByteType(b * 255 / (kBlues - 1))});
            }
        }
    }
    colors.resize(256, GifColorType{0, 0, 0});

    QByteArray file;
    int error = 0;
    GifFileType* gif = EGifOpen(&file, GifWrite, &error);
    if (gif == nullptr)
        throw EMorvalenError(
            u"Cannot encode a GIF picture: %1"_s.arg(QString::fromUtf8(GifErrorString(error))));
    const auto close = [&] {
        int closeError = 0;
        const bool closed = EGifCloseFile(gif, &closeError) == GIF_OK;
        gif = nullptr;
        return closed;
    };
    ColorMapObject* palette = GifMakeMapObject(256, colors.data());
    const bool written = palette != nullptr &&
                         EGifPutScreenDesc(gif, image.width(), image.height(), 8, 0, palette) == GIF_OK &&
                         EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
    GifFreeMapObject(palette);
    bool rowsWritten = written;
    std::vector<GifByteType> row(size_t(image.width()));
    for (int y = 0; rowsWritten && y < image.height(); ++y) {
        const QRgb* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            row[size_t(x)] = GifByteType(
                (Level(qRed(pixels[x]), kReds) * kGreens + Level(qGreen(pixels[x]), kGreens)) * kBlues +
                Level(qBlue(pixels[x]), kBlues));
        }
        rowsWritten = EGifPutLine(gif, row.data(), image.width()) == GIF_OK;
    }
    if (!close() || !rowsWritten)
        throw EMorvalenError(u"Cannot encode a GIF picture"_s);
    return file;
}

QByteArray EncodeWithQt(const QImage& image, const char* format, int quality)
{
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        throw EMorvalenError(
            u"Cannot encode a %1 picture: %2"_s.arg(QString::fromLatin1(format), writer.errorString()));
    return file;
}

} // namespace

namespace PictureEncoder {

QByteArray Encode(const QImage& image, const QString& format)
{
    if (format == u"jpg"_s)
        return EncodeWithQt(image.convertToFormat(QImage::Format_RGB32), "jpeg", 85);
    if (format == u"png"_s)
        return EncodeWithQt(image, "png", -1);
    if (format == u"gif"_s)
        return EncodeGif(image);
    throw EMorvalenError(u"Unknown picture format \"%1\""_s.arg(format));
}

QByteArray ContentType(const QString& format)
{
    if (format == u"jpg"_s)
        return "image/jpeg";
    if (format == u"gif"_s)
        return "image/gif";
    return "image/png";
}

} // namespace PictureEncoder
