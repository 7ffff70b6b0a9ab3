#include "pictures/ColorNames.h"
#include "pictures/ColorSteps.h"

#include <gtest/gtest.h>

#include <climits>

using namespace Qt::Literals::StringLiterals;

TEST(ColorNames, NamesMatchWithoutRegardToCase)
{
    EXPECT_EQ(ColorNames::StringToColor(u"clRed"_s), 0x0000FF);
    EXPECT_EQ(ColorNames::StringToColor(u"CLNAVY"_s), 0x800000);
    EXPECT_EQ(ColorNames::StringToColor(u"clmoneygreen"_s), 0xC0DCC0);
    EXPECT_EQ(ColorNames::StringToColor(u"clMedGray"_s), 0xA4A0A0);
    EXPECT_EQ(ColorNames::StringToColor(u"clNone"_s), 0x1FFFFFFF);
    EXPECT_EQ(ColorNames::StringToColor(u"clDefault"_s), 0x20000000);
}

TEST(ColorNames, SystemColoursSkipIndex25)
{
    EXPECT_EQ(uint32_t(*ColorNames::StringToColor(u"clScrollBar"_s)), 0xFF000000u);
    EXPECT_EQ(uint32_t(*ColorNames::StringToColor(u"clInfoBk"_s)), 0xFF000018u);
    EXPECT_EQ(uint32_t(*ColorNames::StringToColor(u"clHotLight"_s)), 0xFF00001Au);
    EXPECT_EQ(uint32_t(*ColorNames::StringToColor(u"clMenuBar"_s)), 0xFF00001Eu);
    EXPECT_EQ(uint32_t(*ColorNames::StringToColor(u"cl3DDkShadow"_s)), 0xFF000015u);
}

TEST(ColorNames, NumbersAreDecimalOrDollarHexadecimal)
{
    EXPECT_EQ(ColorNames::StringToColor(u"$00F06048"_s), 0xF06048);
    EXPECT_EQ(ColorNames::StringToColor(u"$f06048"_s), 0xF06048);
    EXPECT_EQ(ColorNames::StringToColor(u"16711680"_s), 0xFF0000);
    EXPECT_EQ(ColorNames::StringToColor(u"-1"_s), -1);
    EXPECT_EQ(ColorNames::StringToColor(u"$FFFFFFFF"_s), -1);
    for (const QString& bad : {u""_s, u"$"_s, u"$1FFFFFFFF"_s, u"4294967296"_s, u"12abc"_s, u"$-1"_s,
                               u"0x10"_s, u"clRedd"_s, u"\u0661\u0662"_s, u"1 2"_s}) {
        EXPECT_FALSE(ColorNames::StringToColor(bad).has_value()) << bad.toStdString();
    }
}

TEST(ColorNames, ColorToStringNamesOrPrintsHex)
{
    EXPECT_EQ(ColorNames::ColorToString(0x0000FF), u"clRed"_s);
    EXPECT_EQ(ColorNames::ColorToString(0xF06048), u"$00F06048"_s);
    EXPECT_EQ(ColorNames::StringToColor(ColorNames::ColorToString(0x123456)), 0x123456);
}

TEST(ColorSteps, BlueFadesToTheStoredBarColours)
{
    // The browser window's bar was stored with blue lightened and darkened by 100.
    EXPECT_EQ(ColorSteps::Lighten(0xFF0000, 100), 0xFFD4D5);
    EXPECT_EQ(ColorSteps::Darken(0xFF0000, 100), 0x2A0001);
}

TEST(ColorSteps, ConvertsOnThe240Scale)
{
    EXPECT_EQ(ColorSteps::ColorToHLS(0xFF0000), (ColorSteps::THLSColor{160, 120, 240}));
    EXPECT_EQ(ColorSteps::ColorToHLS(0x0000FF), (ColorSteps::THLSColor{0, 120, 240}));
    EXPECT_EQ(ColorSteps::ColorToHLS(0x808080).Saturation, 0);
    EXPECT_EQ(ColorSteps::ColorToHLS(0xFFFFFF).Lightness, 240);
    EXPECT_EQ(ColorSteps::HLSToColor({0, 120, 240}), 0x0000FF);
    EXPECT_EQ(ColorSteps::HLSToColor({0, 240, 0}), 0xFFFFFF);
    // The way back divides the hue by 239: green 80 lands a little past the third sixth.
    EXPECT_EQ(ColorSteps::HLSToColor({80, 120, 240}), 0x02FF00);
}

TEST(ColorSteps, StepsClampAndZeroLeavesTheColourAlone)
{
    // $00F48F7E does not survive a round trip unchanged, so 0 must not convert at all.
    EXPECT_EQ(ColorSteps::Lighten(0xF48F7E, 0), 0xF48F7E);
    EXPECT_EQ(ColorSteps::Darken(0xF48F7E, 0), 0xF48F7E);
    EXPECT_EQ(ColorSteps::Lighten(0xFFFFFF, 50), 0xFFFFFF);
    EXPECT_EQ(ColorSteps::Darken(0x000000, 50), 0x000000);
    EXPECT_EQ(ColorSteps::Darken(0xFFFFFF, 240), 0x000000);
    // A grey stays a grey.
    const TColor lighter = ColorSteps::Lighten(0x808080, 30);
    EXPECT_EQ(lighter & 0xFF, (lighter >> 8) & 0xFF);
    EXPECT_EQ(lighter & 0xFF, (lighter >> 16) & 0xFF);
    EXPECT_GT(lighter & 0xFF, 0x80);
    // Lightness beyond 240 is allowed and saturates instead of wrapping.
    EXPECT_EQ(ColorSteps::Lighten(0xFF0000, 200), 0xFFFFFF);
    // Adjustments are plain integers a caller may set to anything.
    EXPECT_EQ(ColorSteps::Lighten(0x123456, INT_MAX), 0xFFFFFF);
    EXPECT_EQ(ColorSteps::Darken(0x123456, INT_MIN), 0xFFFFFF);
    EXPECT_EQ(ColorSteps::Darken(0x123456, INT_MAX), 0x000000);
}
