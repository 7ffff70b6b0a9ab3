#include "PictureSamples.h"

#include <QtEndian>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <gif_lib.h>
#include <jpeglib.h>

namespace {

void AppendWord(QByteArray& data, uint16_t value)
{
    data.append(char(value & 0xFF));
    data.append(char(value >> 8));
}

void AppendDWord(QByteArray& data, uint32_t value)
{
    AppendWord(data, uint16_t(value & 0xFFFF));
    AppendWord(data, uint16_t(value >> 16));
}

int WriteToArray(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

} // namespace

namespace PictureSamples {

QByteArray DibHeader(int width, int height, int bitCount, uint32_t compression, uint32_t colorsUsed)
{
    QByteArray header;
    AppendDWord(header, 40);
    AppendDWord(header, uint32_t(width));
    AppendDWord(header, uint32_t(height * 2));
    AppendWord(header, 1);
    AppendWord(header, uint16_t(bitCount));
    AppendDWord(header, compression);
    AppendDWord(header, 0); // image size
    AppendDWord(header, 0);
    AppendDWord(header, 0);
    AppendDWord(header, colorsUsed);
    AppendDWord(header, 0);
    return header;
}

QByteArray FourBitImage()
{
    QByteArray data = DibHeader(16, 16, 4);
    for (int i = 0; i < 16; ++i) {
        const char entry[4] = {char(i * 16), char(255 - i * 16), char(i * 8), 0};
        data.append(entry, 4);
    }
    for (int row = 15; row >= 0; --row) { // bottom-up
        for (int x = 0; x < 16; x += 2)
            data.append(char((((x + row) % 16) << 4) | ((x + 1 + row) % 16)));
    }
    for (int row = 15; row >= 0; --row) {
        const char bits = row == 0 ? char(0xFF) : char(0);
        data.append(bits).append(bits).append(char(0)).append(char(0));
    }
    return data;
}

QByteArray ThirtyTwoBitImage()
{
    QByteArray data = DibHeader(16, 16, 32);
    for (int row = 15; row >= 0; --row) {
        for (int x = 0; x < 16; ++x) {
            const bool transparent = x == 0 && row == 0;
            const char pixel[4] = {char(128), char(row * 16), char(x * 16), char(transparent ? 0 : 255)};
            data.append(pixel, 4);
        }
    }
    data.append(QByteArray(16 * 4, '\0'));
    return data;
}

QByteArray IconFile(const std::vector<IconEntry>& entries, uint16_t type)
{
    QByteArray file;
    AppendWord(file, 0);
    AppendWord(file, type);
    AppendWord(file, uint16_t(entries.size()));
    uint32_t offset = uint32_t(6 + 16 * entries.size());
    for (const IconEntry& entry : entries) {
        file.append(char(entry.width)).append(char(entry.height)).append(char(entry.colorCount)).append('\0');
        AppendWord(file, 1);
        AppendWord(file, uint16_t(entry.bitCount));
        AppendDWord(file, uint32_t(entry.data.size()));
        AppendDWord(file, offset);
        offset += uint32_t(entry.data.size());
    }
    for (const IconEntry& entry : entries)
        file.append(entry.data);
    return file;
}

QByteArray TwoImageIcon()
{
    return IconFile({{FourBitImage(), 16, 16, 16, 0}, {ThirtyTwoBitImage(), 16, 16, 0, 32}});
}

QImage ColourfulPicture(int width, int height, bool withAlpha)
{
    QImage image(width, height, withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int alpha = withAlpha && x < width / 2 ? (x * 255) / std::max(1, width / 2) : 255;
            line[x] = qRgba((x * 255) / std::max(1, width - 1), (y * 255) / std::max(1, height - 1),
                            ((x + y) * 37) % 256, alpha);
        }
    }
    return image;
}

QByteArray MakeJpeg(const QImage& image, bool progressive)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray data(reinterpret_cast<const char*>(buffer), qsizetype(size));
    std::free(buffer);
    return data;
}

QByteArray MakeGif(const QImage& image, bool interlaced, int transparentIndex)
{
    // A fixed 256-colour palette (3-3-2 bits) and the nearest entry for every pixel.
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QByteArray data;
    int error = 0;
    GifFileType* gif = EGifOpen(&data, WriteToArray, &error);
    ColorMapObject* colors = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i) {
        colors->Colors[i].Red = GifByteType(((i >> 5) & 7) * 255 / 7);
        colors->Colors[i].Green = GifByteType(((i >> 2) & 7) * 255 / 7);
        colors->Colors[i].Blue = GifByteType((i & 3) * 255 / 3);
    }
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, rgb.width(), rgb.height(), 8, 0, colors);
    if (transparentIndex >= 0) {
        const GifByteType control[4] = {0x01, 0, 0, GifByteType(transparentIndex)};
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control);
    }
    EGifPutImageDesc(gif, 0, 0, rgb.width(), rgb.height(), interlaced, nullptr);
    std::vector<GifPixelType> line(size_t(rgb.width()));
    const auto writeRow = [&](int y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            line[size_t(x)] = GifPixelType(((qRed(pixels[x]) * 7 + 127) / 255) << 5 |
                                           ((qGreen(pixels[x]) * 7 + 127) / 255) << 2 |
                                           ((qBlue(pixels[x]) * 3 + 127) / 255));
        EGifPutLine(gif, line.data(), rgb.width());
    };
    if (interlaced) {
        static constexpr int kStart[] = {0, 4, 2, 1};
        static constexpr int kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (int y = kStart[pass]; y < rgb.height(); y += kStep[pass])
                writeRow(y);
    } else {
        for (int y = 0; y < rgb.height(); ++y)
            writeRow(y);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(colors);
    return data;
}

} // namespace PictureSamples
