#include "dialogs/ScreenshotPlacement.h"

#include <gtest/gtest.h>

using ScreenshotPlacement::FrameMetrics;
using ScreenshotPlacement::Place;

TEST(ScreenshotPlacement, ASmallPictureIsCentredAtItsSizePlusTheFrame)
{
    const FrameMetrics frame{3, 3, 23};
    const auto placement = Place({300, 200}, 110, QRect(0, 0, 1280, 1000), frame);
    EXPECT_FALSE(placement.maximized);
    // 2 x 3 + 300 + 8 wide, 3 + 200 + 110 + 23 + 12 high.
    EXPECT_EQ(placement.geometry, QRect((1280 - 314) / 2, (1000 - 348) / 2, 314, 348));

    // The work area may begin anywhere (a panel on the left or at the top); halves of an
    // odd difference are dropped.
    const auto shifted = Place({300, 200}, 110, QRect(64, 30, 1281, 1001), frame);
    EXPECT_EQ(shifted.geometry.topLeft(), QPoint(64 + 483, 30 + 326));
    EXPECT_EQ(shifted.geometry.size(), QSize(314, 348));
}

TEST(ScreenshotPlacement, APictureThatDoesNotFitWithRoomToSpareIsMaximized)
{
    const FrameMetrics frame{3, 3, 23};
    const QRect workArea(0, 0, 1024, 740);
    // Width 1024 - 10 - 1 = 1013 is the widest window that is still centred.
    EXPECT_FALSE(Place({1013 - 14, 100}, 50, workArea, frame).maximized);
    EXPECT_TRUE(Place({1014 - 14, 100}, 50, workArea, frame).maximized);
    // Height 740 - 28 - 1 = 711 is the highest.
    EXPECT_FALSE(Place({100, 711 - 50 - 38}, 50, workArea, frame).maximized);
    EXPECT_TRUE(Place({100, 712 - 50 - 38}, 50, workArea, frame).maximized);
    EXPECT_TRUE(Place({4000, 3000}, 50, workArea, frame).maximized);
}

TEST(ScreenshotPlacement, TheFrameCountsAsTheRuleSays)
{
    // Both side frames count in the width, one frame in the height.
    const auto placement = Place({100, 100}, 0, QRect(0, 0, 2000, 2000), FrameMetrics{10, 7, 30});
    EXPECT_EQ(placement.geometry.size(), QSize(2 * 10 + 100 + 8, 7 + 100 + 30 + 12));
}
