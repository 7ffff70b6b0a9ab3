#include "JpegFile.h"

#include "EInvalidGraphic.h"

#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <csetjmp>
#include <jerror.h>
#include <jpeglib.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kMaxSide = 16384;
// Huffman codes are at least one bit long, and every 8 x 8 block of a sequential picture
// holds at least its DC difference and an end of block: two bits.
constexpr qsizetype kMinBitsPerBlock = 2;
// What libjpeg needs beyond the pixels: tables, row buffers, and for a progressive picture the
// coefficients of every block (up to 8 bytes per pixel), which must fit in what is left of the
// picture's allowance.
constexpr long kWorkingBytes = 8L * 1024 * 1024;

struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

[[noreturn]] void ExitOnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Warnings about a premature end of the data would otherwise end in a picture padded with
// grey; the rest (stray bytes between markers and the like) are harmless.
void EmitMessage(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        ExitOnError(info);
}

void OutputNothing(j_common_ptr) {}

// libjpeg reports errors by longjmp; only C frames lie between, and everything the decode
// touches lives in this state, declared before setjmp.
struct ReadState
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    QImage image;
};

// The picture data that follows the header must be able to fill the blocks the header
// declares: a header with little or nothing after it would otherwise take the whole picture's
// memory first.
bool DataCanFill(const jpeg_decompress_struct& info)
{
    const qsizetype left = qsizetype(info.src->bytes_in_buffer);
    if (left <= 2)
        return false;
    // Progressive and arithmetic-coded pictures can code runs of empty blocks in a few bits.
    if (info.progressive_mode || info.arith_code)
        return true;
    qsizetype blocks = 0;
    for (int i = 0; i < info.num_components; ++i)
        blocks +=
            qsizetype(info.comp_info[i].width_in_blocks) * qsizetype(info.comp_info[i].height_in_blocks);
    return blocks * kMinBitsPerBlock <= left * 8;
}

bool DecodeInto(ReadState& state, QByteArrayView data, qsizetype maxPixels)
{
    state.info.err = jpeg_std_error(&state.errors.base);
    state.errors.base.error_exit = ExitOnError;
    state.errors.base.emit_message = EmitMessage;
    state.errors.base.output_message = OutputNothing;
    jpeg_create_decompress(&state.info);
    if (setjmp(state.errors.jump)) {
        jpeg_destroy_decompress(&state.info);
        return false;
    }
    jpeg_mem_src(&state.info, reinterpret_cast<const unsigned char*>(data.data()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&state.info, TRUE);

    const JDIMENSION width = state.info.image_width;
    const JDIMENSION height = state.info.image_height;
    const qsizetype pixels = qsizetype(width) * qsizetype(height);
    if (width > kMaxSide || height > kMaxSide || pixels > maxPixels)
        ERREXIT(&state.info, JERR_IMAGE_TOO_BIG);
    if (!DataCanFill(state.info))
        ERREXIT(&state.info, JERR_INPUT_EOF);
    // Without a backing store libjpeg refuses a picture whose arrays would pass this.
    state.info.mem->max_memory_to_use = long(4 * (maxPixels - pixels)) + kWorkingBytes;

    const bool cmyk = state.info.jpeg_color_space == JCS_CMYK || state.info.jpeg_color_space == JCS_YCCK;
    state.info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&state.info);
    if (state.info.output_components != 4)
        ERREXIT(&state.info, JERR_BAD_J_COLORSPACE);

    state.image = QImage(int(width), int(height), QImage::Format_RGB32);
    if (state.image.isNull())
        ERREXIT1(&state.info, JERR_OUT_OF_MEMORY, 0);
    while (state.info.output_scanline < height) {
        JSAMPROW row = state.image.scanLine(int(state.info.output_scanline));
        jpeg_read_scanlines(&state.info, &row, 1);
    }
    jpeg_finish_decompress(&state.info);
    jpeg_destroy_decompress(&state.info);

    if (cmyk) {
        // Adobe writes CMYK inverted: each channel already is 255 minus the ink.
        for (int y = 0; y < state.image.height(); ++y) {
            uchar* pixel = state.image.scanLine(y);
            for (int x = 0; x < state.image.width(); ++x, pixel += 4) {
                const int k = pixel[3];
                const int red = pixel[0] * k / 255;
                const int green = pixel[1] * k / 255;
                const int blue = pixel[2] * k / 255;
                reinterpret_cast<QRgb*>(pixel)[0] = qRgb(red, green, blue);
            }
        }
    }
    return true;
}

} // namespace

namespace JpegFile {

bool HasSignature(QByteArrayView data)
{
    return data.size() >= 3 && uchar(data[0]) == 0xFF && uchar(data[1]) == 0xD8 && uchar(data[2]) == 0xFF;
}

QImage Read(QByteArrayView data, qsizetype maxPixels)
{
    if (!HasSignature(data))
        throw EInvalidGraphic(u"Invalid JPEG image"_s);
    ReadState state{};
    if (!DecodeInto(state, data, maxPixels))
        throw EInvalidGraphic(u"Invalid JPEG image"_s);
    return std::move(state.image);
}

} // namespace JpegFile
