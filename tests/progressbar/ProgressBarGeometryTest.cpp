#include "progressbar/ProgressBarGeometry.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace ProgressBarGeometry;

namespace {

std::vector<TFillRun> Runs(std::initializer_list<std::pair<int, int>> runs)
{
    std::vector<TFillRun> result;
    for (const auto& [left, width] : runs)
        result.push_back({left, width});
    return result;
}

} // namespace

TEST(ProgressBarGeometry, FillWidthRoundsHalvesToEvenAndStaysInTheArea)
{
    EXPECT_EQ(FillWidth(50, 0, 100, 100), 50);
    EXPECT_EQ(FillWidth(1, 0, 8, 20), 2); // 2.5 -> 2
    EXPECT_EQ(FillWidth(3, 0, 8, 20), 8); // 7.5 -> 8
    EXPECT_EQ(FillWidth(100, 0, 100, 37), 37);
    EXPECT_EQ(FillWidth(5, 5, 5, 100), 0);  // Max equal to Min: no fill
    EXPECT_EQ(FillWidth(5, 10, 5, 100), 0); // Max below Min
    EXPECT_EQ(FillWidth(-20, -10, 10, 100), 0);
    // Wide ranges do not overflow.
    EXPECT_EQ(FillWidth(2'000'000'000, -2'000'000'000, 2'000'000'000, 1000), 1000);
}

TEST(ProgressBarGeometry, SegmentsGrowInWholeSegments)
{
    // 50 % of 100 pixels: segments start while their start lies below 49.
    const TFillPlan half = Segments(50, 100, 12, 2, false);
    EXPECT_EQ(half.Runs, Runs({{0, 12}, {14, 12}, {28, 12}, {42, 12}}));
    EXPECT_TRUE(half.Shadows.empty());

    // A last segment reaching past the area is cut at its edge.
    EXPECT_EQ(Segments(100, 100, 12, 2, false).Runs.back(), (TFillRun{98, 2}));
    EXPECT_TRUE(Segments(1, 100, 12, 2, false).Runs.empty());
    EXPECT_EQ(Segments(2, 100, 12, 2, false).Runs.size(), 1u);

    // Shadows follow each segment only when the gap has room for them.
    EXPECT_EQ(Segments(30, 100, 12, 2, true).Shadows, (std::vector<int>{12, 26, 40}));
    EXPECT_TRUE(Segments(30, 100, 12, 1, true).Shadows.empty());
}

TEST(ProgressBarGeometry, SmoothFillIsOneStripWithAnOptionalShadow)
{
    EXPECT_EQ(SmoothFill(37, 100, false).Runs, Runs({{0, 37}}));
    EXPECT_EQ(SmoothFill(37, 100, true).Shadows, (std::vector<int>{37}));
    EXPECT_EQ(SmoothFill(100, 100, true).Shadows, (std::vector<int>{100}));
    EXPECT_TRUE(SmoothFill(0, 100, true).Shadows.empty());
    EXPECT_TRUE(SmoothFill(0, 100, true).Runs.empty());
}

TEST(ProgressBarGeometry, AnimationGroupEntersFromTheLeftAndStartsOver)
{
    constexpr int width = 100;
    // Switching on sets the counter to -3: the first step draws nothing.
    EXPECT_TRUE(AnimationGroup(-3, width, 12, 2, false).Runs.empty());
    EXPECT_EQ(AnimationGroup(-2, width, 12, 2, false).Runs, Runs({{0, 12}}));
    EXPECT_EQ(AnimationGroup(-1, width, 12, 2, false).Runs, Runs({{0, 12}, {14, 12}}));
    EXPECT_EQ(AnimationGroup(0, width, 12, 2, false).Runs, Runs({{0, 12}, {14, 12}, {28, 12}}));
    EXPECT_EQ(AnimationGroup(1, width, 12, 2, false).Runs, Runs({{14, 12}, {28, 12}, {42, 12}}));

    // Near the right end the group shrinks, then the counter starts over.
    EXPECT_EQ(AnimationGroup(5, width, 12, 2, false).Runs, Runs({{70, 12}, {84, 12}}));
    EXPECT_EQ(NormalizeAnimationCounter(6, width, 12, 2), 6);
    EXPECT_EQ(NormalizeAnimationCounter(7, width, 12, 2), -3);
    // After the bar shrank under a running group it comes back too.
    EXPECT_EQ(NormalizeAnimationCounter(40, width, 12, 2), -3);
    EXPECT_EQ(NormalizeAnimationCounter(0, 0, 0, 0), -3);

    EXPECT_EQ(AnimationGroup(0, width, 12, 2, true).Shadows, (std::vector<int>{12, 26, 40}));
}

TEST(ProgressBarGeometry, PercentLabelTextVisibilityAndPlace)
{
    EXPECT_EQ(PercentText(showPercent, 1, 0, 3), u"33%"_s);
    EXPECT_EQ(PercentText(showPercent, 5, 0, 0), u"0%"_s);
    EXPECT_EQ(PercentText(showCount, 30, 10, 50), u"20"_s);
    EXPECT_EQ(PercentText(showRange, 30, 10, 50), u"20 of 40"_s);
    EXPECT_EQ(PercentText(showStatic, 30, 10, 50), u"Processing"_s);

    EXPECT_FALSE(PercentVisible(bvInside | bvMaxVisible, 0, 0, 100));
    EXPECT_TRUE(PercentVisible(bvMinVisible, 0, 0, 100));
    EXPECT_TRUE(PercentVisible(bvInside, 50, 0, 100));
    EXPECT_FALSE(PercentVisible(bvInside, 100, 0, 100));

    EXPECT_EQ(PercentBoxLeft(percentCenter, 100, 10, 30), 35);
    EXPECT_EQ(PercentBoxLeft(percentStart, 100, 10, 30), 4);
    EXPECT_EQ(PercentBoxLeft(percentFloat, 100, 10, 30), 14);
    EXPECT_EQ(PercentBoxLeft(percentFloat, 100, 90, 30), 66);
}

TEST(ProgressBarGeometry, InfoTimesAreSplitIntoTwoDigitParts)
{
    const QString elapsed = u"Elapsed time: [Hours]:[Minutes]:[Seconds]"_s;
    EXPECT_EQ(FormatInfoTime(elapsed, 3725), u"Elapsed time: 01:02:05"_s);
    EXPECT_EQ(FormatInfoTime(elapsed, 0), u"Elapsed time: 00:00:00"_s);
    EXPECT_EQ(FormatInfoTime(elapsed, 360000 + 59), u"Elapsed time: 100:00:59"_s);

    // Half done after 30 s: 30 s left; at one step done the estimate uses the whole range.
    EXPECT_EQ(TimeLeftSeconds(30.0, 50, 0, 100), 30);
    EXPECT_EQ(TimeLeftSeconds(2.0, 1, 0, 100), 200);
    EXPECT_EQ(TimeLeftSeconds(10.0, 100, 0, 100), 0);
}
