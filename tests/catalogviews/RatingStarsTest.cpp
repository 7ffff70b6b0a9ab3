#include "catalogviews/RatingStars.h"
#include "pictures/GraphicTools.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Draws a rating into a 120 x 24 cell on white and names each star by the picture it shows.
std::string DrawnStars(float rating)
{
    QImage cell(120, 24, QImage::Format_ARGB32_Premultiplied);
    cell.fill(Qt::white);
    {
        QPainter painter(&cell);
        DrawRatingStars(painter, cell.rect(), rating);
    }
    const std::pair<char, QImage> kinds[] = {{'F', GraphicTools::LoadPngResource(u"rtStarFull"_s)},
                                             {'H', GraphicTools::LoadPngResource(u"rtStarSemi"_s)},
                                             {'E', GraphicTools::LoadPngResource(u"rtStarEmpty"_s)}};
    std::string stars;
    for (int i = 0; i < 5; ++i) {
        // 8 pixels in, 15-pixel stars side by side, centred in 24 pixels: 4 from the top.
        const QImage drawn = cell.copy(8 + i * 15, (24 - 15) / 2, 15, 15);
        char found = '?';
        for (const auto& [name, star] : kinds) {
            QImage expected(15, 15, QImage::Format_ARGB32_Premultiplied);
            expected.fill(Qt::white);
            QPainter(&expected).drawImage(0, 0, star);
            if (expected == drawn)
                found = name;
        }
        stars += found;
    }
    // Nothing is drawn before the first star or after the last.
    for (int y = 0; y < 24; ++y) {
        for (int x : {0, 7, 8 + 75, 119}) {
            if (cell.pixel(x, y) != QColor(Qt::white).rgb())
                return stars + " and paint outside";
        }
    }
    return stars;
}

TEST(DrawRatingStars, DrawsWholeHalfAndEmptyStars)
{
    ASSERT_EQ(GraphicTools::LoadPngResource(u"rtStarFull"_s).size(), QSize(15, 15));
    EXPECT_NE(GraphicTools::LoadPngResource(u"rtStarFull"_s), GraphicTools::LoadPngResource(u"rtStarSemi"_s));
    EXPECT_EQ(DrawnStars(0.0f), "EEEEE");
    EXPECT_EQ(DrawnStars(0.5f), "HEEEE");
    EXPECT_EQ(DrawnStars(3.4f), "FFFEE");
    EXPECT_EQ(DrawnStars(3.5f), "FFFHE");
    EXPECT_EQ(DrawnStars(5.0f), "FFFFF");
}

} // namespace
