#include "pictures/EInvalidGraphic.h"
#include "pictures/GifFile.h"
#include "pictures/JpegFile.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureLimits.h"
#include "pictures/PngFile.h"
#include "support/PictureSamples.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>

using namespace Qt::Literals::StringLiterals;
using namespace PictureSamples;

namespace {

// Sets a big-endian value inside a PNG chunk and fixes the chunk's checksum, so that only the
// reader's own checks can refuse it.
QByteArray PatchPngHeader(QByteArray png, uint32_t width, uint32_t height)
{
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    const uint32_t crc = uint32_t(crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17));
    qToBigEndian(crc, png.data() + 29);
    return png;
}

QByteArray QtPng(const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// Every prefix of the file is refused with the codec's error.
template <typename Reader>
void ExpectEveryPrefixRefused(const QByteArray& file, Reader read)
{
    for (qsizetype length = 0; length < file.size(); ++length)
        ASSERT_THROW(read(file.left(length)), EInvalidGraphic) << "prefix of " << length << " bytes";
    EXPECT_NO_THROW(read(file));
}

// Random bytes and randomly damaged copies either read or raise the codec's error.
template <typename Reader>
void ExpectDamageSurvived(const QByteArray& file, Reader read, QByteArrayView signature)
{
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        QByteArray data;
        if (round % 2 == 0) {
            data = signature.toByteArray();
            for (int i = 0; i < int(random() % 400); ++i)
                data.append(char(random()));
        } else {
            data = file;
            for (int flips = 0; flips < 1 + int(random() % 6); ++flips)
                data[qsizetype(signature.size() + random() % uint32_t(data.size() - signature.size()))] =
                    char(random());
        }
        try {
            const QImage image = read(data);
            EXPECT_FALSE(image.isNull());
        } catch (const EInvalidGraphic&) {
        }
    }
}

} // namespace

TEST(PngFile, WritesAndReadsBackEveryPixelWithAndWithoutAlpha)
{
    for (const bool alpha : {true, false}) {
        const QImage picture = ColourfulPicture(37, 23, alpha);
        const QImage read = PngFile::Read(PngFile::Write(picture), PictureLimits::kCatalogPicture);
        EXPECT_EQ(read.format(), QImage::Format_ARGB32);
        EXPECT_EQ(read, picture.convertToFormat(QImage::Format_ARGB32)) << alpha;
    }
}

TEST(PngFile, ReadsPalettesGreyAndSixteenBitChannels)
{
    const QImage colourful = ColourfulPicture(20, 10, true);
    QImage palette = colourful.convertToFormat(QImage::Format_Indexed8);
    EXPECT_EQ(PngFile::Read(QtPng(palette), PictureLimits::kCatalogPicture),
              palette.convertToFormat(QImage::Format_ARGB32));

    const QImage grey = colourful.convertToFormat(QImage::Format_Grayscale8);
    EXPECT_EQ(PngFile::Read(QtPng(grey), PictureLimits::kCatalogPicture),
              grey.convertToFormat(QImage::Format_ARGB32));

    QImage deep = colourful.convertToFormat(QImage::Format_RGBA64);
    EXPECT_EQ(PngFile::Read(QtPng(deep), PictureLimits::kCatalogPicture), colourful);

    const QImage mono = colourful.convertToFormat(QImage::Format_Mono);
    EXPECT_EQ(PngFile::Read(QtPng(mono), PictureLimits::kCatalogPicture),
              mono.convertToFormat(QImage::Format_ARGB32));
}

TEST(PngFile, RefusesDamagedFiles)
{
    const QByteArray png = PngFile::Write(ColourfulPicture(12, 9, true));
    ExpectEveryPrefixRefused(
        png, [](const QByteArray& data) { return PngFile::Read(data, PictureLimits::kCatalogPicture); });
    ExpectDamageSurvived(
        png, [](const QByteArray& data) { return PngFile::Read(data, PictureLimits::kCatalogPicture); },
        png.left(8));
    EXPECT_THROW(PngFile::Read(QByteArray("not a picture"), PictureLimits::kCatalogPicture), EInvalidGraphic);
}

TEST(PngFile, RefusesHugeDeclaredSizesBeforeTakingTheirMemory)
{
    const QByteArray png = PngFile::Write(ColourfulPicture(12, 9, false));
    // 16000 x 16000 pixels, a gigabyte, from a file of a few hundred bytes.
    EXPECT_THROW(PngFile::Read(PatchPngHeader(png, 16000, 16000), PictureLimits::kCatalogPicture),
                 EInvalidGraphic);
    EXPECT_THROW(PngFile::Read(PatchPngHeader(png, 0x7FFFFFFF, 1), PictureLimits::kCatalogPicture),
                 EInvalidGraphic);
    EXPECT_THROW(PngFile::Read(PatchPngHeader(png, 0, 10), PictureLimits::kCatalogPicture), EInvalidGraphic);
    EXPECT_THROW(PngFile::ReadSize(PatchPngHeader(png, 100000, 10)), EInvalidGraphic);
    EXPECT_EQ(PngFile::ReadSize(png), QSize(12, 9));
}

TEST(JpegFile, ReadsBaselineAndProgressivePictures)
{
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(qRgb(40, 120, 200));
    for (const bool progressive : {false, true}) {
        const QImage read = JpegFile::Read(MakeJpeg(picture, progressive), PictureLimits::kCatalogPicture);
        ASSERT_EQ(read.size(), QSize(64, 48));
        EXPECT_EQ(read.format(), QImage::Format_RGB32);
        EXPECT_NEAR(qRed(read.pixel(30, 20)), 40, 3);
        EXPECT_NEAR(qGreen(read.pixel(30, 20)), 120, 3);
        EXPECT_NEAR(qBlue(read.pixel(30, 20)), 200, 3);
    }
}

TEST(JpegFile, RefusesDamagedFilesAndFilesCutShort)
{
    const QByteArray jpeg = MakeJpeg(ColourfulPicture(24, 16, false));
    ExpectEveryPrefixRefused(
        jpeg, [](const QByteArray& data) { return JpegFile::Read(data, PictureLimits::kCatalogPicture); });
    ExpectDamageSurvived(
        jpeg, [](const QByteArray& data) { return JpegFile::Read(data, PictureLimits::kCatalogPicture); },
        jpeg.left(3));
    const QByteArray progressive = MakeJpeg(ColourfulPicture(24, 16, false), true);
    ExpectEveryPrefixRefused(progressive, [](const QByteArray& data) {
        return JpegFile::Read(data, PictureLimits::kCatalogPicture);
    });
}

TEST(JpegFile, RefusesHugeDeclaredSizesBeforeTakingTheirMemory)
{
    QByteArray jpeg = MakeJpeg(ColourfulPicture(24, 16, false));
    const qsizetype frame = jpeg.indexOf(QByteArray::fromHex("ffc0"));
    ASSERT_GT(frame, 0);
    qToBigEndian<uint16_t>(16000, jpeg.data() + frame + 5); // height
    qToBigEndian<uint16_t>(16000, jpeg.data() + frame + 7); // width
    EXPECT_THROW(JpegFile::Read(jpeg, PictureLimits::kCatalogPicture), EInvalidGraphic);
}

TEST(GifFile, ReadsTheFirstFrameWithItsTransparentColour)
{
    QImage picture(10, 6, QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 0)); // palette entry 7 << 5 = 224
    picture.setPixel(3, 2, qRgb(0, 0, 255));
    for (const bool interlaced : {false, true}) {
        const QImage read = GifFile::Read(MakeGif(picture, interlaced, 224), PictureLimits::kCatalogPicture);
        ASSERT_EQ(read.size(), QSize(10, 6));
        EXPECT_EQ(qAlpha(read.pixel(0, 0)), 0) << interlaced;
        EXPECT_EQ(read.pixel(3, 2), qRgb(0, 0, 255)) << interlaced;
    }
    const QImage opaque = GifFile::Read(MakeGif(picture), PictureLimits::kCatalogPicture);
    EXPECT_EQ(opaque.pixel(9, 5), qRgb(255, 0, 0));
}

TEST(GifFile, RefusesDamagedFilesAndHugeScreens)
{
    const QByteArray gif = MakeGif(ColourfulPicture(20, 12, false), true);
    ExpectEveryPrefixRefused(
        gif, [](const QByteArray& data) { return GifFile::Read(data, PictureLimits::kCatalogPicture); });
    ExpectDamageSurvived(
        gif, [](const QByteArray& data) { return GifFile::Read(data, PictureLimits::kCatalogPicture); },
        gif.left(6));

    QByteArray hugeScreen = gif;
    qToLittleEndian<uint16_t>(0xFFFF, hugeScreen.data() + 6);
    qToLittleEndian<uint16_t>(0xFFFF, hugeScreen.data() + 8);
    EXPECT_THROW(GifFile::Read(hugeScreen, PictureLimits::kCatalogPicture), EInvalidGraphic);
}

TEST(PictureFile, DecidesTheFormatByTheBytesAndRefusesEverythingElse)
{
    QTemporaryDir folder;
    const QImage picture = ColourfulPicture(16, 8, false);
    const QString named = folder.filePath(u"screenshot.gif"_s); // a PNG behind a wrong name
    WriteFile(named, PngFile::Write(picture));
    EXPECT_EQ(PictureFile::Load(named, PictureLimits::kCatalogPicture),
              picture.convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(PictureFile::Read(MakeJpeg(picture), PictureLimits::kCatalogPicture).size(), QSize(16, 8));
    EXPECT_EQ(PictureFile::Read(MakeGif(picture), PictureLimits::kCatalogPicture).size(), QSize(16, 8));

    EXPECT_EQ(PictureFile::Sniff("BM\x36\x00"), PictureFile::Format::Unknown);
    EXPECT_THROW(PictureFile::Read(QByteArray("<html>404</html>"), PictureLimits::kCatalogPicture),
                 EInvalidGraphic);
    EXPECT_THROW(PictureFile::Read(QByteArray(), PictureLimits::kCatalogPicture), EInvalidGraphic);
    EXPECT_THROW(PictureFile::Load(folder.filePath(u"missing.png"_s), PictureLimits::kCatalogPicture),
                 EFileError);
}
