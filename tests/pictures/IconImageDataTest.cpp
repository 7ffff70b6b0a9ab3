#include "pictures/IconImageData.h"
#include "pictures/EInvalidGraphic.h"
#include "support/PictureSamples.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace IconImageData;
using namespace PictureSamples;

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int value : values)
        bytes.append(char(value));
    return bytes;
}

// One image of width x 2 pixels with a 4-byte aligned mask of two rows.
QByteArray WithMask(QByteArray image, int topMask, int bottomMask)
{
    return image + Bytes({bottomMask, 0, 0, 0, topMask, 0, 0, 0});
}

} // namespace

TEST(IconImageData, DecodesOneBitImagesThroughTheirColourTableAndMask)
{
    // 8 x 2: top row alternating white and black, bottom row four white then four black;
    // the mask makes the last pixel of the top row transparent. Rows are stored bottom-up.
    const QByteArray image = WithMask(DibHeader(8, 2, 1) + Bytes({0, 0, 0, 0, 255, 255, 255, 0}) +
                                          Bytes({0xF0, 0, 0, 0, 0xAA, 0, 0, 0}),
                                      0x01, 0x00);
    EXPECT_EQ(Check(image), pf1bit);
    const QImage picture = Decode(image);
    ASSERT_EQ(picture.size(), QSize(8, 2));
    for (int x = 0; x < 8; ++x) {
        const QRgb top = x % 2 == 0 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        EXPECT_EQ(picture.pixel(x, 0), x == 7 ? (top & 0x00FFFFFF) : top) << x;
        EXPECT_EQ(picture.pixel(x, 1), x < 4 ? qRgb(255, 255, 255) : qRgb(0, 0, 0)) << x;
    }
}

TEST(IconImageData, DecodesFourBitImages)
{
    const QImage picture = Decode(FourBitImage());
    ASSERT_EQ(picture.size(), QSize(16, 16));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int index = (x + y) % 16;
            const int alpha = y == 0 ? 0 : 255;
            ASSERT_EQ(picture.pixel(x, y), qRgba(index * 8, 255 - index * 16, index * 16, alpha))
                << x << "," << y;
        }
    }
}

TEST(IconImageData, DecodesSixteenBitsInBothForms)
{
    // 2 x 2, rows padded to 4 bytes: white and pure red in 5-5-5, then in 5-6-5 bit fields.
    const QByteArray rgb555 =
        WithMask(DibHeader(2, 2, 16) + Bytes({0xFF, 0x7F, 0x00, 0x7C, 0xFF, 0x7F, 0x00, 0x7C}), 0, 0);
    EXPECT_EQ(Check(rgb555), pf15bit);
    EXPECT_EQ(Decode(rgb555).pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(Decode(rgb555).pixel(1, 0), qRgb(255, 0, 0));

    const QByteArray rgb565 =
        WithMask(DibHeader(2, 2, 16, 3) + QByteArray::fromHex("00f80000e00700001f000000") +
                     Bytes({0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x00, 0x00}),
                 0, 0);
    EXPECT_EQ(Check(rgb565), pf16bit);
    const QImage picture = Decode(rgb565);
    EXPECT_EQ(picture.pixel(0, 0), qRgb(0, 0, 255)); // bottom row stored first
    EXPECT_EQ(picture.pixel(0, 1), qRgb(255, 0, 0));
    EXPECT_EQ(picture.pixel(1, 1), qRgb(0, 255, 0));
}

TEST(IconImageData, DecodesTwentyFourBitsInBlueGreenRedOrder)
{
    const QByteArray image = WithMask(DibHeader(1, 2, 24) + Bytes({1, 2, 3, 0, 4, 5, 6, 0}), 0x80, 0);
    const QImage picture = Decode(image);
    EXPECT_EQ(picture.pixel(0, 1), qRgb(3, 2, 1));
    EXPECT_EQ(picture.pixel(0, 0), qRgba(6, 5, 4, 0));
}

TEST(IconImageData, ThirtyTwoBitImagesUseAlphaOrTheMaskWhenThereIsNoAlpha)
{
    const QImage withAlpha = Decode(ThirtyTwoBitImage());
    EXPECT_EQ(withAlpha.pixel(0, 0), qRgba(0, 0, 128, 0));
    EXPECT_EQ(withAlpha.pixel(3, 5), qRgba(48, 80, 128, 255));

    // Every alpha byte 0, as programs that knew no alpha wrote them: the mask decides.
    const QByteArray noAlpha = WithMask(DibHeader(1, 2, 32) + Bytes({10, 20, 30, 0, 40, 50, 60, 0}), 0x80, 0);
    const QImage picture = Decode(noAlpha);
    EXPECT_EQ(picture.pixel(0, 0), qRgba(60, 50, 40, 0));
    EXPECT_EQ(picture.pixel(0, 1), qRgba(30, 20, 10, 255));
}

TEST(IconImageData, EncodesEveryDepthSoThatItDecodesBack)
{
    // Eight colours, the top-left pixel transparent: fits every colour table but the 1-bit one.
    QImage picture(8, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            picture.setPixel(x, y, qRgb(x * 32, 255 - x * 32, (x * 50) % 256));
    picture.setPixel(0, 0, qRgba(255, 255, 255, 0));

    for (const PixelFormat format : {pf4bit, pf8bit, pf24bit, pf32bit}) {
        const QByteArray data = Encode(picture, format);
        EXPECT_EQ(Check(data), format);
        const QImage decoded = Decode(data);
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 8; ++x) {
                if (x == 0 && y == 0)
                    EXPECT_EQ(qAlpha(decoded.pixel(x, y)), 0) << format;
                else
                    EXPECT_EQ(decoded.pixel(x, y), picture.pixel(x, y)) << format << " " << x << "," << y;
            }
        }
    }
    for (const PixelFormat format : {pf15bit, pf16bit}) {
        const QImage decoded = Decode(Encode(picture, format));
        EXPECT_EQ(qAlpha(decoded.pixel(0, 0)), 0);
        EXPECT_NEAR(qGreen(decoded.pixel(3, 2)), qGreen(picture.pixel(3, 2)), 8) << format;
        EXPECT_NEAR(qRed(decoded.pixel(5, 3)), qRed(picture.pixel(5, 3)), 8) << format;
    }
    // Two colours only: the transparent black and the first colour seen; the rest take the nearer.
    const QImage oneBit = Decode(Encode(picture, pf1bit));
    EXPECT_EQ(qAlpha(oneBit.pixel(0, 0)), 0);
    EXPECT_EQ(oneBit.pixel(1, 0), picture.pixel(1, 0));
    EXPECT_EQ(oneBit.pixel(2, 3), picture.pixel(1, 0));
}

TEST(IconImageData, MaskedPixelsBelowThirtyTwoBitsAreStoredBlack)
{
    QImage picture(1, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(200, 100, 50, 0));
    const QByteArray data = Encode(picture, pf24bit);
    EXPECT_EQ(data.mid(40, 3), QByteArray(3, '\0'));
    EXPECT_EQ(uchar(data[44]), 0x80); // the mask bit
}

TEST(IconImageData, ClearsOnlyTheBitmapsImageSizeField)
{
    QByteArray bitmap = ThirtyTwoBitImage();
    qToLittleEndian<uint32_t>(1234, bitmap.data() + 20);
    ClearImageSize(bitmap);
    EXPECT_EQ(bitmap, ThirtyTwoBitImage());

    const QByteArray png = QByteArray::fromHex("89504e470d0a1a0a0000000d4948445200000010000000100806000000");
    QByteArray kept = png;
    ClearImageSize(kept);
    EXPECT_EQ(kept, png);
    EXPECT_EQ(Size(png), QSize(16, 16));
    EXPECT_EQ(Check(png), pf32bit);
}
