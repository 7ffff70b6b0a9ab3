#include "pictures/GraphicTools.h"
#include "common/Errors.h"
#include "pictures/IconImageData.h"
#include "pictures/TExIcon.h"
#include "support/PictureSamples.h"
#include "support/TestSupport.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Qt::Literals::StringLiterals;
using namespace GraphicTools;
using namespace PictureSamples;

namespace {

QImage Grey(int width, int height, int value)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(value, value, value));
    return image;
}

template <typename Call>
QString ErrorOf(Call call)
{
    try {
        call();
    } catch (const EMorvalenError& error) {
        return error.Message();
    }
    return QString();
}

} // namespace

TEST(SharpenBitmap, ThreeByThreeChangesOnlyTheCentre)
{
    // Red: centre 100 among 50s; green: centre 0 among 200s; blue: all 255.
    QImage bitmap(3, 3, QImage::Format_RGB32);
    bitmap.fill(qRgb(50, 200, 255));
    bitmap.setPixel(1, 1, qRgb(100, 0, 255));
    QImage sharpened;
    SharpenBitmap(bitmap, sharpened, 2.0);
    ASSERT_EQ(sharpened.size(), QSize(3, 3));
    EXPECT_EQ(sharpened.format(), QImage::Format_RGB888);
    // A = 131072, B = 13107: red 200 - 60, green 0 - 160 limited to 0, blue 510 - 255.
    EXPECT_EQ(sharpened.pixel(1, 1), qRgb(140, 0, 255));
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            if (x != 1 || y != 1) {
                EXPECT_EQ(sharpened.pixel(x, y), qRgb(50, 200, 255)) << x << "," << y;
            }
        }
    }
}

TEST(SharpenBitmap, UniformPicturesStayWithinTheRounding)
{
    for (const double factor : {1.01, 2.0, 3.7, 5.99}) {
        for (int value = 0; value < 256; ++value) {
            QImage bitmap = Grey(3, 3, value);
            SharpenBitmap(bitmap, bitmap, factor);
            ASSERT_LE(std::abs(qRed(bitmap.pixel(1, 1)) - value), 1) << factor << " " << value;
        }
    }
}

TEST(SharpenBitmap, InPlaceSeesItsUpperAndLeftNeighboursSharpened)
{
    // One grey channel: the middle row 10 100 100 10 among rows of 10.
    QImage source = Grey(4, 3, 10);
    source.setPixel(1, 1, qRgb(100, 100, 100));
    source.setPixel(2, 1, qRgb(100, 100, 100));

    QImage separate;
    SharpenBitmap(source, separate, 2.0);
    EXPECT_EQ(qRed(separate.pixel(1, 1)), 154);
    EXPECT_EQ(qRed(separate.pixel(2, 1)), 154);

    // In place the second pixel's left neighbour is already 154: S = 284, 200 - 57.
    QImage inPlace = source;
    SharpenBitmap(inPlace, inPlace, 2.0);
    EXPECT_EQ(qRed(inPlace.pixel(1, 1)), 154);
    EXPECT_EQ(qRed(inPlace.pixel(2, 1)), 143);
    // The caller's copy shares nothing with the sharpened one.
    EXPECT_EQ(qRed(source.pixel(2, 1)), 100);
}

TEST(SharpenBitmap, RefusesFactorsOutsideTheOpenRangeAndSmallPicturesWritingNothing)
{
    const QImage bitmap = Grey(3, 3, 80);
    QImage destination = Grey(7, 7, 1);
    for (const double factor : {1.0, 6.0, 0.5, 7.0, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(ErrorOf([&] { SharpenBitmap(bitmap, destination, factor); }), u"Alpha must be >1 and <6"_s)
            << factor;
    EXPECT_EQ(ErrorOf([&] { SharpenBitmap(Grey(2, 5, 80), destination, 2.0); }),
              u"Bitmap must be at least 3x3"_s);
    EXPECT_EQ(ErrorOf([&] { SharpenBitmap(Grey(5, 2, 80), destination, 2.0); }),
              u"Bitmap must be at least 3x3"_s);
    EXPECT_EQ(destination, Grey(7, 7, 1));
}

TEST(BlockAverage, DividesByTheBlockTwiceOverAndCorrectsBy1Point8)
{
    // Full 11 x 11 block of 200: 24200 x 9 / (5 x 221) = 197.1.
    EXPECT_EQ(BlockAverage(Grey(20, 20, 200), 2, 3, 10, 10), qRgb(197, 197, 197));
    // Clipped at the right and bottom edge: h = w = 5 - 3 - 1 = 1, four pixels, divisor 1 + 4.
    EXPECT_EQ(BlockAverage(Grey(5, 5, 100), 3, 3, 10, 10), qRgb(144, 144, 144));
    // A block beyond the right edge sums nothing.
    EXPECT_EQ(BlockAverage(Grey(5, 5, 100), 5, 0, 0, 0), qRgb(0, 0, 0));
    // Limited to 255.
    EXPECT_EQ(BlockAverage(Grey(3, 3, 250), 0, 0, 0, 0), qRgb(255, 255, 255));
}

TEST(BlockAverage, RoundsHalvesToEven)
{
    // Two pixels (w = 1, h = 0), divisor 0 + 2: 9 x sum / 10.
    QImage bitmap(3, 1, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, qRgb(2, 7, 0));
    bitmap.setPixel(1, 0, qRgb(3, 8, 1));
    // Red 4.5 -> 4, green 13.5 -> 14, blue 0.9 -> 1.
    EXPECT_EQ(BlockAverage(bitmap, 0, 0, 0, 1), qRgb(4, 14, 1));
}

TEST(ShrinkBitmap, ShrinksAPageWithBlocksOf11From10Point24Steps)
{
    QImage bitmap = Grey(1024, 768, 200);
    ASSERT_TRUE(ShrinkBitmap(bitmap, 100, 75));
    ASSERT_EQ(bitmap.size(), QSize(100, 75));
    EXPECT_EQ(bitmap.format(), QImage::Format_RGB32);
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(197, 197, 197));
    EXPECT_EQ(bitmap.pixel(98, 73), qRgb(197, 197, 197));
    // The last column starts at round(99 x 10.24) = 1014: 10 columns, divisor 9 x 10 + 110.
    EXPECT_EQ(bitmap.pixel(99, 10), qRgb(198, 198, 198));
    // The last row likewise; the corner block is clipped both ways: divisor 81 + 100.
    EXPECT_EQ(bitmap.pixel(10, 74), qRgb(198, 198, 198));
    EXPECT_EQ(bitmap.pixel(99, 74), qRgb(199, 199, 199));
}

TEST(ShrinkBitmap, BlocksStartAtRoundedMultiplesOfTheStep)
{
    // One white column in black: the destination columns whose block of 11 holds it light up.
    const auto litColumns = [](int column) {
        QImage bitmap = Grey(1024, 768, 0);
        for (int y = 0; y < 768; ++y)
            bitmap.setPixel(column, y, qRgb(255, 255, 255));
        ShrinkBitmap(bitmap, 100, 75);
        QList<int> lit;
        for (int x = 0; x < 100; ++x)
            if (qRed(bitmap.pixel(x, 37)) != 0)
                lit.append(x);
        return lit;
    };
    EXPECT_EQ(litColumns(10), (QList<int>{0, 1})); // blocks 0..10 and 10..20
    EXPECT_EQ(litColumns(1003), (QList<int>{97})); // 993..1003
    EXPECT_EQ(litColumns(1004), (QList<int>{98})); // 1004..1014
    EXPECT_EQ(litColumns(1023), (QList<int>{99})); // 1014..1023, clipped
}

TEST(ShrinkBitmap, RefusesEmptyPicturesAndSizes)
{
    QImage bitmap = Grey(10, 10, 5);
    EXPECT_FALSE(ShrinkBitmap(bitmap, 0, 5));
    EXPECT_FALSE(ShrinkBitmap(bitmap, 5, -1));
    EXPECT_EQ(bitmap, Grey(10, 10, 5));
    QImage empty;
    EXPECT_FALSE(ShrinkBitmap(empty, 5, 5));
}

TEST(MakeFramedPng, PlacesThePictureOnTheCardWithFrameShadowAndTransparentCorners)
{
    const QImage picture = ColourfulPicture(100, 75, false);
    const TColor card = RGBColor(250, 251, 252);
    const TColor frame = RGBColor(0x94, 0x96, 0xB1);
    const TColor shadow = RGBColor(0xBB, 0xBB, 0xBB);
    const QImage framed = MakeFramedPng(picture, 105, 80, card, frame, shadow);
    ASSERT_EQ(framed.size(), QSize(105, 80));

    EXPECT_EQ(framed.pixel(2, 2), picture.pixel(0, 0));
    EXPECT_EQ(framed.pixel(101, 76), picture.pixel(99, 74));
    for (const QPoint point : {QPoint(0, 0), QPoint(103, 0), QPoint(0, 78), QPoint(103, 78), QPoint(50, 0)})
        EXPECT_EQ(framed.pixel(point), qRgb(0x94, 0x96, 0xB1)) << point.x() << "," << point.y();
    for (const QPoint point : {QPoint(1, 1), QPoint(102, 1), QPoint(1, 77), QPoint(102, 77)})
        EXPECT_EQ(framed.pixel(point), qRgb(250, 251, 252)) << point.x() << "," << point.y();
    for (const QPoint point : {QPoint(1, 79), QPoint(103, 79), QPoint(104, 79), QPoint(104, 1)})
        EXPECT_EQ(framed.pixel(point), qRgb(0xBB, 0xBB, 0xBB)) << point.x() << "," << point.y();
    EXPECT_EQ(framed.pixel(0, 79), 0x00FF00FFu);
    EXPECT_EQ(framed.pixel(104, 0), 0x00FF00FFu);
}

TEST(MakeFramedPng, CentresOddPicturesRoundingTowardZeroAndKeysOutMagenta)
{
    QImage picture(50, 41, QImage::Format_RGB32);
    picture.fill(qRgb(1, 2, 3));
    picture.setPixel(10, 10, qRgb(255, 0, 255));
    const QImage framed = MakeFramedPng(picture, 105, 80, clWhite, clBlack, clBlack);
    // ((105 - 3 - 50) div 2 + 1, (80 - 3 - 41) div 2 + 1) = (27, 19).
    EXPECT_EQ(framed.pixel(27, 19), qRgb(1, 2, 3));
    EXPECT_EQ(framed.pixel(26, 19), qRgb(255, 255, 255));
    EXPECT_EQ(framed.pixel(27, 18), qRgb(255, 255, 255));
    EXPECT_EQ(framed.pixel(76, 59), qRgb(1, 2, 3));
    EXPECT_EQ(framed.pixel(77, 59), qRgb(255, 255, 255));
    // The key colour is transparent wherever it is, as the bitmap's transparent colour always was.
    EXPECT_EQ(qAlpha(framed.pixel(37, 29)), 0);
}

TEST(GradientFillRect, RunsFromTheStartColourToTheEndColourInEitherDirection)
{
    QImage image(256, 4, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        GradientFillRect(painter, image.rect(), clBlack, gdHorizontal, clWhite);
    }
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(image.pixel(0, y), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(128, y), qRgb(127, 127, 127));
        EXPECT_EQ(image.pixel(255, y), qRgb(254, 254, 254));
    }

    QImage vertical(3, 10, QImage::Format_RGB32);
    {
        QPainter painter(&vertical);
        // $00BBGGRR: red at the top, blue at the bottom.
        GradientFillRect(painter, vertical.rect(), clRed, gdVertical, RGBColor(0, 0, 255));
    }
    EXPECT_EQ(vertical.pixel(2, 0), qRgb(255, 0, 0));
    EXPECT_EQ(vertical.pixel(0, 5), qRgb(127, 0, 127));
    EXPECT_EQ(vertical.pixel(1, 9), qRgb(25, 0, 229));
    for (int y = 1; y < 10; ++y)
        EXPECT_LT(qRed(vertical.pixel(0, y)), qRed(vertical.pixel(0, y - 1)));
}

TEST(LoadPngResource, FindsPicturesByUpperCaseNameAndFallsBackToTheRedSquare)
{
    const QImage star = LoadPngResource(u"rtstarfull"_s);
    EXPECT_EQ(star.size(), QSize(15, 15));
    EXPECT_EQ(star, LoadPngResource(u"rtStarFull"_s));
    EXPECT_EQ(LoadResourcePicture(u"RTSTARFULL"_s), star);

    for (const QString& name : {u"no_such_picture"_s, QString()}) {
        const QImage placeholder = LoadPngResource(name);
        ASSERT_EQ(placeholder.size(), QSize(16, 16));
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(placeholder.pixel(i, 0), qRgb(255, 0, 0));
            EXPECT_EQ(placeholder.pixel(0, i), qRgb(255, 0, 0));
            EXPECT_EQ(placeholder.pixel(i, 15), qRgb(255, 0, 0));
            EXPECT_EQ(placeholder.pixel(15, i), qRgb(255, 0, 0));
        }
        for (int y = 1; y < 15; ++y)
            for (int x = 1; x < 15; ++x)
                ASSERT_EQ(placeholder.pixel(x, y), qRgb(255, 255, 255));
    }
}

TEST(LoadBestSmallIcon, TakesTheDeepestSixteenPixelImageFirstAmongEquals)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"site.ico"_s);
    const QByteArray large = IconImageData::Encode(ColourfulPicture(32, 32, true), IconImageData::pf32bit);
    const QByteArray second = IconImageData::Encode(ColourfulPicture(16, 16, true), IconImageData::pf32bit);
    WriteFile(path, IconFile({{large, 32, 32, 0, 32},
                              {FourBitImage(), 16, 16, 16},
                              {ThirtyTwoBitImage(), 16, 16, 0, 32},
                              {second, 16, 16, 0, 32}}));
    TExIcon target;
    LoadBestSmallIcon(target, path, u"res_Ico_Stop"_s);
    ASSERT_EQ(target.ImageCount(), 1);
    EXPECT_EQ(target.Images(0).PixelFormat, IconImageData::pf32bit);
    EXPECT_EQ(target.Handle(), IconImageData::Decode(ThirtyTwoBitImage()));
}

TEST(LoadBestSmallIcon, KeepsTheTargetWithoutASixteenPixelImageOrOnAnyFailure)
{
    QTemporaryDir folder;
    TExIcon target;
    target.LoadFromStream(TwoImageIcon());
    target.SetCurrentIndex(1);
    const QByteArray before = target.SaveToStream();

    const QString largeOnly = folder.filePath(u"large.ico"_s);
    WriteFile(largeOnly,
              IconFile({{IconImageData::Encode(ColourfulPicture(32, 32, true), IconImageData::pf32bit), 32,
                         32, 0, 32}}));
    const QString broken = folder.filePath(u"broken.ico"_s);
    QByteArray damaged = ThirtyTwoBitImage();
    damaged.chop(16 * 4 + 100);
    WriteFile(broken, IconFile({{damaged}}));
    const QString undecodable = folder.filePath(u"undecodable.ico"_s);
    WriteFile(undecodable,
              IconFile({{QByteArray::fromHex("89504e470d0a1a0a0000000d49484452000000100000001008060000"
                                             "00") +
                             QByteArray(30, '\0'),
                         16, 16, 0, 32}}));

    for (const QString& file : {largeOnly, broken, undecodable}) {
        LoadBestSmallIcon(target, file, QString());
        EXPECT_EQ(target.SaveToStream(), before) << file.toStdString();
        EXPECT_EQ(target.CurrentIndex(), 1);
    }
    LoadBestSmallIcon(target, folder.filePath(u"missing.ico"_s), QString());
    LoadBestSmallIcon(target, QString(), u"no_such_icon"_s);
    EXPECT_EQ(target.SaveToStream(), before);
}

TEST(LoadBestSmallIcon, FallsBackToTheProgramsIconWhenTheFileIsMissing)
{
    QTemporaryDir folder;
    TExIcon target;
    LoadBestSmallIcon(target, folder.filePath(u"missing.ico"_s), u"res_ico_DefaultFavoriteIcon"_s);
    EXPECT_EQ(target.Width(), 16);
    EXPECT_EQ(target.Height(), 16);
    EXPECT_FALSE(target.Empty());
}
