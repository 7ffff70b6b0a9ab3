#include "settings/TApplicationsSettings.h"
#include "common/BinaryStream.h"
#include "common/DateTime.h"
#include "platform/XdgAutostart.h"
#include "support/TestSupport.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Settings over the real XDG autostart entry, inside a temporary XDG_CONFIG_HOME.
class SettingsTest : public ::testing::Test
{
protected:
    QTemporaryDir m_configHome;
    ScopedEnvironment m_environment{"XDG_CONFIG_HOME", m_configHome.path().toUtf8()};
    XdgAutostart m_autostart{u"/opt/morvalen desktop/morvalen-desktop"_s};
    TApplicationsSettings m_settings{m_autostart};

    QByteArray Block(bool runWithWindows, bool newsFlag, int32_t newsInterval)
    {
        TApplicationsSettings source(m_autostart);
        source.SetNewsFlag(newsFlag);
        source.SetCheckNewsInterval(newsInterval);
        BinaryWriter writer;
        source.SaveToStream(writer);
        QByteArray block = writer.TakeData();
        block[0] = runWithWindows ? 1 : 0;
        return block;
    }

    void Load(const QByteArray& data)
    {
        BinaryReader reader(data);
        m_settings.LoadFromStream(reader);
    }
};

} // namespace

TEST_F(SettingsTest, DefaultsWriteTheDocumentedBlock)
{
    BinaryWriter writer;
    m_settings.SaveToStream(writer);
    const QByteArray block = writer.Data();
    ASSERT_EQ(block.size(), TApplicationsSettings::kBlockSize);
    EXPECT_EQ(block.left(22).toHex(' '), "01 00 01 01 00 00 00 00 00 00 00 00 00 02 00 00 00 01 00 00 00 00");
    // Then now minus 32 days.
    BinaryReader reader(block);
    reader.SetPosition(22);
    EXPECT_NEAR(reader.ReadDateTime(), DateTime::Now() - 32, 1.0 / 24);
}

TEST_F(SettingsTest, BlockRoundTripsEveryField)
{
    m_autostart.Apply(true);
    TApplicationsSettings source(m_autostart);
    source.SetMinimizeOnStartup(true);
    source.SetHideOnClose(false);
    source.SetOpenLinksLocally(false);
    source.SetDefaultRenderEngine(beFireFox);
    source.SetNewsFlag(true);
    source.SetCheckNewsInterval(2);
    source.SetAutoUpdate(3);
    source.SetClearOldCache(false);
    source.SetClearOldCacheAge(1);
    source.SetLastUpdateCheck(45000.25);
    BinaryWriter writer;
    source.SaveToStream(writer);
    writer.WriteByte(7); // the next block
    Load(writer.Data());

    EXPECT_TRUE(m_settings.RunWithWindows());
    EXPECT_TRUE(m_settings.MinimizeOnStartup());
    EXPECT_FALSE(m_settings.HideOnClose());
    EXPECT_FALSE(m_settings.OpenLinksLocally());
    EXPECT_EQ(m_settings.DefaultRenderEngine(), beFireFox);
    EXPECT_TRUE(m_settings.NewsFlag());
    EXPECT_EQ(m_settings.CheckNewsInterval(), 2);
    EXPECT_EQ(m_settings.AutoUpdate(), 3);
    EXPECT_FALSE(m_settings.ClearOldCache());
    EXPECT_EQ(m_settings.ClearOldCacheAge(), 1);
    EXPECT_EQ(m_settings.LastUpdateCheck(), 45000.25);
}

TEST_F(SettingsTest, LoadingLeavesTheReaderAtTheViewBlock)
{
    QByteArray data = Block(false, false, 0);
    data.append(char(2));
    BinaryReader reader(data);
    m_settings.LoadFromStream(reader);
    EXPECT_EQ(reader.Position(), 30);
}

TEST_F(SettingsTest, RunWithWindowsFollowsTheAutostartEntryOnLoad)
{
    // Stored on, entry missing: off.
    Load(Block(true, false, 0));
    EXPECT_FALSE(m_settings.RunWithWindows());

    // Stored on, entry present: on.
    m_autostart.Apply(true);
    Load(Block(true, false, 0));
    EXPECT_TRUE(m_settings.RunWithWindows());

    // Stored off, entry present: stays off, and the entry is left alone.
    Load(Block(false, false, 0));
    EXPECT_FALSE(m_settings.RunWithWindows());
    EXPECT_TRUE(m_autostart.IsRegistered());
}

TEST_F(SettingsTest, NewsFlagIsClearedWhenNewsAreOnlyCheckedAtStart)
{
    Load(Block(false, true, 0));
    EXPECT_FALSE(m_settings.NewsFlag());
    Load(Block(false, true, 1));
    EXPECT_TRUE(m_settings.NewsFlag());
}

TEST_F(SettingsTest, ShortBlockKeepsTheDefaultsOfTheMissingFields)
{
    TApplicationsSettings defaults(m_autostart);
    // Through MinimizeOnStartup and half of DefaultRenderEngine.
    const QByteArray data = QByteArray::fromHex("00 01 00 00 01 00");
    BinaryReader reader(data);
    m_settings.LoadFromStream(reader);
    EXPECT_FALSE(m_settings.RunWithWindows());
    EXPECT_TRUE(m_settings.MinimizeOnStartup());
    EXPECT_FALSE(m_settings.HideOnClose());
    EXPECT_FALSE(m_settings.OpenLinksLocally());
    EXPECT_EQ(m_settings.DefaultRenderEngine(), beInternetExplorer);
    EXPECT_EQ(m_settings.AutoUpdate(), 2);
    EXPECT_TRUE(m_settings.ClearOldCache());
    EXPECT_NEAR(m_settings.LastUpdateCheck(), defaults.LastUpdateCheck(), 1.0 / 24);
    EXPECT_TRUE(reader.AtEnd());
}

TEST_F(SettingsTest, SetRunWithWindowsWritesAndRemovesTheAutostartEntry)
{
    m_settings.SetRunWithWindows(true);
    ASSERT_TRUE(m_autostart.IsRegistered());
    const QString entry = QString::fromUtf8(ReadFile(XdgAutostart::EntryPath()));
    EXPECT_TRUE(entry.contains(u"\nExec=\"/opt/morvalen desktop/morvalen-desktop\" runminimized\n"_s))
        << entry.toStdString();
    EXPECT_TRUE(entry.startsWith(u"[Desktop Entry]\n"_s));

    m_settings.SetRunWithWindows(false);
    EXPECT_FALSE(m_autostart.IsRegistered());
    // Removing an entry that is not there is fine.
    m_settings.SetRunWithWindows(false);
    EXPECT_FALSE(m_autostart.IsRegistered());
}

TEST_F(SettingsTest, DefaultsDoNotTouchTheAutostartEntry)
{
    TApplicationsSettings settings(m_autostart);
    EXPECT_TRUE(settings.RunWithWindows());
    EXPECT_FALSE(m_autostart.IsRegistered());
}

TEST_F(SettingsTest, UpdateCheckIsDueOnceItsPeriodHasPassed)
{
    const double now = 46000.5;
    m_settings.Now = [now] {
        return now;
    };

    m_settings.SetAutoUpdate(2); // weekly
    m_settings.SetLastUpdateCheck(now - 7 + 1.0 / 24);
    EXPECT_FALSE(m_settings.IsUpdateCheckDue()) << "6 days 23 hours";
    m_settings.SetLastUpdateCheck(now - 7);
    EXPECT_TRUE(m_settings.IsUpdateCheckDue()) << "7 days";
    // A clock set back counts the same way.
    m_settings.SetLastUpdateCheck(now + 7);
    EXPECT_TRUE(m_settings.IsUpdateCheckDue());

    m_settings.SetAutoUpdate(1);
    m_settings.SetLastUpdateCheck(now - 1);
    EXPECT_TRUE(m_settings.IsUpdateCheckDue());
    m_settings.SetAutoUpdate(3);
    m_settings.SetLastUpdateCheck(now - 29.9);
    EXPECT_FALSE(m_settings.IsUpdateCheckDue());

    for (const int32_t never : {0, 4, -1}) {
        m_settings.SetAutoUpdate(never);
        m_settings.SetLastUpdateCheck(now - 1000);
        EXPECT_FALSE(m_settings.IsUpdateCheckDue()) << never;
    }
}

TEST_F(SettingsTest, FreshSettingsFindACheckDue)
{
    EXPECT_TRUE(m_settings.IsUpdateCheckDue());
}

TEST_F(SettingsTest, ADamagedLastCheckDateLetsTheCheckFallDue)
{
    m_settings.SetLastUpdateCheck(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(m_settings.IsUpdateCheckDue());
}

TEST_F(SettingsTest, MarkUpdateCheckedStoresNowAndRaisesOnChangeOnce)
{
    int changes = 0;
    m_settings.OnChange = [&](TApplicationsSettings& sender) {
        EXPECT_EQ(&sender, &m_settings);
        ++changes;
    };
    m_settings.Now = [] {
        return 46001.0;
    };
    m_settings.MarkUpdateChecked();
    EXPECT_EQ(m_settings.LastUpdateCheck(), 46001.0);
    EXPECT_EQ(changes, 1);

    // Setters raise nothing.
    m_settings.SetAutoUpdate(1);
    m_settings.SetRunWithWindows(false);
    EXPECT_EQ(changes, 1);
}

TEST(SettingsTables, IndexesMapToTheirValuesAndUnknownOnesLikeIndexZero)
{
    EXPECT_EQ(TApplicationsSettings::NewsIntervalMinutes(0), 0);
    EXPECT_EQ(TApplicationsSettings::NewsIntervalMinutes(1), 15);
    EXPECT_EQ(TApplicationsSettings::NewsIntervalMinutes(2), 30);
    EXPECT_EQ(TApplicationsSettings::NewsIntervalMinutes(9), 0);
    EXPECT_EQ(TApplicationsSettings::CacheAgeDays(0), 7);
    EXPECT_EQ(TApplicationsSettings::CacheAgeDays(1), 30);
    EXPECT_EQ(TApplicationsSettings::CacheAgeDays(-3), 7);
}
