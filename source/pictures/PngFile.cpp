#include "PngFile.h"

#include "EInvalidGraphic.h"

#include <QtEndian>

#include <png.h>

#include <cstring>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kMaxSide = 16384;
// Deflate never turns one byte into more than 1032: a picture whose rows need more than
// that many bytes per byte of the file cannot be in it, however its header reads.
constexpr qsizetype kMaxDeflateRatio = 1032;

[[noreturn]] void Fail()
{
    throw EInvalidGraphic(u"Invalid PNG image"_s);
}

struct MemoryReader
{
    QByteArrayView data;
    qsizetype position = 0;
};

void ReadFromMemory(png_structp png, png_bytep target, size_t length)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > size_t(reader->data.size() - reader->position))
        png_error(png, "read past the end");
    std::memcpy(target, reader->data.data() + reader->position, length);
    reader->position += qsizetype(length);
}

void WriteToMemory(png_structp png, png_bytep data, size_t length)
{
    auto* target = static_cast<QByteArray*>(png_get_io_ptr(png));
    target->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void FlushNothing(png_structp) {}

// A damaged picture is the caller's error to report, not a line on standard error.
[[noreturn]] void QuietError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void QuietWarning(png_structp, png_const_charp) {}

// libpng reports errors by longjmp; between setjmp and the jump only C frames and the
// memory reader run, so no C++ object is skipped. Everything the decode touches lives in
// this state, declared before setjmp.
struct ReadState
{
    MemoryReader reader;
    qsizetype maxPixels = 0;
    QImage image;
    std::vector<png_bytep> rows;
};

bool DecodeInto(ReadState& state)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &state.reader, ReadFromMemory);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(png, 8 * 1024 * 1024);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const qsizetype rawRowBytes = qsizetype(png_get_rowbytes(png, info)) + 1;
    if (qsizetype(height) * rawRowBytes > kMaxDeflateRatio * state.reader.data.size())
        png_error(png, "declared size beyond what the data can hold");
    if (qsizetype(width) * qsizetype(height) > state.maxPixels)
        png_error(png, "more pixels than the picture's use allows");

    if (bitDepth == 16)
        png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    // ARGB32 is B, G, R, A in memory on the little-endian machines we run on.
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4)
        png_error(png, "unexpected row layout");

    state.image = QImage(int(width), int(height), QImage::Format_ARGB32);
    if (state.image.isNull())
        png_error(png, "out of memory");
    state.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        state.rows[y] = state.image.scanLine(int(y));
    png_read_image(png, state.rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

namespace PngFile {

bool HasSignature(QByteArrayView data)
{
    return data.size() >= 8 && png_sig_cmp(reinterpret_cast<png_const_bytep>(data.data()), 0, 8) == 0;
}

QSize ReadSize(QByteArrayView data)
{
    // Signature, then the IHDR chunk: length 13, type, width, height (big-endian).
    if (!HasSignature(data) || data.size() < 24 || data.sliced(12, 4) != "IHDR")
        Fail();
    const uint32_t width = qFromBigEndian<uint32_t>(data.data() + 16);
    const uint32_t height = qFromBigEndian<uint32_t>(data.data() + 20);
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        Fail();
    return QSize(int(width), int(height));
}

QImage Read(QByteArrayView data, qsizetype maxPixels)
{
    if (!HasSignature(data))
        Fail();
    ReadState state;
    state.reader.data = data;
    state.maxPixels = maxPixels;
    if (!DecodeInto(state))
        Fail();
    return std::move(state.image);
}

QByteArray Write(const QImage& image)
{
    if (image.isNull())
        throw EInvalidGraphic(u"Cannot write an empty PNG image"_s);
    const bool alpha = image.hasAlphaChannel();
    const QImage pixels = image.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);

    QByteArray output;
    std::vector<png_const_bytep> rows(size_t(pixels.height()));
    for (int y = 0; y < pixels.height(); ++y)
        rows[size_t(y)] = pixels.constScanLine(y);

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        throw EInvalidGraphic(u"Cannot write the PNG image"_s);
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw EInvalidGraphic(u"Cannot write the PNG image"_s);
    }
    png_set_write_fn(png, &output, WriteToMemory, FlushNothing);
    png_set_IHDR(png, info, png_uint_32(pixels.width()), png_uint_32(pixels.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    if (!alpha)
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return output;
}

} // namespace PngFile
