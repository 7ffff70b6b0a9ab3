#include "catalog/TVersionCheck.h"
#include "catalog/CatalogAddresses.h"
#include "catalog/ProgramVersion.h"
#include "catalog/TRemoteVersion.h"
#include "platform/XdgAutostart.h"
#include "server/ServerProcess.h"
#include "settings/TApplicationsSettings.h"
#include "stores/TFileCacheManager.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// The catalog server announces 1.0.0.0 and 2.1.0.3.
const QByteArray kCatalog = R"({
 "versions": [
  {"version": "1.0.0.0", "description": "First"},
  {"version": "2.1.0.3", "description": "Faster lists"}
 ],
 "categories": [{"id": 1, "title": "Office"}],
 "applications": []
})";

constexpr double kToday = 46000.5;

class VersionCheck : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WriteFile(m_dir.filePath(u"catalog.json"_s), kCatalog);
        m_server = std::make_unique<ServerProcess>(m_dir.path(), m_dir.filePath(u"ratings.sqlite"_s));
        ASSERT_GT(m_server->Port(), 0);
        MakeCheck(m_server->BaseURL());
    }

    void MakeCheck(const QString& address)
    {
        QDir().mkpath(m_dir.filePath(u"Cache"_s));
        m_cache = std::make_unique<TFileCacheManager>();
        m_cache->SetCacheFolder(m_dir.filePath(u"Cache"_s));
        m_cache->LoadIndex(m_dir.filePath(u"Cache.dat"_s));
        m_settings.Now = [] {
            return kToday;
        };
        m_settings.OnChange = [this](TApplicationsSettings&) {
            ++m_settingsChanges;
        };
        m_check = std::make_unique<TVersionCheck>(*m_cache, m_settings, address);
        m_check->OnGetProgramVersion = [this] {
            return m_program;
        };
        m_check->OnNewVersion = [this](uint32_t program, const TRemoteVersion& remote) {
            m_offered.push_back({program, remote.Version(), remote.Description(), remote.DownloadURL()});
        };
        m_check->OnLatestVersion = [this](uint32_t program) {
            m_latest.push_back(program);
        };
        m_check->OnFileRefused = [this](const QString& text) {
            m_refused.push_back(text);
        };
    }

    // Lets the request's report arrive (the cache ends every request with one) and the file
    // it brought be read.
    void WaitForReport()
    {
        ASSERT_TRUE(WaitUntil([this] { return !m_cache->Busy(); }));
        ProcessEventsFor(50);
        ASSERT_TRUE(WaitUntil([this] { return !(m_check && m_check->Reading()); }));
    }

    struct Offer
    {
        uint32_t program;
        uint32_t offered;
        QString description;
        QString address;
    };

    QTemporaryDir m_dir;
    std::unique_ptr<ServerProcess> m_server;
    std::unique_ptr<TFileCacheManager> m_cache;
    // The check never touches autostart; the entry would go to a temporary folder anyway.
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", m_dir.filePath(u"config"_s).toUtf8()};
    XdgAutostart m_autostart{u"/opt/morvalen/morvalen-desktop"_s};
    TApplicationsSettings m_settings{m_autostart};
    std::unique_ptr<TVersionCheck> m_check;
    std::optional<uint32_t> m_program = PackVersion(2, 1, 0, 3);
    std::vector<Offer> m_offered;
    std::vector<uint32_t> m_latest;
    std::vector<QString> m_refused;
    int m_settingsChanges = 0;
};

TEST_F(VersionCheck, AutomaticCheckOffersANewerVersionOnly)
{
    m_settings.SetAutoUpdate(2); // weekly
    m_settings.SetLastUpdateCheck(kToday - 8);
    m_program = PackVersion(2, 1, 0, 2);
    m_check->CheckVersionAutomatically();
    WaitForReport();
    ASSERT_EQ(m_offered.size(), 1u);
    EXPECT_EQ(m_offered[0].program, PackVersion(2, 1, 0, 2));
    EXPECT_EQ(VersionText(m_offered[0].offered), u"2.1.0.3"_s);
    EXPECT_EQ(m_offered[0].description, u"Faster lists"_s);
    EXPECT_FALSE(m_offered[0].address.isEmpty());
    EXPECT_TRUE(m_latest.empty());
    EXPECT_EQ(m_settings.LastUpdateCheck(), kToday);
    EXPECT_EQ(m_settingsChanges, 1);

    // The same version as the server's: silent, but the check is recorded.
    m_offered.clear();
    m_program = PackVersion(2, 1, 0, 3);
    m_settings.SetLastUpdateCheck(kToday - 8);
    m_check->CheckVersionAutomatically();
    WaitForReport();
    EXPECT_TRUE(m_offered.empty());
    EXPECT_TRUE(m_latest.empty());
    EXPECT_EQ(m_settings.LastUpdateCheck(), kToday);
}

TEST_F(VersionCheck, AutomaticCheckWaitsUntilItIsDue)
{
    m_settings.SetAutoUpdate(2);
    m_settings.SetLastUpdateCheck(kToday - 6);
    m_program = PackVersion(1, 0, 0, 0);
    m_check->CheckVersionAutomatically();
    EXPECT_FALSE(m_cache->Busy());
    ProcessEventsFor(100);
    EXPECT_TRUE(m_offered.empty());
    EXPECT_EQ(m_settings.LastUpdateCheck(), kToday - 6);

    m_settings.SetAutoUpdate(0); // never
    m_settings.SetLastUpdateCheck(kToday - 400);
    m_check->CheckVersionAutomatically();
    EXPECT_FALSE(m_cache->Busy());
}

TEST_F(VersionCheck, AutomaticCheckWithoutProgramVersionDoesNothing)
{
    m_settings.SetLastUpdateCheck(kToday - 40);
    m_program.reset();
    m_check->CheckVersionAutomatically();
    WaitForReport();
    EXPECT_TRUE(m_offered.empty());
    EXPECT_EQ(m_settings.LastUpdateCheck(), kToday - 40);
}

TEST_F(VersionCheck, OnDemandSaysLatestVersionOrOffersTheNewerOne)
{
    m_settings.SetLastUpdateCheck(kToday - 1);
    m_check->CheckVersionOnDemand();
    WaitForReport();
    EXPECT_TRUE(m_offered.empty());
    ASSERT_EQ(m_latest.size(), 1u);
    EXPECT_EQ(VersionText(m_latest[0]), u"2.1.0.3"_s);
    EXPECT_EQ(m_settings.LastUpdateCheck(), kToday);

    m_program = PackVersion(1, 9, 255, 255);
    m_check->CheckVersionOnDemand();
    WaitForReport();
    ASSERT_EQ(m_offered.size(), 1u);
    EXPECT_EQ(VersionText(m_offered[0].offered), u"2.1.0.3"_s);
    EXPECT_EQ(m_latest.size(), 1u);

    // Without its own version the program says 0.0.0.0 is the latest.
    m_program.reset();
    m_check->CheckVersionOnDemand();
    WaitForReport();
    ASSERT_EQ(m_latest.size(), 2u);
    EXPECT_EQ(m_latest[1], 0u);
}

TEST_F(VersionCheck, AVersionFileOverTheLimitIsRefusedAndSaysSoInsteadOfLatestVersion)
{
    // A newer version hidden behind 16 MB of padding must not be parsed, nor read as "nothing
    // newer".
    TestHttpServer server;
    QByteArray file = "<?xml version=\"1.0\"?><products><product id=\"MorvalenDesktop\"><versions>"
                      "<version major=\"9\" minor=\"0\" release=\"0\" build=\"0\"/></versions></product>";
    file += "<!--" + QByteArray(16 * 1024 * 1024, 'x') + "--></products>";
    server.Serve(QString::fromUtf16(kVersionFilePath), file, "text/xml");
    MakeCheck(server.Url(QString()));
    m_settings.SetLastUpdateCheck(kToday - 40);

    m_check->CheckVersionOnDemand();
    WaitForReport();
    EXPECT_TRUE(m_offered.empty());
    EXPECT_TRUE(m_latest.empty());
    ASSERT_EQ(m_refused.size(), 1u);
    EXPECT_EQ(m_refused[0], u"The catalog server sent a version file larger than 16 MB; it was not read."_s);

    m_settings.SetLastUpdateCheck(kToday - 40);
    m_check->CheckVersionAutomatically();
    WaitForReport();
    EXPECT_TRUE(m_offered.empty());
    EXPECT_EQ(m_refused.size(), 2u);

    // Within the limit the same announcement is read.
    server.Serve(QString::fromUtf16(kVersionFilePath), file.left(file.indexOf("<!--")) + "</products>",
                 "text/xml");
    m_check->CheckVersionOnDemand();
    WaitForReport();
    ASSERT_EQ(m_offered.size(), 1u);
    EXPECT_EQ(VersionText(m_offered[0].offered), u"9.0.0.0"_s);
}

TEST_F(VersionCheck, UnreachableServerShowsNothingAndRecordsNothing)
{
    ASSERT_TRUE(m_server->Stop());
    m_settings.SetLastUpdateCheck(kToday - 40);
    m_program = PackVersion(1, 0, 0, 0);
    m_check->CheckVersionOnDemand();
    WaitForReport();
    m_check->CheckVersionAutomatically();
    WaitForReport();
    EXPECT_TRUE(m_offered.empty());
    EXPECT_TRUE(m_latest.empty());
    EXPECT_EQ(m_settings.LastUpdateCheck(), kToday - 40);
}

TEST_F(VersionCheck, AReportAfterTheCheckIsGoneIsDropped)
{
    m_check->CheckVersionOnDemand();
    m_check.reset();
    WaitForReport();
    EXPECT_TRUE(m_latest.empty());
}

} // namespace
