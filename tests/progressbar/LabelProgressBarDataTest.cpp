#include "progressbar/LabelProgressBarData.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;
using namespace LabelProgressBarData;

TEST(LabelProgressBarData, SectionsHaveTheirByteLayout)
{
    const QByteArray bytes = WriteGradientSections(MainWindowBar().Sections);
    EXPECT_EQ(bytes.toHex(), QByteArray("03000000"
                                        "7e8ff400"
                                        "5065ea00"
                                        "03000000"
                                        "4b60e300"
                                        "555fbd00"
                                        "07000000"
                                        "545cb200"
                                        "383c6f00"
                                        "03000000"));
    EXPECT_EQ(ReadGradientSections(bytes), MainWindowBar().Sections);
    EXPECT_EQ(WriteBarHeight(19).toHex(), QByteArray("13000000"));
    EXPECT_EQ(ReadBarHeight(WriteBarHeight(-7)), -7);
}

TEST(LabelProgressBarData, PressetsRoundTripWithTheirNames)
{
    const std::vector<TGradientPressetRec> pressets{
        {u"Blue"_s, {{1, 2, 3}}},
        {QString(), {}},
        {u"Gr\u00FCn"_s, {{0xFF0000, 0x2A0001, 5}, {-1, 0, 0}}},
    };
    const QByteArray bytes = WritePressets(pressets);
    // Count, then "Blue" with its one-byte length and its section count.
    EXPECT_EQ(bytes.left(13).toHex(), QByteArray("03000000"
                                                 "04"
                                                 "426c7565"
                                                 "01000000"));
    EXPECT_EQ(ReadPressets(bytes), pressets);
    EXPECT_TRUE(ReadPressets(WritePressets({})).empty());
}

TEST(LabelProgressBarData, LongNamesAreCutAtACharacterBoundary)
{
    const QString name = u"a"_s + QString(200, u'\u00E9'); // 1 + 400 bytes of UTF-8
    const std::vector<TGradientPressetRec> read = ReadPressets(WritePressets({{name, {}}}));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].Name, name.left(128)); // 1 + 127 x 2 = 255 bytes
    EXPECT_EQ(uchar(WritePressets({{name, {}}}).at(4)), 255);
}

TEST(LabelProgressBarData, DamagedPropertiesRaiseReadErrors)
{
    const QByteArray sections = WriteGradientSections(BrowserWindowBar().Sections);
    for (qsizetype length = 0; length < sections.size(); ++length)
        EXPECT_THROW(ReadGradientSections(sections.left(length)), EStreamReadError) << length;

    const QByteArray pressets = WritePressets({{u"One"_s, {{1, 2, 3}}}, {u"Two"_s, {}}});
    for (qsizetype length = 0; length < pressets.size(); ++length)
        EXPECT_THROW(ReadPressets(pressets.left(length)), EStreamReadError) << length;

    // Counts the data cannot hold are refused before anything is allocated.
    EXPECT_THROW(ReadGradientSections(QByteArray::fromHex("ffffff7f")), EStreamReadError);
    EXPECT_THROW(ReadGradientSections(QByteArray::fromHex("ffffffff")), EStreamReadError);
    EXPECT_THROW(ReadPressets(QByteArray::fromHex("ffffff7f00000000")), EStreamReadError);
    EXPECT_THROW(ReadPressets(QByteArray::fromHex("01000000"
                                                  "00"
                                                  "ffffff7f")),
                 EStreamReadError);
    EXPECT_THROW(ReadBarHeight(QByteArray("\x01\x02", 2)), EStreamReadError);
}

TEST(LabelProgressBarData, DefaultGradientMatchesTheStoredBars)
{
    // The browser window and thumbnail bars store exactly the default gradient of their height.
    EXPECT_EQ(DefaultGradient(17, false), BrowserWindowBar().Sections);
    EXPECT_EQ(DefaultGradient(20, false), ThumbnailFormBar().Sections);

    // Bold borders take two more pixels; the bands always add up to the inner height.
    const auto bold = DefaultGradient(20, true);
    ASSERT_EQ(bold.size(), 3u);
    EXPECT_EQ(bold[0].Height, 5);
    EXPECT_EQ(bold[1].Height, 2);
    EXPECT_EQ(bold[2].Height, 5);
    const auto base = DefaultGradient(19, false, 0x00FF00);
    EXPECT_EQ(base[0].Height + base[1].Height + base[2].Height, 13);
    EXPECT_EQ(base[1].StartColor, 0x00FF00);
}
