#include "panels/PanelGeometry.h"

#include <gtest/gtest.h>

using namespace PanelGeometry;

TEST(PanelGeometry, SpecialFramePolygonCutsOnlyRoundCorners)
{
    const std::vector<QPoint> one = SpecialFramePolygon(50, 30, csRound, csRect, csRect, csRect);
    EXPECT_EQ(one, (std::vector<QPoint>{{0, 2}, {2, 0}, {49, 0}, {49, 29}, {0, 29}}));

    const std::vector<QPoint> all = SpecialFramePolygon(50, 30, csRound, csRound, csRound, csRound);
    EXPECT_EQ(all,
              (std::vector<QPoint>{{0, 2}, {2, 0}, {47, 0}, {49, 2}, {49, 27}, {47, 29}, {2, 29}, {0, 27}}));
    EXPECT_EQ(SpecialFramePolygon(50, 30, csRect, csRect, csRect, csRect).size(), 4u);
}

TEST(PanelGeometry, DelimiterLineAndFades)
{
    EXPECT_EQ(DelimiterLinePosition(doHorizontal, 156, 5), 2);
    EXPECT_EQ(DelimiterLinePosition(doHorizontal, 156, 4), 1);
    EXPECT_EQ(DelimiterLinePosition(doVertical, 7, 100), 3);
    EXPECT_EQ(DelimiterLinePosition(doHorizontal, 10, 0), 0);

    // Odd lengths: the two halves share the middle pixel.
    EXPECT_EQ(DelimiterParts(ftGradientTNT, 5),
              (std::vector<TDelimiterPart>{{0, 3, kFadedLineColor, kLineColor},
                                           {2, 5, kLineColor, kFadedLineColor}}));
    EXPECT_EQ(DelimiterParts(ftGradientTNT, 4),
              (std::vector<TDelimiterPart>{{0, 2, kFadedLineColor, kLineColor},
                                           {2, 4, kLineColor, kFadedLineColor}}));
    EXPECT_EQ(DelimiterParts(ftGradientNT, 9),
              (std::vector<TDelimiterPart>{{0, 9, kLineColor, kFadedLineColor}}));
    EXPECT_TRUE(DelimiterParts(ftSolid, 0).empty());
}

TEST(PanelGeometry, FrameClientRectLeavesBarsAndHelpAreaOut)
{
    const QRect client(0, 0, 300, 200);
    EXPECT_EQ(FrameClientRect(client, false, true, true, 19, 0), QRect(1, 20, 298, 160));
    EXPECT_EQ(FrameClientRect(client, false, false, false, 19, 10), QRect(1, 1, 298, 188));
    EXPECT_TRUE(FrameClientRect(client, true, true, true, 19, 0).isEmpty());
    // Never a rectangle of negative size.
    const QRect tiny = FrameClientRect(QRect(0, 0, 300, 30), false, true, true, 19, 0);
    EXPECT_TRUE(tiny.isEmpty());
    EXPECT_GE(tiny.height(), 0);

    EXPECT_EQ(HelpTextWidth(300, 17, 16), 300 - 15 - 27 - 20);
    EXPECT_EQ(HelpTextWidth(300, 0, 0), 279);
    EXPECT_EQ(WrappedHelpAreaHeight(13), 19);
    EXPECT_EQ(WrappedHelpAreaHeight(26), 30);
}
