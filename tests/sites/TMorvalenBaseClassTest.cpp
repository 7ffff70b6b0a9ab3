#include "sites/TMorvalenBaseClass.h"
#include "common/BinaryStream.h"
#include "common/Errors.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Saved(const TMorvalenBaseClass& record)
{
    BinaryWriter writer;
    record.SaveToStream(writer);
    return writer.TakeData();
}

// The payload of a framed record, after its 12-byte frame.
QByteArray Payload(const QByteArray& framed)
{
    return framed.mid(12);
}

QByteArray Framed(const QByteArray& payload)
{
    BinaryWriter writer;
    writer.WriteInt64(payload.size());
    writer.WriteInteger(StreamCheckSum(payload));
    writer.WriteBytes(payload);
    return writer.TakeData();
}

void ExpectSameRecord(const TMorvalenBaseClass& a, const TMorvalenBaseClass& b)
{
    EXPECT_EQ(a.Title(), b.Title());
    EXPECT_EQ(a.URL(), b.URL());
    EXPECT_EQ(a.Description(), b.Description());
    EXPECT_EQ(a.BrowserEngine(), b.BrowserEngine());
    EXPECT_EQ(a.FavIconFileName(), b.FavIconFileName());
    EXPECT_EQ(a.RunAsTrayIcon(), b.RunAsTrayIcon());
    EXPECT_EQ(a.ThumbnailScreenSize(), b.ThumbnailScreenSize());
    EXPECT_EQ(a.WindowPlacement(), b.WindowPlacement());
    EXPECT_EQ(a.ElementId(), b.ElementId());
    EXPECT_EQ(a.RunCount(), b.RunCount());
    EXPECT_EQ(a.TabURLs(), b.TabURLs());
    EXPECT_EQ(a.UserRating(), b.UserRating());
    EXPECT_EQ(a.CanRate(), b.CanRate());
    EXPECT_EQ(a.CatalogId(), b.CatalogId());
    EXPECT_EQ(a.MonitorChanges(), b.MonitorChanges());
    EXPECT_EQ(a.MonitorInterval(), b.MonitorInterval());
}

} // namespace

TEST(StreamCheckSum, AddsTheBytesAsUnsignedValues)
{
    EXPECT_EQ(StreamCheckSum(""), 0);
    EXPECT_EQ(StreamCheckSum("abc"), 294);
    EXPECT_EQ(StreamCheckSum(QByteArray(3, char(0xFF))), 765);
}

TEST(StreamCheckSum, WrapsModulo2To32)
{
    // 2^24 + 1 bytes of 0xFF sum to 0xFF000000 + 0xFF, past 2^31: read back as negative.
    const QByteArray data(16777217, char(0xFF));
    EXPECT_EQ(uint32_t(StreamCheckSum(data)), 0xFF0000FFu);
}

TEST(TMorvalenBaseClass, DefaultRecordWritesTheDocumentedPayload)
{
    TMorvalenBaseClass record;
    const QByteArray framed = Saved(record);
    const QByteArray payload = Payload(framed);

    BinaryReader frame(framed);
    EXPECT_EQ(frame.ReadInt64(), payload.size());
    EXPECT_EQ(frame.ReadInteger(), StreamCheckSum(payload));

    BinaryReader reader(payload);
    EXPECT_EQ(reader.ReadWideString(), QString());          // Title
    EXPECT_EQ(reader.ReadWideString(), u"http://"_s);       // URL, 7 units
    EXPECT_EQ(reader.ReadWideString(), QString());          // Description
    EXPECT_EQ(reader.ReadByte(), beInternetExplorer);       // BrowserEngine
    EXPECT_EQ(reader.ReadAnsiString(), QString());          // FavIconFileName
    EXPECT_EQ(reader.ReadByte(), 0);                        // RunAsTrayIcon
    EXPECT_EQ(reader.ReadByte(), 2);                        // ThumbnailScreenSize
    EXPECT_EQ(reader.ReadBytes(16), QByteArray(16, '\0'));  // Left, Top, Width, Height
    EXPECT_EQ(reader.ReadByte(), wsMaximized);              // WindowState
    EXPECT_EQ(reader.ReadBytes(3), QByteArray(3, '\0'));    // reserved
    EXPECT_EQ(reader.ReadAnsiString(), record.ElementId()); // ElementId
    EXPECT_EQ(reader.ReadInteger(), 0);                     // RunCount
    EXPECT_EQ(reader.ReadInteger(), 0);                     // TabURLs count
    EXPECT_EQ(reader.ReadSingle(), 0.0f);                   // UserRating
    EXPECT_EQ(reader.ReadByte(), 0);                        // CanRate
    EXPECT_EQ(reader.ReadInteger(), 0);                     // CatalogId
    EXPECT_EQ(reader.ReadByte(), 0);                        // MonitorChanges
    EXPECT_EQ(reader.ReadByte(), 2);                        // MonitorInterval
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(payload.size(), 4 + 4 + 14 + 4 + 1 + 4 + 1 + 1 + 20 + 4 + 20 + 4 + 4 + 4 + 1 + 4 + 1 + 1);
}

TEST(TMorvalenBaseClass, EveryStoredFieldRoundTrips)
{
    TMorvalenBaseClass record;
    record.SetTitle(u"Wiki \u00fcber alles"_s);
    record.SetURL(u"https://example.org/"_s);
    record.SetDescription(u"Line one\r\nline two"_s);
    record.SetBrowserEngine(beFireFox);
    record.SetFavIconFileName(u"example.org.ico"_s);
    record.SetRunAsTrayIcon(true);
    record.SetThumbnailScreenSize(0);
    record.SetWindowPlacement(-8, 12, 1024, 700, wsNormal);
    record.SetRunCount(41);
    record.SetTabURLs({u"http://a.example"_s, u"http://b.example"_s});
    record.SetUserRating(3.7f);
    record.SetCanRate(true);
    record.SetCatalogId(-17);
    record.SetMonitorChanges(true);
    record.SetMonitorInterval(3);

    TMorvalenBaseClass loaded;
    const QByteArray saved = Saved(record);
    BinaryReader reader(saved);
    loaded.LoadFromStream(reader);
    EXPECT_TRUE(reader.AtEnd());
    ExpectSameRecord(loaded, record);
}

TEST(TMorvalenBaseClass, EveryFlippedPayloadByteFailsTheChecksumAndTheNextRecordStillLoads)
{
    TMorvalenBaseClass first;
    first.SetTitle(u"First"_s);
    TMorvalenBaseClass second;
    second.SetTitle(u"Second"_s);
    const QByteArray firstFramed = Saved(first);
    const QByteArray secondFramed = Saved(second);

    for (qsizetype i = 12; i < firstFramed.size(); ++i) {
        QByteArray damaged = firstFramed;
        damaged[i] = char(damaged[i] ^ 0x01);
        const QByteArray file = damaged + secondFramed;
        BinaryReader reader(file);

        TMorvalenBaseClass target;
        target.SetTitle(u"Untouched"_s);
        try {
            target.LoadFromStream(reader);
            FAIL() << "byte " << i << " loaded";
        } catch (const EMorvalenError& error) {
            EXPECT_STREQ(error.what(), "Invalid check sum detected!");
        }
        EXPECT_EQ(target.Title(), u"Untouched"_s);
        EXPECT_EQ(reader.Position(), firstFramed.size());

        TMorvalenBaseClass next;
        next.LoadFromStream(reader);
        EXPECT_EQ(next.Title(), u"Second"_s);
    }
}

TEST(TMorvalenBaseClass, EmptyTabEntriesAreDroppedOnLoad)
{
    TMorvalenBaseClass record;
    record.SetTabURLs({u"http://a.example"_s, QString(), u"http://c.example"_s});
    TMorvalenBaseClass loaded;
    const QByteArray saved = Saved(record);
    BinaryReader reader(saved);
    loaded.LoadFromStream(reader);
    EXPECT_EQ(loaded.TabURLs(), QStringList({u"http://a.example"_s, u"http://c.example"_s}));
}

TEST(TMorvalenBaseClass, PayloadThatEndsEarlyIsAReadErrorAndChangesNothing)
{
    TMorvalenBaseClass record;
    record.SetTitle(u"Cut"_s);
    const QByteArray payload = Payload(Saved(record));
    for (qsizetype length = 0; length < payload.size(); ++length) {
        // A valid frame around a short payload: the checksum matches, the fields do not fit.
        const QByteArray framed = Framed(payload.left(length));
        BinaryReader reader(framed);
        TMorvalenBaseClass target;
        target.SetTitle(u"Kept"_s);
        EXPECT_THROW(target.LoadFromStream(reader), EStreamReadError) << length;
        EXPECT_EQ(target.Title(), u"Kept"_s);
        EXPECT_TRUE(reader.AtEnd());
    }
}

TEST(TMorvalenBaseClass, SizeBeyondTheStreamIsAReadError)
{
    BinaryWriter writer;
    writer.WriteInt64(int64_t(1) << 40);
    writer.WriteInteger(0);
    writer.WriteBytes("short");
    BinaryReader reader(writer.Data());
    TMorvalenBaseClass record;
    EXPECT_THROW(record.LoadFromStream(reader), EStreamReadError);

    BinaryWriter negative;
    negative.WriteInt64(-5);
    negative.WriteInteger(0);
    BinaryReader negativeReader(negative.Data());
    EXPECT_THROW(record.LoadFromStream(negativeReader), EStreamReadError);
}

TEST(TMorvalenBaseClass, SetRunCountIgnoresValuesBelowOne)
{
    TMorvalenBaseClass record;
    record.SetRunCount(0);
    EXPECT_EQ(record.RunCount(), 0);
    record.SetRunCount(5);
    EXPECT_EQ(record.RunCount(), 5);
    record.SetRunCount(0);
    record.SetRunCount(-3);
    EXPECT_EQ(record.RunCount(), 5);
}

TEST(TMorvalenBaseClass, SetWindowPlacementRaisesOnChangeOnceAfterStoring)
{
    TMorvalenBaseClass record;
    int calls = 0;
    record.OnChange = [&](TMorvalenBaseClass& sender) {
        ++calls;
        EXPECT_EQ(&sender, &record);
        EXPECT_EQ(sender.WindowPlacement(), (TWindowPlacementRec{1, 2, 3, 4, wsMinimized}));
    };
    record.SetWindowPlacement(1, 2, 3, 4, wsMinimized);
    EXPECT_EQ(calls, 1);
    // Other setters notify nobody.
    record.SetTitle(u"x"_s);
    record.SetRunCount(3);
    EXPECT_EQ(calls, 1);
}

TEST(TMorvalenBaseClass, ElementIdsAreTwentyHexDigitsAndDistinct)
{
    const QRegularExpression pattern(u"^[0-9A-F]{20}$"_s);
    QSet<QString> ids;
    for (int i = 0; i < 2000; ++i) {
        TMorvalenBaseClass record;
        EXPECT_TRUE(pattern.match(record.ElementId()).hasMatch()) << record.ElementId().toStdString();
        ids.insert(record.ElementId());
    }
    // Records made in the same instant must not share an identity.
    EXPECT_EQ(ids.size(), 2000);
}

TEST(LaunchArgument, QuotesTheElementAndMarksOnlyTheStartupShortcut)
{
    TMorvalenBaseClass record;
    record.SetElementId(u"0123456789ABCDEF0123"_s);
    EXPECT_EQ(LaunchArgument(record, skWindowsStartup), u"\"Element=0123456789ABCDEF0123 RunMinimized\""_s);
    for (const TShortcutKind kind : {skDesktop, skQuickLaunch, skStartMenu})
        EXPECT_EQ(LaunchArgument(record, kind), u"\"Element=0123456789ABCDEF0123\""_s) << int(kind);
}

TEST(SiteTables, ScreenSizesAndMonitorIntervals)
{
    EXPECT_EQ(ScreenSizes[0].Width, 640);
    EXPECT_EQ(ScreenSizes[2].Height, 768);
    EXPECT_STREQ(ScreenSizes[1].Name, "Medium");
    EXPECT_EQ(MonitorIntervals[2], 15);
    EXPECT_STREQ(BrowserEngineNames[beInternetExplorer], "Chromium engine");
    EXPECT_STREQ(BrowserEngineNames[beFireFox], "WebKit engine");
}
