#include "GifFile.h"

#include "EInvalidGraphic.h"

#include <gif_lib.h>

#include <cstring>
#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kMaxSide = 16384;
// One 12-bit LZW code stands for at most 4096 pixels.
constexpr qsizetype kMaxPixelsPerByte = 4096;

[[noreturn]] void Fail()
{
    throw EInvalidGraphic(u"Invalid GIF image"_s);
}

struct MemoryReader
{
    QByteArrayView data;
    qsizetype position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* target, int length)
{
    auto* reader = static_cast<MemoryReader*>(gif->UserData);
    const qsizetype count = std::min<qsizetype>(length, reader->data.size() - reader->position);
    if (count <= 0)
        return 0;
    std::memcpy(target, reader->data.data() + reader->position, size_t(count));
    reader->position += count;
    return int(count);
}

struct GifCloser
{
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

bool SizeFits(qsizetype width, qsizetype height, qsizetype maxPixels)
{
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= maxPixels;
}

// The bytes of LZW data the frame's sub-blocks hold, counted in the file without decoding, or
// -1 when the file ends before the frame's data does. giflib has read the frame's code size.
qsizetype CompressedFrameSize(const MemoryReader& reader)
{
    qsizetype total = 0;
    for (qsizetype at = reader.position; at < reader.data.size();) {
        const int length = uchar(reader.data[at]);
        if (length == 0)
            return total;
        total += length;
        at += 1 + length;
    }
    return -1;
}

// The transparent colour index of a graphic control extension, or -1.
int TransparentIndex(const GifByteType* extension)
{
    // Block size 4: packed fields, delay (2 bytes), transparent index.
    if (extension == nullptr || extension[0] < 4 || (extension[1] & 0x01) == 0)
        return -1;
    return extension[4];
}

// Walks the records after the first frame without decoding them, so that a file cut short
// anywhere is refused, as every other reader of the program does.
void SkipToTrailer(GifFileType* gif)
{
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR)
            Fail();
        GifByteType* block = nullptr;
        if (record == TERMINATE_RECORD_TYPE) {
            return;
        } else if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
                Fail();
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                    Fail();
            }
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            int codeSize = 0;
            if (DGifGetImageDesc(gif) == GIF_ERROR || DGifGetCode(gif, &codeSize, &block) == GIF_ERROR)
                Fail();
            while (block != nullptr) {
                if (DGifGetCodeNext(gif, &block) == GIF_ERROR)
                    Fail();
            }
        }
    }
}

// Stores one decoded row of colour indexes as pixels of the frame.
void PutRow(QImage& image, const GifImageDesc& frame, int y, const std::vector<GifPixelType>& row,
            const ColorMapObject* colors, int transparent)
{
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(frame.Top + y)) + frame.Left;
    for (int x = 0; x < frame.Width; ++x) {
        const int index = row[size_t(x)];
        if (index == transparent)
            line[x] = 0;
        else if (colors != nullptr && index < colors->ColorCount)
            line[x] =
                qRgb(colors->Colors[index].Red, colors->Colors[index].Green, colors->Colors[index].Blue);
        else
            line[x] = qRgb(0, 0, 0);
    }
}

QImage ReadFirstFrame(GifFileType* gif, qsizetype maxPixels)
{
    const auto& reader = *static_cast<const MemoryReader*>(gif->UserData);
    int transparent = -1;
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) == GIF_ERROR)
            Fail();
        if (record == TERMINATE_RECORD_TYPE)
            Fail();
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
                Fail();
            if (code == GRAPHICS_EXT_FUNC_CODE)
                transparent = TransparentIndex(block);
            while (block != nullptr) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                    Fail();
            }
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE)
            continue;

        if (DGifGetImageDesc(gif) == GIF_ERROR)
            Fail();
        const GifImageDesc& frame = gif->Image;
        if (!SizeFits(frame.Width, frame.Height, maxPixels) || frame.Left < 0 || frame.Top < 0)
            Fail();
        // The frame lies on the logical screen; a screen too small for it (or of size 0, as some
        // writers leave it) grows to hold it.
        const int width = std::max<int>(gif->SWidth, frame.Left + frame.Width);
        const int height = std::max<int>(gif->SHeight, frame.Top + frame.Height);
        if (!SizeFits(width, height, maxPixels))
            Fail();
        // A file cut short, or a header that claims more pixels than its data could code, is
        // refused before the picture's memory is taken.
        const qsizetype compressed = CompressedFrameSize(reader);
        if (compressed < 0 || qsizetype(frame.Width) * frame.Height > kMaxPixelsPerByte * compressed)
            Fail();
        const ColorMapObject* colors = frame.ColorMap != nullptr ? frame.ColorMap : gif->SColorMap;

        QImage image(width, height, QImage::Format_ARGB32);
        if (image.isNull())
            Fail();
        image.fill(Qt::transparent);
        std::vector<GifPixelType> row(size_t(frame.Width));
        const auto readRow = [&](int y) {
            if (DGifGetLine(gif, row.data(), frame.Width) == GIF_ERROR)
                Fail();
            PutRow(image, frame, y, row, colors, transparent);
        };
        if (frame.Interlace) {
            static constexpr int kStart[] = {0, 4, 2, 1};
            static constexpr int kStep[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass) {
                for (int y = kStart[pass]; y < frame.Height; y += kStep[pass])
                    readRow(y);
            }
        } else {
            for (int y = 0; y < frame.Height; ++y)
                readRow(y);
        }
        SkipToTrailer(gif);
        return image;
    }
}

} // namespace

namespace GifFile {

bool HasSignature(QByteArrayView data)
{
    return data.startsWith("GIF87a") || data.startsWith("GIF89a");
}

QImage Read(QByteArrayView data, qsizetype maxPixels)
{
    if (!HasSignature(data))
        Fail();
    MemoryReader reader{data, 0};
    int error = 0;
    GifHandle gif(DGifOpen(&reader, ReadFromMemory, &error));
    if (!gif)
        Fail();
    return ReadFirstFrame(gif.get(), maxPixels);
}

} // namespace GifFile
