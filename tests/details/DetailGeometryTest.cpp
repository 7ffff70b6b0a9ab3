#include "details/DetailGeometry.h"

#include <gtest/gtest.h>

using namespace DetailGeometry;
using namespace Qt::Literals::StringLiterals;

namespace {

using Pictures = std::array<TRatingPicture, 5>;

} // namespace

TEST(DetailGeometry, RatingPercentRoundsHalvesToEven)
{
    EXPECT_EQ(RatingPercent(0.0f), 0);
    EXPECT_EQ(RatingPercent(0.5f), 10);
    EXPECT_EQ(RatingPercent(4.4f), 88);
    EXPECT_EQ(RatingPercent(4.5f), 90);
    EXPECT_EQ(RatingPercent(4.9f), 98);
    EXPECT_EQ(RatingPercent(5.0f), 100);
    // Exact halves (x.5 percent) go to the even neighbour, not away from zero.
    EXPECT_EQ(RatingPercent(0.125f), 2);
    EXPECT_EQ(RatingPercent(0.375f), 8);
    EXPECT_EQ(RatingPercent(0.625f), 12);
}

TEST(DetailGeometry, RatingPicturesAreFullHalfOrEmptyByPercent)
{
    EXPECT_EQ(RatingPictures(0.0f), (Pictures{rpEmpty, rpEmpty, rpEmpty, rpEmpty, rpEmpty}));
    EXPECT_EQ(RatingPictures(0.5f), (Pictures{rpHalf, rpEmpty, rpEmpty, rpEmpty, rpEmpty}));
    EXPECT_EQ(RatingPictures(0.45f), (Pictures{rpEmpty, rpEmpty, rpEmpty, rpEmpty, rpEmpty}));
    EXPECT_EQ(RatingPictures(1.0f), (Pictures{rpFull, rpEmpty, rpEmpty, rpEmpty, rpEmpty}));
    EXPECT_EQ(RatingPictures(3.5f), (Pictures{rpFull, rpFull, rpFull, rpHalf, rpEmpty}));
    EXPECT_EQ(RatingPictures(4.4f), (Pictures{rpFull, rpFull, rpFull, rpFull, rpEmpty}));
    EXPECT_EQ(RatingPictures(4.5f), (Pictures{rpFull, rpFull, rpFull, rpFull, rpHalf}));
    EXPECT_EQ(RatingPictures(4.9f), (Pictures{rpFull, rpFull, rpFull, rpFull, rpHalf}));
    EXPECT_EQ(RatingPictures(5.0f), (Pictures{rpFull, rpFull, rpFull, rpFull, rpFull}));
    // The boundaries of one picture.
    EXPECT_EQ(RatingPictureAt(9, 1), rpEmpty);
    EXPECT_EQ(RatingPictureAt(10, 1), rpHalf);
    EXPECT_EQ(RatingPictureAt(19, 1), rpHalf);
    EXPECT_EQ(RatingPictureAt(20, 1), rpFull);
}

TEST(DetailGeometry, RatingHintNamesTheKindWithOneDecimal)
{
    EXPECT_EQ(RatingHintText(rtRating, 4.5f), u"Rating 4.5"_s);
    EXPECT_EQ(RatingHintText(rtPopularity, 4.5f), u"Popularity 4.5"_s);
    EXPECT_EQ(RatingHintText(rtRating, 0.0f), u"Rating 0.0"_s);
    EXPECT_EQ(RatingHintText(rtPopularity, 3.96f), u"Popularity 4.0"_s);
}

TEST(DetailGeometry, CaptionAndValueLines)
{
    const QRect client(0, 0, 156, 17);
    // Centred top, halves toward zero, down to the bottom.
    EXPECT_EQ(CaptionRect(client, 50, 13), QRect(0, 2, 50, 15));
    EXPECT_EQ(CaptionRect(client, 50, 14), QRect(0, 1, 50, 16));

    // Fits: flush with the right edge, as high as the text.
    TValuePlacement fits = PropertyValueRect(client, 50, 60, 15);
    EXPECT_TRUE(fits.Fits);
    EXPECT_EQ(fits.Rect, QRect(96, 1, 60, 15));
    // Exactly fitting after the 8-pixel gap still counts as fitting.
    fits = PropertyValueRect(client, 50, 98, 15);
    EXPECT_TRUE(fits.Fits);
    EXPECT_EQ(fits.Rect.left(), 58);
    // One pixel more: from the gap to the right edge, elided.
    const TValuePlacement elided = PropertyValueRect(client, 50, 99, 15);
    EXPECT_FALSE(elided.Fits);
    EXPECT_EQ(elided.Rect, QRect(58, 1, 98, 15));

    EXPECT_EQ(FirstRatingPictureLeft(client, 15), 156 - 75);
    EXPECT_EQ(BrowserIconRect(client, 0), QRect(86, 0, 16, 16));
    EXPECT_EQ(BrowserIconRect(client, 3), QRect(86 + 54, 0, 16, 16));
    EXPECT_EQ(BrowserIconRect(QRect(0, 0, 156, 20), 1).top(), 2);
}

TEST(DetailGeometry, LinksBarFillsFromTheRightAndDropsLinksFromTheLeft)
{
    // Install, Visit site, Signup, Tell a Friend.
    const std::array<TLinkMeasure, kLinkCount> links = {{{40, 13}, {45, 13}, {35, 13}, {60, 13}}};
    const QSize icon(16, 16);
    // Each link takes 18 + text + 4 + 16.
    const int all = (18 + 40 + 20) + (18 + 45 + 20) + (18 + 35 + 20) + (18 + 60 + 20);

    auto placed = LinksBarLayout(QSize(all + 1, 20), links, icon, 18, 4);
    for (const TLinkPlacement& link : placed)
        EXPECT_TRUE(link.Shown);
    // Tell a Friend ends 18 pixels before the right edge; each link's icon comes first.
    EXPECT_EQ(placed[3].Bounds, QRect(all + 1 - 18 - 80, 2, 80, 16));
    EXPECT_EQ(placed[3].IconPos, QPoint(all + 1 - 18 - 80, 2));
    EXPECT_EQ(placed[3].TextRect, QRect(all + 1 - 18 - 60, 2, 60, 16));
    EXPECT_EQ(placed[2].Bounds.right() + 1 + 18, placed[3].Bounds.left());
    EXPECT_EQ(placed[0].Bounds.left(), 1);

    // A link that would reach the left edge goes, with everything to its left: Install first.
    placed = LinksBarLayout(QSize(all, 20), links, icon, 18, 4);
    EXPECT_FALSE(placed[0].Shown);
    EXPECT_TRUE(placed[0].Bounds.isEmpty());
    EXPECT_TRUE(placed[1].Shown);
    placed = LinksBarLayout(QSize(150, 20), links, icon, 18, 4);
    EXPECT_EQ((std::array<bool, 4>{placed[0].Shown, placed[1].Shown, placed[2].Shown, placed[3].Shown}),
              (std::array<bool, 4>{false, false, false, true}));
    // Visit site would fit on its own, but Signup to its right did not: links stay in order.
    const std::array<TLinkMeasure, kLinkCount> wideSignup = {{{10, 13}, {10, 13}, {200, 13}, {10, 13}}};
    placed = LinksBarLayout(QSize(150, 20), wideSignup, QSize(0, 0), 18, 4);
    EXPECT_TRUE(placed[3].Shown);
    EXPECT_FALSE(placed[2].Shown);
    EXPECT_FALSE(placed[1].Shown);

    // Without icons: text only, the taller of text and icon is centred.
    placed = LinksBarLayout(QSize(400, 21), links, QSize(0, 0), 18, 4);
    EXPECT_EQ(placed[3].Bounds, QRect(400 - 18 - 64, 4, 64, 13));
    EXPECT_EQ(placed[3].TextRect, QRect(400 - 18 - 60, 4, 60, 13));
}

TEST(DetailGeometry, ScreenshotSitsCentredAboveItsZoomLink)
{
    const QSize display(140, 140);
    EXPECT_EQ(ImageArea(display, 8), QRect(8, 8, 118, 92));
    const QRect image = ImageRect(display, 8, QSize(100, 75));
    EXPECT_EQ(image, QRect(17, 16, 100, 75));
    // The border hardly moves a centred picture, but it bounds the room of the zoom text.
    EXPECT_EQ(ImageRect(display, 4, QSize(100, 75)), QRect(17, 16, 100, 75));
    EXPECT_EQ(ZoomLinkPlacement(display, 4, image, 16, 115).Zone, QRect(24, 103, 112, 18));

    // A text that fits is centred with the glyph before it.
    TZoomLinkPlacement zoom = ZoomLinkPlacement(display, 8, image, 16, 60);
    EXPECT_FALSE(zoom.Elided);
    EXPECT_EQ(zoom.Zone, QRect(46, 99, 64, 18));
    EXPECT_EQ(zoom.GlyphPos, QPoint(26, 99));
    // A wider one starts after the glyph at the border and is elided.
    zoom = ZoomLinkPlacement(display, 8, image, 16, 105);
    EXPECT_TRUE(zoom.Elided);
    EXPECT_EQ(zoom.Zone, QRect(28, 103, 104, 18));
    EXPECT_EQ(zoom.GlyphPos, QPoint(8, 103));
}
