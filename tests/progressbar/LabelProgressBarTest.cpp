#include "support/RenderSupport.h"

#include "pictures/ColorSteps.h"
#include "progressbar/LabelProgressBar.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QRgb kPattern = qRgb(0x00, 0x80, 0x00);
constexpr QRgb kTrough = qRgb(0xFF, 0xFF, 0xFF);

// A bar with only the bar line, a 100-pixel fill area and a flat green pattern.
class LabelProgressBarTest : public ::testing::Test
{
protected:
    LabelProgressBarTest()
    {
        m_bar.SetViewOptions(0);
        m_bar.resize(106, 20);
        m_bar.SetFillColor(0xFFFFFF);
        m_bar.SetSegmentGradient({{0x008000, 0x008000, 14}});
        m_bar.SetClock([this] { return m_now; });
        // Shown, so that resizes reach the bar at once.
        m_bar.show();
    }

    // The pattern columns of the fill area, which starts at (3, 3).
    std::vector<bool> FilledColumns()
    {
        const QImage image = Render(m_bar);
        std::vector<bool> columns;
        for (int x = 0; x < 100; ++x)
            columns.push_back(image.pixel(3 + x, 10) == kPattern);
        EXPECT_EQ(image.pixel(3 + 50, 3), image.pixel(3 + 50, 10)) << "pattern or trough fill the height";
        return columns;
    }

    int CountFilled()
    {
        const std::vector<bool> columns = FilledColumns();
        return int(std::count(columns.begin(), columns.end(), true));
    }

    TLabelProgressBar m_bar;
    int64_t m_now = 1'000'000;
};

} // namespace

TEST_F(LabelProgressBarTest, PositionsOutsideTheRangeShowAFullBar)
{
    m_bar.SetSmooth(true);
    m_bar.SetPosition(40);
    EXPECT_EQ(CountFilled(), 40);
    m_bar.SetPosition(150);
    EXPECT_EQ(m_bar.Position(), 100);
    EXPECT_EQ(CountFilled(), 100);
    m_bar.SetPosition(20);
    m_bar.SetPosition(-5);
    EXPECT_EQ(m_bar.Position(), 100);
    EXPECT_EQ(CountFilled(), 100);
}

TEST_F(LabelProgressBarTest, MaxEqualToMinShowsNoFill)
{
    m_bar.SetSmooth(true);
    m_bar.SetMin(50);
    m_bar.SetMax(50);
    m_bar.SetPosition(50);
    EXPECT_EQ(CountFilled(), 0);
    const QImage image = Render(m_bar);
    EXPECT_EQ(image.pixel(3, 3), kTrough);
}

TEST_F(LabelProgressBarTest, SegmentsGrowInWholeSegments)
{
    m_bar.SetPosition(50);
    const std::vector<bool> columns = FilledColumns();
    // Segments at 0, 14, 28 and 42, each 12 wide; the last one reaches past 50.
    for (int x = 0; x < 100; ++x) {
        const bool inSegment = x < 54 && x % 14 < 12;
        EXPECT_EQ(columns[size_t(x)], inSegment) << x;
    }
    m_bar.SetPosition(14);
    EXPECT_EQ(CountFilled(), 12);
    m_bar.SetPosition(15);
    EXPECT_EQ(CountFilled(), 12); // the second segment would start at 14, not below 14
    m_bar.SetPosition(16);
    EXPECT_EQ(CountFilled(), 24);
}

TEST_F(LabelProgressBarTest, BusyGroupEntersFromTheLeftStepByStep)
{
    m_bar.SetAnimationMode(true);
    EXPECT_EQ(m_bar.AnimationStep(), -3);
    EXPECT_EQ(CountFilled(), 0);

    // Too early: no step.
    m_now += 200;
    m_bar.AnimationTick();
    EXPECT_EQ(m_bar.AnimationStep(), -3);

    m_now += 1;
    m_bar.AnimationTick();
    std::vector<bool> columns = FilledColumns();
    EXPECT_TRUE(columns[0] && columns[11] && !columns[12]);
    EXPECT_EQ(CountFilled(), 12);

    m_now += 201;
    m_bar.AnimationTick();
    EXPECT_EQ(CountFilled(), 24);
    m_now += 201;
    m_bar.AnimationTick();
    EXPECT_EQ(CountFilled(), 36);
    m_now += 201;
    m_bar.AnimationTick();
    columns = FilledColumns();
    EXPECT_FALSE(columns[0]);
    EXPECT_TRUE(columns[14]);
    EXPECT_EQ(CountFilled(), 36);

    // Past the right end the group starts over before the left edge.
    for (int i = 0; i < 6; ++i) {
        m_now += 201;
        m_bar.AnimationTick();
        Render(m_bar);
    }
    EXPECT_EQ(m_bar.AnimationStep(), -3);
    EXPECT_EQ(CountFilled(), 0);

    // Switching off shows the position again.
    m_bar.SetPosition(20);
    m_bar.SetAnimationMode(false);
    EXPECT_EQ(CountFilled(), 24);
}

TEST_F(LabelProgressBarTest, InfoLineShowsElapsedAndRemainingTime)
{
    m_bar.SetViewOptions(viewInfo);
    m_bar.SetInfoType(infElapsedTime);
    m_bar.SetPosition(10);
    EXPECT_TRUE(m_bar.InfoLineText().isEmpty()); // no timing yet
    m_bar.SetPosition(0);                        // Min starts the timing
    m_now += 3725 * 1000 + 999;
    EXPECT_EQ(m_bar.InfoLineText(), u"Elapsed time: 01:02:05"_s);

    m_bar.SetInfoType(infTimeLeft);
    m_bar.SetPosition(25);
    // A quarter took 3725.999 s: three quarters are left.
    EXPECT_EQ(m_bar.InfoLineText(), u"Time left: 03:06:18"_s);

    m_bar.SetPosition(100); // Max stops it
    EXPECT_TRUE(m_bar.InfoLineText().isEmpty());

    m_bar.SetInfoType(infStatic);
    m_bar.SetInfo(u"Capturing"_s);
    EXPECT_EQ(m_bar.InfoLineText(), u"Capturing"_s);
}

TEST_F(LabelProgressBarTest, LinesStackAndTheBarKeepsAtLeastFourteenPixels)
{
    m_bar.SetViewOptions(viewText | viewInfo);
    const int lines = m_bar.TextLineHeight() + m_bar.InfoLineHeight();
    EXPECT_EQ(m_bar.height(), lines + 20);
    EXPECT_EQ(m_bar.sizeHint().height(), lines + 20);

    m_bar.resize(106, lines + 13);
    EXPECT_EQ(m_bar.BarHeight(), 20);
    m_bar.resize(106, lines + 14);
    EXPECT_EQ(m_bar.BarHeight(), 14);

    m_bar.SetViewOptions(viewInfo);
    EXPECT_EQ(m_bar.height(), m_bar.InfoLineHeight() + 14);

    QFont big = m_bar.InfoFont();
    big.setPixelSize(40);
    m_bar.SetInfoFont(big);
    EXPECT_GT(m_bar.InfoLineHeight(), 40);
    EXPECT_EQ(m_bar.height(), m_bar.InfoLineHeight() + 14);
}

TEST_F(LabelProgressBarTest, StoredFormsSetHeightAndGradient)
{
    m_bar.LoadStoredForm(LabelProgressBarData::BrowserWindowBar());
    EXPECT_EQ(m_bar.BarHeight(), 17);
    EXPECT_EQ(m_bar.height(), 17);
    EXPECT_EQ(m_bar.StoredForm(), LabelProgressBarData::BrowserWindowBar());
    m_bar.SetSmooth(true);
    m_bar.SetPosition(100);
    // The first band starts at the top of the fill area in its start colour.
    const QImage image = Render(m_bar);
    EXPECT_EQ(image.pixel(10, 3), qRgb(0xD5, 0xD4, 0xFF));
}

TEST_F(LabelProgressBarTest, FlatBordersUseTheLightenedColourAndRoundOnesCutTheirCorners)
{
    m_bar.SetFlatColor(0x808080);
    m_bar.SetColor(0x0000FF);
    m_bar.SetBorder(brFlat);
    const TColor light = ColorSteps::Lighten(0x808080, 30);
    const QRgb lightPixel = qRgb(light & 0xFF, (light >> 8) & 0xFF, (light >> 16) & 0xFF);
    QImage image = Render(m_bar);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0)); // the control's colour around the border
    EXPECT_EQ(image.pixel(1, 1), lightPixel);
    EXPECT_EQ(image.pixel(50, 1), lightPixel);
    EXPECT_EQ(image.pixel(104, 18), lightPixel);

    m_bar.SetBorder(brFlatRounded);
    image = Render(m_bar);
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(2, 1), lightPixel);

    m_bar.SetBorder(brFlatBold);
    const TColor dark = ColorSteps::Darken(0x808080, 50);
    image = Render(m_bar);
    EXPECT_EQ(image.pixel(2, 2), qRgb(dark & 0xFF, (dark >> 8) & 0xFF, (dark >> 16) & 0xFF));
}

TEST_F(LabelProgressBarTest, PercentLabelShowsOnlyWhereItsVisibilityAllows)
{
    m_bar.SetSmooth(true);
    m_bar.SetPosition(0);
    const QImage plain = Render(m_bar);
    m_bar.SetPercentView(percentCenter);
    m_bar.SetPercentVisibility(bvInside | bvMaxVisible);
    EXPECT_EQ(Render(m_bar), plain);
    m_bar.SetPercentVisibility(bvMinVisible);
    EXPECT_NE(Render(m_bar), plain);

    // Inside the range the label sits in the middle; the animation hides it.
    m_bar.SetPercentVisibility(bvInside);
    m_bar.SetPosition(30);
    const QImage withLabel = Render(m_bar);
    EXPECT_NE(withLabel.pixel(53, 10), kPattern);
    EXPECT_NE(withLabel.pixel(53, 10), kTrough);
    m_bar.SetAnimationMode(true);
    EXPECT_EQ(CountFilled(), 0);
}

TEST(LabelProgressBar, NewBarsHaveTheirDefaults)
{
    TLabelProgressBar bar;
    EXPECT_EQ(bar.width(), 220);
    EXPECT_EQ(bar.BarHeight(), 20);
    EXPECT_GE(bar.Position(), 1);
    EXPECT_LE(bar.Position(), 100);
    EXPECT_EQ(bar.PercentColor(), ColorSteps::Lighten(0xFF0000, 50));
    EXPECT_EQ(bar.TextFont().family(), u"Tahoma"_s);
    EXPECT_TRUE(bar.PercentFont().bold());
    EXPECT_EQ(bar.ViewOptions(), viewText | viewInfo);
}

TEST_F(LabelProgressBarTest, StoredGradientRunsFromTopToBottomBand)
{
    m_bar.LoadStoredForm(LabelProgressBarData::BrowserWindowBar());
    m_bar.SetSmooth(true);
    m_bar.SetPosition(100);
    const QImage image = Render(m_bar);
    // Fill area rows 3..13: 5 rows fading towards blue, 1 of blue, 5 fading towards $002A0001.
    EXPECT_EQ(image.pixel(10, 3), qRgb(0xD5, 0xD4, 0xFF));
    EXPECT_LT(qRed(image.pixel(10, 7)), 0x40);
    EXPECT_EQ(image.pixel(10, 8), qRgb(0x00, 0x00, 0xFF));
    EXPECT_EQ(image.pixel(10, 9), qRgb(0x00, 0x00, 0xFF));
    EXPECT_LT(qBlue(image.pixel(10, 13)), 0x60);
    EXPECT_EQ(qGreen(image.pixel(10, 13)), 0);
}
