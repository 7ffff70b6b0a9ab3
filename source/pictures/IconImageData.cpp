#include "IconImageData.h"

#include "EInvalidGraphic.h"
#include "PictureLimits.h"
#include "PngFile.h"
#include "common/BinaryStream.h"

#include <QHash>
#include <QtEndian>

#include <bit>
#include <limits>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

using namespace IconImageData;

constexpr qsizetype kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;
// Icons are at most 256 pixels wide; bitmaps far beyond that are damage, not pictures.
constexpr int kIconMaxSide = 4096;

[[noreturn]] void FailInvalid()
{
    throw EInvalidGraphic(u"Invalid Icon or Cursor"_s);
}

[[noreturn]] void FailPixelFormat()
{
    throw EInvalidGraphic(u"Pixel Format Not Valid for Icons or Cursors"_s);
}

uint32_t ReadU32(QByteArrayView data, qsizetype offset)
{
    return qFromLittleEndian<uint32_t>(data.data() + offset);
}

uint16_t ReadU16(QByteArrayView data, qsizetype offset)
{
    return qFromLittleEndian<uint16_t>(data.data() + offset);
}

// Where each part of a bitmap lies, checked against the bytes there are.
struct DibLayout
{
    PixelFormat format = pf4bit;
    int width = 0;
    int height = 0;
    int bitCount = 0;
    uint32_t compression = kRgb;
    uint32_t masks[3] = {0, 0, 0};
    qsizetype colorTable = 0;
    int colorCount = 0;
    qsizetype bits = 0;
    qsizetype xorStride = 0;
    qsizetype mask = 0;
    qsizetype andStride = 0;
    bool hasMask = false;
};

PixelFormat FormatOf(int bitCount, uint32_t compression)
{
    switch (bitCount) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        if (compression == kRgb)
            return pf15bit;
        if (compression == kBitFields)
            return pf16bit;
        FailPixelFormat();
    case 24:
        return pf24bit;
    case 32:
        return pf32bit;
    default:
        FailPixelFormat();
    }
}

DibLayout ParseDib(QByteArrayView data)
{
    if (data.size() < kInfoHeaderSize)
        FailInvalid();
    const uint32_t headerSize = ReadU32(data, 0);
    if (headerSize < kInfoHeaderSize || headerSize > uint32_t(data.size()))
        FailInvalid();

    DibLayout layout;
    layout.bitCount = ReadU16(data, 14);
    layout.compression = ReadU32(data, 16);
    layout.format = FormatOf(layout.bitCount, layout.compression);

    const int32_t width = qFromLittleEndian<int32_t>(data.data() + 4);
    const int32_t doubledHeight = qFromLittleEndian<int32_t>(data.data() + 8);
    if (width <= 0 || width > kIconMaxSide || doubledHeight < 2 || doubledHeight / 2 > kIconMaxSide ||
        qsizetype(width) * (doubledHeight / 2) > PictureLimits::kIconImage)
        FailInvalid();
    layout.width = width;
    layout.height = doubledHeight / 2;

    // Run-length and other compressed bitmaps never occur in icons.
    const bool bitFields = layout.compression == kBitFields;
    if (layout.compression != kRgb && !(bitFields && layout.bitCount >= 16))
        FailInvalid();

    qsizetype offset = headerSize;
    if (bitFields) {
        const qsizetype masksAt = headerSize == kInfoHeaderSize ? headerSize : kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize)
            offset += 12;
        if (masksAt + 12 > data.size())
            FailInvalid();
        for (int i = 0; i < 3; ++i)
            layout.masks[i] = ReadU32(data, masksAt + 4 * i);
    }
    if (layout.bitCount <= 8) {
        const uint32_t used = ReadU32(data, 32);
        const uint32_t capacity = 1u << layout.bitCount;
        if (used > capacity)
            FailInvalid();
        layout.colorCount = int(used != 0 ? used : capacity);
    }
    layout.colorTable = offset;
    layout.bits = offset + 4 * qsizetype(layout.colorCount);
    layout.xorStride = (qsizetype(layout.width) * layout.bitCount + 31) / 32 * 4;
    layout.mask = layout.bits + layout.xorStride * layout.height;
    if (layout.mask > data.size())
        FailInvalid();
    layout.andStride = (qsizetype(layout.width) + 31) / 32 * 4;
    layout.hasMask = layout.mask + layout.andStride * layout.height <= data.size();
    return layout;
}

// One channel of a bit-field pixel, scaled to 0..255.
int Channel(uint32_t value, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t maximum = mask >> shift;
    const uint32_t part = (value & mask) >> shift;
    const int width = std::bit_width(maximum);
    if (width >= 8)
        return int(part >> (width - 8));
    return int((part * 255 + maximum / 2) / maximum);
}

QImage DecodeDib(QByteArrayView data)
{
    const DibLayout layout = ParseDib(data);
    QImage image(layout.width, layout.height, QImage::Format_ARGB32);
    if (image.isNull())
        FailInvalid();

    std::vector<QRgb> palette(size_t(layout.colorCount));
    for (int i = 0; i < layout.colorCount; ++i) {
        const auto* entry = reinterpret_cast<const uchar*>(data.data() + layout.colorTable + 4 * i);
        palette[size_t(i)] = qRgb(entry[2], entry[1], entry[0]);
    }
    const auto paletteColor = [&](int index) {
        return index < layout.colorCount ? palette[size_t(index)] : qRgb(0, 0, 0);
    };

    bool anyAlpha = false;
    for (int y = 0; y < layout.height; ++y) {
        // Rows are stored from the bottom up.
        const auto* row = reinterpret_cast<const uchar*>(data.data() + layout.bits +
                                                         layout.xorStride * (layout.height - 1 - y));
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < layout.width; ++x) {
            switch (layout.bitCount) {
            case 1:
                line[x] = paletteColor((row[x / 8] >> (7 - x % 8)) & 1);
                break;
            case 4:
                line[x] = paletteColor((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F);
                break;
            case 8:
                line[x] = paletteColor(row[x]);
                break;
            case 16: {
                const uint32_t value = qFromLittleEndian<uint16_t>(row + 2 * x);
                if (layout.compression == kBitFields)
                    line[x] = qRgb(Channel(value, layout.masks[0]), Channel(value, layout.masks[1]),
                                   Channel(value, layout.masks[2]));
                else
                    line[x] = qRgb(Channel(value, 0x7C00), Channel(value, 0x03E0), Channel(value, 0x001F));
                break;
            }
            case 24:
                line[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                break;
            default: {
                const uchar* pixel = row + 4 * x;
                if (layout.compression == kBitFields) {
                    const uint32_t value = qFromLittleEndian<uint32_t>(pixel);
                    line[x] = qRgb(Channel(value, layout.masks[0]), Channel(value, layout.masks[1]),
                                   Channel(value, layout.masks[2]));
                } else {
                    line[x] = qRgba(pixel[2], pixel[1], pixel[0], pixel[3]);
                    anyAlpha = anyAlpha || pixel[3] != 0;
                }
                break;
            }
            }
        }
    }

    if (layout.bitCount == 32 && anyAlpha)
        return image;
    for (int y = 0; y < layout.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const auto* maskRow = reinterpret_cast<const uchar*>(data.data() + layout.mask +
                                                             layout.andStride * (layout.height - 1 - y));
        for (int x = 0; x < layout.width; ++x) {
            const bool transparent = layout.hasMask && ((maskRow[x / 8] >> (7 - x % 8)) & 1) != 0;
            line[x] = transparent ? (line[x] & 0x00FFFFFF) : (line[x] | 0xFF000000);
        }
    }
    return image;
}

// The colour table of a paletted image: black first when something is transparent, then
// the picture's colours in order of appearance while there is room.
std::vector<QRgb> BuildPalette(const QImage& image, int capacity)
{
    std::vector<QRgb> palette;
    QHash<QRgb, int> known;
    bool transparent = false;
    for (int y = 0; y < image.height() && !transparent; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            transparent = transparent || qAlpha(line[x]) < 128;
    }
    if (transparent) {
        palette.push_back(qRgb(0, 0, 0));
        known.insert(qRgb(0, 0, 0), 0);
    }
    for (int y = 0; y < image.height() && int(palette.size()) < capacity; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width() && int(palette.size()) < capacity; ++x) {
            const QRgb color = line[x] | 0xFF000000;
            if (qAlpha(line[x]) >= 128 && !known.contains(color)) {
                known.insert(color, int(palette.size()));
                palette.push_back(color);
            }
        }
    }
    return palette;
}

int NearestIndex(const std::vector<QRgb>& palette, QRgb color)
{
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < palette.size(); ++i) {
        const int red = qRed(palette[i]) - qRed(color);
        const int green = qGreen(palette[i]) - qGreen(color);
        const int blue = qBlue(palette[i]) - qBlue(color);
        const int distance = red * red + green * green + blue * blue;
        if (distance < bestDistance) {
            best = int(i);
            bestDistance = distance;
        }
    }
    return best;
}

} // namespace

namespace IconImageData {

bool IsPng(QByteArrayView data)
{
    return PngFile::HasSignature(data);
}

int BitCount(PixelFormat format)
{
    static constexpr int kBits[] = {0, 1, 4, 8, 15, 16, 24, 32};
    return format >= pf1bit && format <= pf32bit ? kBits[format] : 0;
}

PixelFormat Check(QByteArrayView data)
{
    if (IsPng(data)) {
        try {
            PngFile::ReadSize(data);
        } catch (const EInvalidGraphic&) {
            FailInvalid();
        }
        return pf32bit;
    }
    return ParseDib(data).format;
}

QSize Size(QByteArrayView data)
{
    if (IsPng(data)) {
        try {
            return PngFile::ReadSize(data);
        } catch (const EInvalidGraphic&) {
            FailInvalid();
        }
    }
    const DibLayout layout = ParseDib(data);
    return QSize(layout.width, layout.height);
}

QList<QRgb> ColorTable(QByteArrayView data)
{
    if (IsPng(data))
        return {};
    const DibLayout layout = ParseDib(data);
    QList<QRgb> table;
    table.reserve(layout.colorCount);
    for (int i = 0; i < layout.colorCount; ++i) {
        const auto* entry = reinterpret_cast<const uchar*>(data.data() + layout.colorTable + 4 * i);
        table.append(qRgb(entry[2], entry[1], entry[0]));
    }
    return table;
}

void ClearImageSize(QByteArray& data)
{
    if (data.size() >= kInfoHeaderSize && !IsPng(data))
        qToLittleEndian<uint32_t>(0, data.data() + 20);
}

QImage Decode(QByteArrayView data)
{
    if (IsPng(data)) {
        try {
            return PngFile::Read(data, PictureLimits::kIconImage);
        } catch (const EInvalidGraphic&) {
            FailInvalid();
        }
    }
    return DecodeDib(data);
}

QByteArray Encode(const QImage& picture, PixelFormat format)
{
    if (picture.isNull() || format < pf1bit || format > pf32bit)
        FailInvalid();
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const int bitCount = format == pf15bit ? 16 : BitCount(format);
    const std::vector<QRgb> palette =
        bitCount <= 8 ? BuildPalette(image, 1 << bitCount) : std::vector<QRgb>();
    QHash<QRgb, int> paletteIndex;
    for (size_t i = 0; i < palette.size(); ++i)
        paletteIndex.insert(palette[i], int(i));

    BinaryWriter writer;
    writer.WriteCardinal(uint32_t(kInfoHeaderSize));
    writer.WriteInteger(width);
    writer.WriteInteger(height * 2);
    writer.WriteByte(1); // planes, 16 bits
    writer.WriteByte(0);
    writer.WriteByte(uint8_t(bitCount)); // bit count, 16 bits
    writer.WriteByte(0);
    writer.WriteCardinal(format == pf16bit ? kBitFields : kRgb);
    for (int i = 0; i < 5; ++i) // image size, resolutions, colours used and important: 0
        writer.WriteCardinal(0);
    if (format == pf16bit) {
        writer.WriteCardinal(0xF800);
        writer.WriteCardinal(0x07E0);
        writer.WriteCardinal(0x001F);
    }
    if (bitCount <= 8) {
        for (int i = 0; i < (1 << bitCount); ++i) {
            const QRgb color = size_t(i) < palette.size() ? palette[size_t(i)] : 0;
            const char entry[4] = {char(qBlue(color)), char(qGreen(color)), char(qRed(color)), 0};
            writer.WriteBytes(QByteArrayView(entry, 4));
        }
    }

    const qsizetype xorStride = (qsizetype(width) * bitCount + 31) / 32 * 4;
    QByteArray row;
    for (int y = height - 1; y >= 0; --y) {
        row.fill('\0', xorStride);
        auto* bytes = reinterpret_cast<uchar*>(row.data());
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const bool transparent = qAlpha(line[x]) < 128;
            // Below 32 bits a masked pixel must be black, or the screen shows through inverted.
            const QRgb color = transparent && format != pf32bit ? 0 : line[x];
            switch (bitCount) {
            case 1:
            case 4:
            case 8: {
                const QRgb opaque = color | 0xFF000000;
                const auto found = paletteIndex.constFind(opaque);
                const int index = found != paletteIndex.cend() ? *found : NearestIndex(palette, opaque);
                if (bitCount == 1)
                    bytes[x / 8] |= uchar(index << (7 - x % 8));
                else if (bitCount == 4)
                    bytes[x / 2] |= uchar(index << (x % 2 == 0 ? 4 : 0));
                else
                    bytes[x] = uchar(index);
                break;
            }
            case 16: {
                const uint16_t value = format == pf16bit
                                           ? uint16_t(((qRed(color) >> 3) << 11) |
                                                      ((qGreen(color) >> 2) << 5) | (qBlue(color) >> 3))
                                           : uint16_t(((qRed(color) >> 3) << 10) |
                                                      ((qGreen(color) >> 3) << 5) | (qBlue(color) >> 3));
                qToLittleEndian(value, bytes + 2 * x);
                break;
            }
            case 24:
                bytes[3 * x] = uchar(qBlue(color));
                bytes[3 * x + 1] = uchar(qGreen(color));
                bytes[3 * x + 2] = uchar(qRed(color));
                break;
            default:
                bytes[4 * x] = uchar(qBlue(color));
                bytes[4 * x + 1] = uchar(qGreen(color));
                bytes[4 * x + 2] = uchar(qRed(color));
                bytes[4 * x + 3] = uchar(qAlpha(color));
                break;
            }
        }
        writer.WriteBytes(row);
    }

    const qsizetype andStride = (qsizetype(width) + 31) / 32 * 4;
    for (int y = height - 1; y >= 0; --y) {
        row.fill('\0', andStride);
        auto* bytes = reinterpret_cast<uchar*>(row.data());
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(line[x]) < 128)
                bytes[x / 8] |= uchar(0x80 >> (x % 8));
        }
        writer.WriteBytes(row);
    }
    return writer.TakeData();
}

} // namespace IconImageData
