#include "pictures/MakeThumbnail.h"
#include "pictures/Colors.h"

#include <gtest/gtest.h>

TEST(MakeThumbnail, MakesTheFramedThumbnailOfAPage)
{
    QImage page(1024, 768, QImage::Format_RGB32);
    page.fill(qRgb(200, 200, 200));
    const QImage thumbnail = MakeThumbnail(page);
    ASSERT_EQ(thumbnail.size(), QSize(kThumbnailWidth, kThumbnailHeight));
    EXPECT_TRUE(thumbnail.hasAlphaChannel());

    // A full block of 11 x 11 is divided by 100 + 121 and corrected by 1.8: 200 becomes 197,
    // which sharpening keeps on a uniform picture.
    EXPECT_EQ(thumbnail.pixel(50, 40), qRgb(197, 197, 197));
    EXPECT_EQ(thumbnail.pixel(2, 2), qRgb(197, 197, 197));
    EXPECT_EQ(thumbnail.pixel(0, 0), qRgb(0x94, 0x96, 0xB1));
    EXPECT_EQ(thumbnail.pixel(1, 1), ColorToQColor(clWindow).rgb());
    EXPECT_EQ(thumbnail.pixel(104, 79), qRgb(0xBB, 0xBB, 0xBB));
    EXPECT_EQ(qAlpha(thumbnail.pixel(0, 79)), 0);
    EXPECT_EQ(qAlpha(thumbnail.pixel(104, 0)), 0);
}

TEST(MakeThumbnail, AnEmptyPageGivesAnEmptyImage)
{
    EXPECT_TRUE(MakeThumbnail(QImage()).isNull());
}

TEST(MakeThumbnail, SmallPicturesAreStretchedToTheThumbnailSize)
{
    QImage page(40, 30, QImage::Format_RGB32);
    page.fill(qRgb(10, 20, 30));
    const QImage thumbnail = MakeThumbnail(page);
    EXPECT_EQ(thumbnail.size(), QSize(kThumbnailWidth, kThumbnailHeight));
    // Blocks of one pixel: divisor 0 + 1, times 1.8, sharpened unchanged.
    EXPECT_EQ(thumbnail.pixel(50, 40), qRgb(18, 36, 54));
}
