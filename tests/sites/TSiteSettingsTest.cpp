#include "sites/TSiteSettings.h"
#include "common/FileUtils.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class TSiteSettingsTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;

    QString Path() const { return m_dir.filePath(u"SiteSettings.ini"_s); }

    void WriteFile(const QByteArray& text) const { FileUtils::WriteFileAtomically(Path(), text); }

    QByteArray FileText() const { return FileUtils::ReadWholeFile(Path()).value_or(QByteArray()); }
};

} // namespace

TEST_F(TSiteSettingsTest, AbsentFileAndKeysGiveTheDefaults)
{
    const TSiteSettings settings(Path());
    EXPECT_TRUE(settings.LastError().isEmpty());
    EXPECT_FALSE(settings.OwnSession(u"A1"_s));
    EXPECT_DOUBLE_EQ(settings.Zoom(u"A1"_s), 1.0);
    EXPECT_TRUE(settings.UserAgent(u"A1"_s).isEmpty());
    EXPECT_TRUE(settings.SpellCheck(u"A1"_s));
    EXPECT_FALSE(settings.SpellCheckLanguages(u"A1"_s).isEmpty());
    EXPECT_FALSE(settings.Permission(u"A1"_s, u"Notifications"_s).has_value());
    EXPECT_FALSE(QFile::exists(Path())) << "reading writes nothing";
}

TEST_F(TSiteSettingsTest, EachChangeIsInTheFileAndReadBackByTheNextRun)
{
    {
        TSiteSettings settings(Path());
        QStringList changed;
        QObject::connect(&settings, &TSiteSettings::SiteChanged, &settings,
                         [&changed](const QString& elementId) { changed.append(elementId); });
        ASSERT_TRUE(settings.SetOwnSession(u"A1"_s, true));
        EXPECT_TRUE(FileText().contains("OwnSession=true")) << "written at once, not on exit";
        ASSERT_TRUE(settings.SetZoom(u"A1"_s, 1.5));
        ASSERT_TRUE(settings.SetUserAgent(u"A1"_s, u"Agent/1\nInjected: header"_s));
        ASSERT_TRUE(settings.SetPermission(u"A1"_s, u"Notifications"_s, true));
        ASSERT_TRUE(settings.SetPermission(u"A1"_s, u"Geolocation"_s, false));
        ASSERT_TRUE(settings.SetUserStyle(u"A1"_s, u"body {\n  color: red; } /* a \\ b */"_s));
        ASSERT_TRUE(settings.SetSpellCheck(u"B2"_s, false));
        EXPECT_EQ(changed.count(), 7);
        EXPECT_EQ(changed.first(), u"A1"_s);
    }
    const TSiteSettings again(Path());
    EXPECT_TRUE(again.OwnSession(u"A1"_s));
    EXPECT_DOUBLE_EQ(again.Zoom(u"A1"_s), 1.5);
    EXPECT_EQ(again.UserAgent(u"A1"_s), u"Agent/1 Injected: header"_s) << "a user agent is one header line";
    EXPECT_EQ(again.Permission(u"A1"_s, u"Notifications"_s), std::optional<bool>(true));
    EXPECT_EQ(again.Permission(u"A1"_s, u"Geolocation"_s), std::optional<bool>(false));
    EXPECT_EQ(again.UserStyle(u"A1"_s), u"body {\n  color: red; } /* a \\ b */"_s);
    EXPECT_FALSE(again.SpellCheck(u"B2"_s));
    EXPECT_FALSE(again.OwnSession(u"B2"_s)) << "one group per site";
    EXPECT_EQ(again.Groups(), QStringList({u"A1"_s, u"B2"_s}));
}

TEST_F(TSiteSettingsTest, DefaultValuesAndResetAnswersLeaveNoKeysBehind)
{
    TSiteSettings settings(Path());
    settings.SetPermission(u"A1"_s, u"Camera"_s, true);
    settings.SetZoom(u"A1"_s, 2.0);
    settings.SetPermission(u"A1"_s, u"Camera"_s, std::nullopt);
    EXPECT_FALSE(settings.Permission(u"A1"_s, u"Camera"_s).has_value()) << "reset asks again";
    settings.SetZoom(u"A1"_s, 1.0);
    EXPECT_TRUE(settings.Groups().isEmpty());
    EXPECT_TRUE(FileText().trimmed().isEmpty());
}

TEST_F(TSiteSettingsTest, UnknownKeysAndBadValuesSurviveAChangeOfAnotherKey)
{
    WriteFile("; written by hand\n"
              "[General]\nDoNotDisturb=true\n"
              "[A1]\nZoom=huge\nOwnSession=perhaps\nFutureKey=kept as is\n"
              "Permissions/Notifications=maybe\nno equals sign here\n=no key\n"
              "[unclosed\n"
              "[B2]\r\nZoom=99\r\nUserAgent=  Agent/2  \r\n");
    TSiteSettings settings(Path());
    EXPECT_TRUE(settings.LastError().isEmpty());
    EXPECT_DOUBLE_EQ(settings.Zoom(u"A1"_s), 1.0) << "a bad value is the default";
    EXPECT_FALSE(settings.OwnSession(u"A1"_s));
    EXPECT_FALSE(settings.Permission(u"A1"_s, u"Notifications"_s).has_value());
    EXPECT_DOUBLE_EQ(settings.Zoom(u"B2"_s), 1.0) << "beyond what an engine can show";
    EXPECT_EQ(settings.UserAgent(u"B2"_s), u"Agent/2"_s) << "CR LF lines are read as well";

    ASSERT_TRUE(settings.SetZoom(u"B2"_s, 0.5));
    const TSiteSettings again(Path());
    EXPECT_EQ(again.Value(u"General"_s, u"DoNotDisturb"_s), u"true"_s);
    EXPECT_EQ(again.Value(u"A1"_s, u"FutureKey"_s), u"kept as is"_s);
    EXPECT_EQ(again.Value(u"A1"_s, u"Zoom"_s), u"huge"_s) << "the user's text is not lost";
    EXPECT_EQ(again.Value(u"A1"_s, u"Permissions/Notifications"_s), u"maybe"_s);
    EXPECT_DOUBLE_EQ(again.Zoom(u"B2"_s), 0.5);
}

TEST_F(TSiteSettingsTest, RemovingASiteTakesOnlyItsGroupAndACopyBrowsesAlike)
{
    TSiteSettings settings(Path());
    settings.SetZoom(u"A1"_s, 1.25);
    settings.SetUserAgent(u"A1"_s, u"Agent/1"_s);
    settings.SetZoom(u"B2"_s, 2.0);
    ASSERT_TRUE(settings.CopySite(u"A1"_s, u"C3"_s));
    ASSERT_TRUE(settings.RemoveSite(u"A1"_s));

    const TSiteSettings again(Path());
    EXPECT_EQ(again.Groups(), QStringList({u"B2"_s, u"C3"_s}));
    EXPECT_DOUBLE_EQ(again.Zoom(u"C3"_s), 1.25);
    EXPECT_EQ(again.UserAgent(u"C3"_s), u"Agent/1"_s);
    EXPECT_DOUBLE_EQ(again.Zoom(u"B2"_s), 2.0);
}

TEST_F(TSiteSettingsTest, AFileItCannotReadIsNeverOverwritten)
{
    WriteFile(QByteArray(TSiteSettings::kMaxFileSize + 1, 'x'));
    TSiteSettings settings(Path());
    EXPECT_FALSE(settings.LastError().isEmpty());
    EXPECT_FALSE(settings.SetZoom(u"A1"_s, 2.0)) << "a failed save is not reported as done";
    EXPECT_DOUBLE_EQ(settings.Zoom(u"A1"_s), 2.0) << "kept for the run";
    EXPECT_EQ(QFileInfo(Path()).size(), TSiteSettings::kMaxFileSize + 1);
}

TEST_F(TSiteSettingsTest, AFailedWriteIsReportedAndTheValueKept)
{
    TSiteSettings settings(m_dir.filePath(u"missing-folder/SiteSettings.ini"_s));
    EXPECT_FALSE(settings.SetOwnSession(u"A1"_s, true));
    EXPECT_FALSE(settings.LastError().isEmpty());
    EXPECT_TRUE(settings.OwnSession(u"A1"_s));
}

TEST(TSiteSettings, StorageNameNeverLeavesTheSessionsFolder)
{
    EXPECT_EQ(TSiteSettings::StorageName(u"0123456789ABCDEF0123"_s), u"0123456789ABCDEF0123"_s);
    for (const QString& hostile : {u"../../etc"_s, u"a/b"_s, u""_s, u".."_s, QString(200, u'A')}) {
        const QString name = TSiteSettings::StorageName(hostile);
        EXPECT_FALSE(name.contains(u'/')) << hostile.toStdString();
        EXPECT_FALSE(name.contains(u'.')) << hostile.toStdString();
        EXPECT_FALSE(name.isEmpty());
        EXPECT_LE(name.size(), 64);
    }
    EXPECT_NE(TSiteSettings::StorageName(u"a/b"_s), TSiteSettings::StorageName(u"a/c"_s));
}

TEST(TSiteSettings, ZoomStepsGoThroughChromiumsLevelsAndStopAtTheEnds)
{
    EXPECT_DOUBLE_EQ(TSiteSettings::NextZoom(1.0, true), 1.1);
    EXPECT_DOUBLE_EQ(TSiteSettings::NextZoom(1.0, false), 0.9);
    EXPECT_DOUBLE_EQ(TSiteSettings::NextZoom(1.3, false), 1.25) << "from between two steps";
    EXPECT_DOUBLE_EQ(TSiteSettings::NextZoom(5.0, true), 5.0);
    EXPECT_DOUBLE_EQ(TSiteSettings::NextZoom(0.25, false), 0.25);
}
