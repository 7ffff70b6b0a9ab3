#include "settings/ConfigurationFile.h"
#include "sites/SitesDataFile.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteSettings.h"
#include "support/TestSupport.h"
#include "support/ToolRunner.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class MorvalenToolTest : public ::testing::Test
{
protected:
    QTemporaryDir m_dir;

    QString Path(const QString& name) const { return m_dir.filePath(name); }

    ToolResult Run(const QStringList& arguments) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, Path(u"config"_s));
        return RunTool(arguments, environment);
    }
};

} // namespace

TEST_F(MorvalenToolTest, SitesPrintsEveryRecordWithExactlyTheDocumentedKeys)
{
    std::vector<std::unique_ptr<TMorvalenBaseClass>> sites;
    auto site = std::make_unique<TMorvalenBaseClass>();
    site->SetTitle(u"Mail"_s);
    site->SetUserRating(0.1f);
    site->SetTabURLs({u"http://one.example"_s});
    site->SetWindowPlacement(5, 6, 700, 500, wsNormal);
    sites.push_back(std::move(site));
    SitesDataFile::Save(Path(u"in.dat"_s), sites);

    const ToolResult result = Run({u"sites"_s, Path(u"in.dat"_s)});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject json = result.Json();
    EXPECT_EQ(json.value(u"skipped"_s).toInt(-1), 0);
    const QJsonObject record = json.value(u"records"_s).toArray().at(0).toObject();
    EXPECT_EQ(record.keys(),
              QStringList({u"BrowserEngine"_s, u"CanRate"_s, u"CatalogId"_s, u"Description"_s, u"ElementId"_s,
                           u"FavIconFileName"_s, u"MonitorChanges"_s, u"MonitorInterval"_s,
                           u"RunAsTrayIcon"_s, u"RunCount"_s, u"TabURLs"_s, u"ThumbnailScreenSize"_s,
                           u"Title"_s, u"URL"_s, u"UserRating"_s, u"WindowPlacement"_s}));
    EXPECT_EQ(record.value(u"Title"_s).toString(), u"Mail"_s);
    EXPECT_TRUE(record.value(u"RunAsTrayIcon"_s).isBool());
    EXPECT_EQ(record.value(u"WindowPlacement"_s).toObject().value(u"Width"_s).toInt(), 700);
    EXPECT_EQ(record.value(u"WindowPlacement"_s).toObject().value(u"WindowState"_s).toInt(), wsNormal);
    // The single 0.1 prints as its shortest form, which reads back as the same single.
    EXPECT_TRUE(result.out.contains("\"UserRating\":0.1,")) << result.out.toStdString();
    EXPECT_EQ(float(record.value(u"UserRating"_s).toDouble()), 0.1f);
}

TEST_F(MorvalenToolTest, SitesWriteRestoresWhatSitesPrinted)
{
    std::vector<std::unique_ptr<TMorvalenBaseClass>> sites;
    for (const char16_t* title : {u"One", u"Two"}) {
        auto site = std::make_unique<TMorvalenBaseClass>();
        site->SetTitle(QString::fromUtf16(title));
        site->SetUserRating(4.35f);
        site->SetCatalogId(-4);
        site->SetBrowserEngine(beFireFox);
        sites.push_back(std::move(site));
    }
    const QString original = Path(u"original.dat"_s);
    SitesDataFile::Save(original, sites);
    const ToolResult printed = Run({u"sites"_s, original});
    ASSERT_EQ(printed.status, 0);
    WriteFile(Path(u"backup.json"_s), printed.out);

    const QString restored = Path(u"restored.dat"_s);
    const ToolResult written = Run({u"sites-write"_s, Path(u"backup.json"_s), restored});
    ASSERT_EQ(written.status, 0) << written.err.toStdString();
    // Byte for byte the same file.
    EXPECT_EQ(ReadFile(restored), ReadFile(original));
}

TEST_F(MorvalenToolTest, SitesWriteKeepsDefaultsForMissingKeysAndMakesAnElementId)
{
    WriteFile(Path(u"sites.json"_s), R"({"records":[{"Title":"Only a title"}]})");
    ASSERT_EQ(Run({u"sites-write"_s, Path(u"sites.json"_s), Path(u"out.dat"_s)}).status, 0);
    const SitesDataFile::LoadResult loaded = SitesDataFile::Parse(ReadFile(Path(u"out.dat"_s)));
    ASSERT_EQ(loaded.records.size(), 1u);
    const TMorvalenBaseClass& record = *loaded.records[0];
    EXPECT_EQ(record.Title(), u"Only a title"_s);
    EXPECT_EQ(record.URL(), u"http://"_s);
    EXPECT_EQ(record.MonitorInterval(), 2);
    EXPECT_EQ(record.WindowPlacement().WindowState, wsMaximized);
    EXPECT_EQ(record.ElementId().size(), 20);
}

TEST_F(MorvalenToolTest, UnreadableInputIsReportedWithStatusOne)
{
    WriteFile(Path(u"wrong.dat"_s), "Not a data file at all");
    const ToolResult wrongHeader = Run({u"sites"_s, Path(u"wrong.dat"_s)});
    EXPECT_EQ(wrongHeader.status, 1);
    EXPECT_TRUE(wrongHeader.out.isEmpty());
    EXPECT_FALSE(wrongHeader.err.isEmpty());

    EXPECT_EQ(Run({u"sites"_s, Path(u"missing.dat"_s)}).status, 1);
    EXPECT_EQ(Run({u"config"_s, Path(u"missing.cfg"_s)}).status, 1);

    for (const QByteArray& json :
         {"not json"_qba, R"({"records":{}})"_qba, R"({"records":[{"Title":5}]})"_qba,
          R"({"records":[{"MonitorInterval":300}]})"_qba, R"({"records":[{"TabURLs":["a",1]}]})"_qba}) {
        WriteFile(Path(u"bad.json"_s), json);
        const ToolResult result = Run({u"sites-write"_s, Path(u"bad.json"_s), Path(u"never.dat"_s)});
        EXPECT_EQ(result.status, 1) << json.toStdString();
        EXPECT_FALSE(QFile::exists(Path(u"never.dat"_s))) << json.toStdString();
    }
}

TEST_F(MorvalenToolTest, ConfigDefaultsWritesTheDefaultsThatConfigReadsBack)
{
    const QString path = Path(u"MorvalenDesktop.cfg"_s);
    ASSERT_EQ(Run({u"config-defaults"_s, path}).status, 0);
    const QByteArray data = ReadFile(path);
    ASSERT_EQ(data.size(), 31);
    EXPECT_EQ(data.at(30), 0);

    const ToolResult result = Run({u"config"_s, path});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject json = result.Json();
    EXPECT_EQ(json.keys().size(), 12);
    // No autostart entry in this XDG_CONFIG_HOME: reconciled to false.
    EXPECT_EQ(json.value(u"RunWithWindows"_s), QJsonValue(false));
    EXPECT_EQ(json.value(u"HideOnClose"_s), QJsonValue(true));
    EXPECT_EQ(json.value(u"AutoUpdate"_s), QJsonValue(2));
    EXPECT_EQ(json.value(u"ArrangeMode"_s), QJsonValue(0));
    EXPECT_GT(json.value(u"LastUpdateCheck"_s).toDouble(), 40000.0);
}

TEST_F(MorvalenToolTest, ConfigReportsTheAutostartEntryAndTheArrangeMode)
{
    const QString autostart = Path(u"config/autostart/morvalen-desktop.desktop"_s);
    QDir().mkpath(QFileInfo(autostart).absolutePath());
    WriteFile(autostart, "[Desktop Entry]\n");
    QByteArray data =
        QByteArray::fromHex("01 00 01 01 01 00 00 00 01 02 00 00 00 03 00 00 00 00 01 00 00 00") +
        QByteArray(8, '\0') + "\x02"_qba;
    ASSERT_EQ(data.size(), 31);
    WriteFile(Path(u"c.cfg"_s), data);
    const QJsonObject json = Run({u"config"_s, Path(u"c.cfg"_s)}).Json();
    EXPECT_EQ(json.value(u"RunWithWindows"_s), QJsonValue(true));
    EXPECT_EQ(json.value(u"DefaultRenderEngine"_s), QJsonValue(1));
    EXPECT_EQ(json.value(u"NewsFlag"_s), QJsonValue(true));
    EXPECT_EQ(json.value(u"CheckNewsInterval"_s), QJsonValue(2));
    EXPECT_EQ(json.value(u"AutoUpdate"_s), QJsonValue(3));
    EXPECT_EQ(json.value(u"ClearOldCache"_s), QJsonValue(false));
    EXPECT_EQ(json.value(u"ClearOldCacheAge"_s), QJsonValue(1));
    EXPECT_EQ(json.value(u"LastUpdateCheck"_s), QJsonValue(0.0));
    EXPECT_EQ(json.value(u"ArrangeMode"_s), QJsonValue(2));
}

TEST_F(MorvalenToolTest, SiteSettingsPrintsEachGroupWithTypedKnownValues)
{
    TSiteSettings settings(Path(u"SiteSettings.ini"_s));
    settings.SetOwnSession(u"A1"_s, true);
    settings.SetZoom(u"A1"_s, 1.5);
    settings.SetUserScript(u"A1"_s, u"one();\ntwo();"_s);
    settings.SetValue(u"B2"_s, u"Unknown"_s, u"as written"_s);
    settings.SetSaveIntoDownloads(true);

    const ToolResult result = Run({u"site-settings"_s, Path(u"SiteSettings.ini"_s)});
    ASSERT_EQ(result.status, 0) << result.err.toStdString();
    const QJsonObject groups = result.Json().value(u"groups"_s).toObject();
    const QJsonObject site = groups.value(u"A1"_s).toObject();
    EXPECT_EQ(site.value(u"OwnSession"_s), QJsonValue(true));
    EXPECT_EQ(site.value(u"Zoom"_s), QJsonValue(1.5));
    EXPECT_EQ(site.value(u"UserScript"_s).toString(), u"one();\ntwo();"_s);
    EXPECT_EQ(groups.value(u"B2"_s).toObject().value(u"Unknown"_s).toString(), u"as written"_s);
    EXPECT_EQ(groups.value(u"General"_s).toObject().value(u"SaveIntoDownloads"_s), QJsonValue(true));

    EXPECT_NE(Run({u"site-settings"_s, Path(u"missing.ini"_s)}).status, 0);
}

TEST_F(MorvalenToolTest, BackupAndRestoreMoveTheSitesAndReplaceOnlyWhenAsked)
{
    std::vector<std::unique_ptr<TMorvalenBaseClass>> sites;
    sites.push_back(std::make_unique<TMorvalenBaseClass>());
    sites.back()->SetTitle(u"Mail"_s);
    QDir().mkpath(Path(u"from"_s));
    SitesDataFile::Save(Path(u"from/MorvalenDesktop.dat"_s), sites);
    const ToolResult backup = Run({u"backup"_s, Path(u"from"_s), Path(u"sites.zip"_s)});
    ASSERT_EQ(backup.status, 0) << backup.err.toStdString();

    const ToolResult restored = Run({u"restore"_s, Path(u"to"_s), Path(u"sites.zip"_s)});
    ASSERT_EQ(restored.status, 0) << restored.err.toStdString();
    EXPECT_EQ(ReadFile(Path(u"to/MorvalenDesktop.dat"_s)), ReadFile(Path(u"from/MorvalenDesktop.dat"_s)));

    sites.back()->SetTitle(u"Mail, renamed"_s);
    SitesDataFile::Save(Path(u"to/MorvalenDesktop.dat"_s), sites);
    EXPECT_TRUE(Run({u"restore"_s, Path(u"to"_s), Path(u"sites.zip"_s)}).out.contains("\"kept\":1"));
    EXPECT_NE(ReadFile(Path(u"to/MorvalenDesktop.dat"_s)), ReadFile(Path(u"from/MorvalenDesktop.dat"_s)));
    EXPECT_TRUE(Run({u"restore"_s, Path(u"to"_s), Path(u"sites.zip"_s), u"--replace"_s})
                    .out.contains("\"replaced\":1"));
    EXPECT_EQ(SitesDataFile::Parse(ReadFile(Path(u"to/MorvalenDesktop.dat"_s))).records.at(0)->Title(),
              u"Mail"_s);

    WriteFile(Path(u"not.zip"_s), "not a zip");
    const ToolResult refused = Run({u"restore"_s, Path(u"to"_s), Path(u"not.zip"_s)});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("Nothing was changed")) << refused.err.toStdString();
}
