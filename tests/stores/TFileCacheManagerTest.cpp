#include "stores/TFileCacheManager.h"
#include "common/DateTime.h"
#include "common/Errors.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The stall time-out for a server that stalls for good: long enough that a busy machine
// delivers everything the server did send before it.

struct CacheReport
{
    QString fileName;
    QString url;
    TCacheStatus status = csFailed;
    bool onMainThread = false;
};

// A file an earlier run left in the cache, with its index entry.
struct Seed
{
    QString path; // on the test server
    QString fileName;
    QByteArray content;
    bool keep = false;
    double ageBase = 0; // 0: now
};

bool OnMainThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

class TFileCacheManagerTest : public ::testing::Test
{
protected:
    TFileCacheManagerTest() : m_folder(m_dir.filePath(u"Cache"_s) + u'/')
    {
        QDir().mkpath(m_folder);
        m_cache = MakeManager();
    }

    // A stall time-out of a minute: a busy machine never makes an answer look stalled.
    std::unique_ptr<TFileCacheManager> MakeManager(int stallTimeoutMs = 60000)
    {
        auto cache = std::make_unique<TFileCacheManager>();
        cache->SetCacheFolder(m_dir.filePath(u"Cache"_s));
        cache->SetDownloadLimits(Limits(stallTimeoutMs));
        cache->SetSweepTiming(0, 1);
        cache->LoadIndex(IndexPath());
        return cache;
    }

    static HttpLimits Limits(int stallTimeoutMs)
    {
        HttpLimits limits;
        limits.stallTimeoutMs = stallTimeoutMs;
        limits.maxBodySize = 1024 * 1024;
        return limits;
    }

    // Requests to a server that stalls for good, given up after a short while.
    void RequestStalled(const QString& url)
    {
        m_cache->SetDownloadLimits(Limits(kGiveUpMs));
        m_cache->RequestFile(url, false, false, true, Recorder());
        m_cache->SetDownloadLimits(Limits(60000));
    }

    QString IndexPath() const { return m_folder + u"Cache.dat"_s; }
    QString Url(const QString& path) const { return m_server.Url(path); }
    QString Key(const QString& path) const { return Url(path).toLower(); }

    TCacheFileEvent Recorder()
    {
        return [this](const QString& fileName, const QString& url, TCacheStatus status) {
            m_reports.push_back({fileName, url, status, OnMainThread()});
        };
    }

    void Request(const QString& path, bool nameFromURL = false, bool force = true, bool keep = false)
    {
        m_cache->RequestFile(Url(path), keep, nameFromURL, force, Recorder());
    }

    // Waits for count reports and the end of every worker, then a little longer so that a
    // second report of any request would show.
    bool WaitForReports(size_t count)
    {
        const bool done = WaitUntil([&] { return m_reports.size() >= count && !m_cache->Busy(); });
        ProcessEventsFor(30);
        return done;
    }

    const CacheReport* ReportFor(const QString& path) const
    {
        const QString key = Key(path);
        const CacheReport* found = nullptr;
        for (const CacheReport& report : m_reports) {
            if (report.url == key) {
                EXPECT_EQ(found, nullptr) << "second report for " << path.toStdString();
                found = &report;
            }
        }
        return found;
    }

    void SeedCache(const QList<Seed>& seeds)
    {
        std::vector<TCacheImageItemRec> entries;
        for (const Seed& seed : seeds) {
            WriteFile(m_folder + seed.fileName, seed.content);
            TCacheImageItemRec entry;
            entry.URL = Key(seed.path);
            entry.FileName = seed.fileName;
            entry.Updated = entry.AgeBase = seed.ageBase == 0 ? DateTime::Now() : seed.ageBase;
            entry.Keep = seed.keep;
            entry.Size = int32_t(seed.content.size());
            entries.push_back(entry);
        }
        WriteFile(IndexPath(), CacheIndexFile::Serialize(entries));
        m_cache->LoadIndex(IndexPath());
        ASSERT_EQ(m_cache->Items().size(), entries.size());
    }

    QStringList FilesInCache() const
    {
        return QDir(m_folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir m_dir;
    const QString m_folder;
    TestHttpServer m_server;
    std::vector<CacheReport> m_reports;
    std::unique_ptr<TFileCacheManager> m_cache;
};

} // namespace

TEST_F(TFileCacheManagerTest, StoresANewDownloadUnderANumberedNameAndIndexesIt)
{
    m_server.Serve(u"/xmlcache/categorylist.xml"_s, "<categories/>");
    const double before = DateTime::Now();
    Request(u"/xmlcache/categorylist.xml"_s, false, true, true);
    EXPECT_TRUE(m_cache->Busy());
    ASSERT_TRUE(WaitForReports(1));
    const double after = DateTime::Now();

    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0].fileName, u"Cache00001.tmp"_s);
    EXPECT_EQ(m_reports[0].url, Key(u"/xmlcache/categorylist.xml"_s));
    EXPECT_EQ(m_reports[0].status, csDownloaded);
    EXPECT_TRUE(m_reports[0].onMainThread);
    EXPECT_EQ(ReadFile(m_folder + u"Cache00001.tmp"_s), "<categories/>");

    ASSERT_EQ(m_cache->Items().size(), 1u);
    const TCacheImageItemRec& entry = m_cache->Items()[0];
    EXPECT_EQ(entry.FileName, u"Cache00001.tmp"_s);
    EXPECT_TRUE(entry.Keep);
    EXPECT_EQ(entry.Size, 13);
    EXPECT_EQ(entry.Updated, entry.AgeBase);
    EXPECT_GE(entry.Updated, before);
    EXPECT_LE(entry.Updated, after);

    // The index on disk says the same, and no temporary file of its replacement is left.
    const auto onDisk = CacheIndexFile::Parse(ReadFile(IndexPath()));
    ASSERT_EQ(onDisk.entries.size(), 1u);
    EXPECT_EQ(onDisk.entries[0].URL, entry.URL);
    EXPECT_EQ(onDisk.entries[0].Size, 13);
    EXPECT_EQ(FilesInCache(), (QStringList{u"Cache.dat"_s, u"Cache00001.tmp"_s}));
}

TEST_F(TFileCacheManagerTest, ACachedFileIsReportedBeforeTheRequestReturns)
{
    SeedCache({{u"/images/shot.png"_s, u"shot.png"_s, "png bytes"}});
    Request(u"/images/shot.png"_s, true, false);
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0].status, csCurrent);
    EXPECT_EQ(m_reports[0].fileName, u"shot.png"_s);
    EXPECT_FALSE(m_cache->Busy());
    EXPECT_EQ(m_server.RequestCount(u"/images/shot.png"_s), 0);
    EXPECT_EQ(m_cache->GetCachedFileName(Url(u"/IMAGES/shot.png"_s), true), m_folder + u"shot.png"_s);
    EXPECT_EQ(m_cache->GetCachedFileName(Url(u"/other.png"_s), false), QString());
}

TEST_F(TFileCacheManagerTest, AForcedRequestChecksTheSizeAndRefreshesOrReplaces)
{
    SeedCache({{u"/same.xml"_s, u"Cache00001.tmp"_s, "<same/>", false, 40000.0},
               {u"/changed.xml"_s, u"Cache00002.tmp"_s, "<old/>", false, 40000.0}});
    m_server.Serve(u"/same.xml"_s, "<new/>!"); // the same size: taken as unchanged
    m_server.Serve(u"/changed.xml"_s, "<changed/>");
    Request(u"/same.xml"_s, false, true, true);
    Request(u"/changed.xml"_s);
    ASSERT_TRUE(WaitForReports(2));

    EXPECT_EQ(ReportFor(u"/same.xml"_s)->status, csCurrent);
    EXPECT_EQ(m_server.RequestCount(u"/same.xml"_s), 1);
    EXPECT_EQ(ReadFile(m_folder + u"Cache00001.tmp"_s), "<same/>");
    EXPECT_GT(m_cache->Items()[0].Updated, 40000.0);
    EXPECT_EQ(m_cache->Items()[0].AgeBase, m_cache->Items()[0].Updated);
    EXPECT_TRUE(m_cache->Items()[0].Keep);

    EXPECT_EQ(ReportFor(u"/changed.xml"_s)->status, csDownloaded);
    EXPECT_EQ(ReportFor(u"/changed.xml"_s)->fileName, u"Cache00002.tmp"_s);
    EXPECT_EQ(ReadFile(m_folder + u"Cache00002.tmp"_s), "<changed/>");
    EXPECT_EQ(m_cache->Items()[1].Size, 10);
    EXPECT_EQ(m_cache->Items().size(), 2u);
}

TEST_F(TFileCacheManagerTest, EveryNewRequestEndsWithExactlyOneReportWhateverTheServerDoes)
{
    m_server.Serve(u"/plain"_s, "plain");
    m_server.ServeWithoutLength(u"/open"_s, "open");
    m_server.ServeChunked(u"/chunked"_s, "chunked");
    m_server.ServeRedirect(u"/moved"_s, u"/plain"_s);
    m_server.ServeStalling(u"/stall"_s, 100, "partial");
    m_server.ServeCutShort(u"/cut"_s, "partial", 100);
    m_server.ServeLarge(u"/huge"_s, 3 * 1024 * 1024);
    m_server.ServeLarge(u"/endless"_s, 3 * 1024 * 1024, false);
    m_server.Serve(u"/empty"_s, "");
    const QStringList stored = {u"/plain"_s, u"/open"_s, u"/chunked"_s};
    const QStringList failed = {u"/moved"_s,   u"/cut"_s,   u"/huge"_s,
                                u"/endless"_s, u"/empty"_s, u"/missing"_s};
    for (const QString& path : stored + failed)
        Request(path);
    RequestStalled(Url(u"/stall"_s));
    TestSilentServer silent;
    RequestStalled(silent.Url(u"/a"_s));
    const QString noServer = u"http://127.0.0.1:%1/a"_s.arg(TestHttpServer::UnusedPort());
    m_cache->RequestFile(noServer, false, false, true, Recorder());

    const size_t expected = size_t(stored.size() + failed.size() + 3);
    ASSERT_TRUE(WaitForReports(expected));
    ASSERT_EQ(m_reports.size(), expected);
    for (const CacheReport& report : m_reports)
        EXPECT_TRUE(report.onMainThread);
    for (const QString& path : stored) {
        ASSERT_NE(ReportFor(path), nullptr) << path.toStdString();
        EXPECT_EQ(ReportFor(path)->status, csDownloaded) << path.toStdString();
        EXPECT_EQ(ReadFile(m_cache->GetCachedFileName(Url(path), true)), path.mid(1).toUtf8());
    }
    for (const QString& path : failed + QStringList{u"/stall"_s}) {
        ASSERT_NE(ReportFor(path), nullptr) << path.toStdString();
        EXPECT_EQ(ReportFor(path)->status, csFailed) << path.toStdString();
        EXPECT_TRUE(m_cache->GetCachedFileName(Url(path), false).isEmpty()) << path.toStdString();
    }
    // Nothing but the three stored files and the index.
    EXPECT_EQ(FilesInCache().size(), 4);
    EXPECT_EQ(m_cache->Items().size(), 3u);
}

TEST_F(TFileCacheManagerTest, FailedRequestsLeaveTheIndexFileAlone)
{
    // A first start without a server must not write anything into the data folder.
    m_server.Serve(u"/missing-too"_s, "");
    Request(u"/missing"_s);
    Request(u"/missing-too"_s);
    ASSERT_TRUE(WaitForReports(2));
    EXPECT_FALSE(QFile::exists(IndexPath()));
    EXPECT_TRUE(FilesInCache().isEmpty());

    m_server.Serve(u"/plain"_s, "plain");
    Request(u"/plain"_s);
    ASSERT_TRUE(WaitForReports(3));
    EXPECT_TRUE(QFile::exists(IndexPath()));
}

TEST_F(TFileCacheManagerTest, AFailedRefreshLeavesTheCachedCopyAndItsEntry)
{
    const QStringList paths = {u"/moved"_s, u"/stall"_s,   u"/cut"_s,
                               u"/huge"_s,  u"/missing"_s, u"/notjpeg.jpg"_s};
    QList<Seed> seeds;
    for (int i = 0; i < paths.size(); ++i)
        seeds.append(
            {paths[i], u"Cache%1.tmp"_s.arg(i + 1, 5, 10, QChar(u'0')), "cached " + paths[i].toUtf8()});
    seeds.last().fileName = u"notjpeg.jpg"_s;
    SeedCache(seeds);
    const QByteArray indexBefore = ReadFile(IndexPath());

    m_server.ServeRedirect(u"/moved"_s, u"/elsewhere"_s);
    m_server.ServeStalling(u"/stall"_s, 100, "partial");
    m_server.ServeCutShort(u"/cut"_s, "partial", 100);
    m_server.ServeLarge(u"/huge"_s, 3 * 1024 * 1024);
    m_server.Serve(u"/notjpeg.jpg"_s, "<html>a page, not a picture</html>");
    for (const QString& path : paths) {
        if (path == u"/stall"_s)
            RequestStalled(Url(path));
        else
            Request(path);
    }
    ASSERT_TRUE(WaitForReports(size_t(paths.size())));

    ASSERT_EQ(m_reports.size(), size_t(paths.size()));
    for (const Seed& seed : seeds) {
        ASSERT_NE(ReportFor(seed.path), nullptr);
        EXPECT_EQ(ReportFor(seed.path)->status, csFailed) << seed.path.toStdString();
        EXPECT_EQ(ReadFile(m_folder + seed.fileName), seed.content);
    }
    EXPECT_EQ(ReadFile(IndexPath()), indexBefore);
}

TEST_F(TFileCacheManagerTest, FetchesTheAddressAsWrittenAndKeysItLowerCased)
{
    m_server.Serve(u"/Images/Logo.PNG"_s, "logo");
    Request(u"/Images/Logo.PNG"_s, true);
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_EQ(m_reports[0].status, csDownloaded);
    EXPECT_EQ(m_reports[0].url, Key(u"/Images/Logo.PNG"_s));
    EXPECT_EQ(m_reports[0].fileName, u"logo.png"_s);
    EXPECT_EQ(ReadFile(m_cache->GetCachedFileName(Url(u"/images/logo.png"_s), true)), "logo");
}

TEST_F(TFileCacheManagerTest, NewTempFileNameSkipsFilesOnDiskAndNamesOfRunningWorkers)
{
    WriteFile(m_folder + u"Cache00001.tmp"_s, "left over");
    m_server.ServeStalling(u"/stall"_s, 100);
    Request(u"/stall"_s);
    ASSERT_TRUE(WaitUntil([&] { return m_server.StalledCount() == 1; }));
    // The stalled worker holds Cache00002.tmp.
    EXPECT_EQ(m_cache->NewTempFileName(), u"Cache00003.tmp"_s);
    m_cache->StopDownloads();
    EXPECT_EQ(m_cache->NewTempFileName(), u"Cache00002.tmp"_s);
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(TFileCacheManagerTest, NewTempFileNameSkipsNamesOfEntriesWhoseFileWasSwept)
{
    SeedCache({{u"/a"_s, u"Cache00001.tmp"_s, "a"}});
    QFile::remove(m_folder + u"Cache00001.tmp"_s);
    EXPECT_EQ(m_cache->NewTempFileName(), u"Cache00002.tmp"_s);
}

TEST(TFileCacheManager, FileNameFromURLTakesTheLastPartWithoutItsQuery)
{
    EXPECT_EQ(TFileCacheManager::FileNameFromURL(u"http://host/images/shot.jpg?size=2&x=/y"_s), u"y"_s);
    EXPECT_EQ(TFileCacheManager::FileNameFromURL(u"http://host/images/shot.jpg?size=2"_s), u"shot.jpg"_s);
    EXPECT_EQ(TFileCacheManager::FileNameFromURL(u"http://host/"_s), QString());
    EXPECT_EQ(TFileCacheManager::FileNameFromURL(u"/shot.jpg"_s), QString());
    EXPECT_EQ(TFileCacheManager::FileNameFromURL(u"shot.jpg"_s), QString());
    EXPECT_EQ(TFileCacheManager::FileNameFromURL(u"a/b"_s), u"b"_s);
}

TEST_F(TFileCacheManagerTest, AddressNamesThatCouldEscapeOrHarmTheIndexGetNumberedNames)
{
    m_server.Serve(u"/Cache.dat"_s, "not an index");
    m_server.Serve(u"/"_s, "root");
    const QStringList unsafe = {
        u"/"_s,                                 // empty name
        u"/x/.."_s,                             // ".."
        u"/x/."_s,                              // "."
        u"/Cache.dat"_s,                        // the index itself
        u"/dir/a\\..\\..\\b.png"_s,             // a backslash
        u"/a\u0001b.png"_s,                     // a control character
        u"/"_s + QString(300, u'n') + u".png"_s // too long
    };
    for (const QString& path : unsafe)
        Request(path, true);
    ASSERT_TRUE(WaitForReports(size_t(unsafe.size())));
    const QRegularExpression numbered(u"^Cache\\d{5}\\.tmp$"_s);
    for (const CacheReport& report : m_reports)
        EXPECT_TRUE(numbered.match(report.fileName).hasMatch()) << report.fileName.toStdString();
    // The index is still an index, and nothing was written outside the cache folder.
    EXPECT_TRUE(CacheIndexFile::Parse(ReadFile(IndexPath())).headerValid);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{u"Cache"_s});
}

TEST_F(TFileCacheManagerTest, TwoAddressesWithTheSameFileNameAreKeptApart)
{
    m_server.Serve(u"/one/logo.png"_s, "first");
    m_server.Serve(u"/two/logo.png"_s, "second");
    m_server.Serve(u"/three/logo.png"_s, "third");
    // Both at once: the second must see the name the first one's worker holds.
    Request(u"/one/logo.png"_s, true);
    Request(u"/two/logo.png"_s, true);
    ASSERT_TRUE(WaitForReports(2));
    Request(u"/three/logo.png"_s, true);
    ASSERT_TRUE(WaitForReports(3));

    EXPECT_EQ(ReportFor(u"/one/logo.png"_s)->fileName, u"logo.png"_s);
    EXPECT_EQ(ReportFor(u"/two/logo.png"_s)->fileName, u"logo(2).png"_s);
    EXPECT_EQ(ReportFor(u"/three/logo.png"_s)->fileName, u"logo(3).png"_s);
    EXPECT_EQ(ReadFile(m_cache->GetCachedFileName(Url(u"/one/logo.png"_s), true)), "first");
    EXPECT_EQ(ReadFile(m_cache->GetCachedFileName(Url(u"/two/logo.png"_s), true)), "second");
    EXPECT_EQ(ReadFile(m_cache->GetCachedFileName(Url(u"/three/logo.png"_s), true)), "third");
}

TEST_F(TFileCacheManagerTest, TheSameAddressRequestedTwiceAtOnceKeepsOneEntryAndOneFile)
{
    m_server.Serve(u"/list.xml"_s, "<list/>");
    Request(u"/list.xml"_s);
    Request(u"/list.xml"_s);
    ASSERT_TRUE(WaitForReports(2));
    ASSERT_EQ(m_reports.size(), 2u);
    // Whichever worker ends first makes the entry; the other one stores into its file.
    ASSERT_EQ(m_cache->Items().size(), 1u);
    const QString fileName = m_cache->Items()[0].FileName;
    for (const CacheReport& report : m_reports) {
        EXPECT_EQ(report.status, csDownloaded);
        EXPECT_EQ(report.fileName, fileName);
    }
    EXPECT_EQ(FilesInCache(), (QStringList{u"Cache.dat"_s, fileName}));
}

TEST(TFileCacheManager, JpegNamesTakeAnyJpegAndNothingElse)
{
    const QByteArray jfif = QByteArray::fromHex("FFD8FFE000104A464946000101");
    const QByteArray exif = QByteArray::fromHex("FFD8FFE1FFFE457869660000");
    const QByteArray png = QByteArray::fromHex("89504E470D0A1A0A");
    EXPECT_TRUE(TFileCacheManager::IsValidImage(jfif, u"a.jpg"_s));
    EXPECT_TRUE(TFileCacheManager::IsValidImage(exif, u"a.JPEG"_s));
    EXPECT_FALSE(TFileCacheManager::IsValidImage(png, u"a.jpg"_s));
    EXPECT_FALSE(TFileCacheManager::IsValidImage("<html>", u"a.Jpeg"_s));
    EXPECT_FALSE(TFileCacheManager::IsValidImage(QByteArray::fromHex("FFD8"), u"a.jpg"_s));
    EXPECT_TRUE(TFileCacheManager::IsValidImage(png, u"a.png"_s));
    EXPECT_TRUE(TFileCacheManager::IsValidImage("<html>", u"Cache00001.tmp"_s));
}

TEST_F(TFileCacheManagerTest, AnExifJpegIsStored)
{
    const QByteArray exif = QByteArray::fromHex("FFD8FFE1FFFE4578696600004D4D002A");
    m_server.Serve(u"/shot.jpg"_s, exif, "image/jpeg");
    Request(u"/shot.jpg"_s, true);
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_EQ(m_reports[0].status, csDownloaded);
    EXPECT_EQ(ReadFile(m_folder + u"shot.jpg"_s), exif);
}

TEST_F(TFileCacheManagerTest, LoadIndexDropsEntriesWhoseFileIsGoneOrChangedAndKeepsTheOrder)
{
    SeedCache({{u"/a"_s, u"a.txt"_s, "a"},
               {u"/b"_s, u"b.txt"_s, "b"},
               {u"/c"_s, u"c.txt"_s, "c"},
               {u"/d"_s, u"d.txt"_s, "d"},
               {u"/e"_s, u"e.txt"_s, "e"}});
    QFile::remove(m_folder + u"b.txt"_s);
    WriteFile(m_folder + u"d.txt"_s, "longer");
    m_cache->LoadIndex(IndexPath());
    QStringList names;
    for (const TCacheImageItemRec& entry : m_cache->Items())
        names << entry.FileName;
    EXPECT_EQ(names, (QStringList{u"a.txt"_s, u"c.txt"_s, u"e.txt"_s}));
    EXPECT_TRUE(QFileInfo::exists(m_folder + u"d.txt"_s));
}

TEST_F(TFileCacheManagerTest, ALargeIndexKeepsExactlyTheEntriesWithTheirFilesInOrder)
{
    // Large enough to be checked from two threads.
    std::vector<TCacheImageItemRec> entries(2500);
    QStringList expected;
    for (int i = 0; i < int(entries.size()); ++i) {
        entries[i].URL = u"http://host/%1"_s.arg(i);
        entries[i].FileName = u"f%1"_s.arg(i);
        entries[i].Size = 1;
        // Every seventh file is missing, every eleventh has another size.
        if (i % 7 != 0)
            WriteFile(m_folder + entries[i].FileName, i % 11 == 0 ? "xx" : "x");
        if (i % 7 != 0 && i % 11 != 0)
            expected << entries[i].FileName;
    }
    WriteFile(IndexPath(), CacheIndexFile::Serialize(entries));
    m_cache->LoadIndex(IndexPath());
    QStringList names;
    for (const TCacheImageItemRec& entry : m_cache->Items())
        names << entry.FileName;
    EXPECT_EQ(names, expected);
}

TEST_F(TFileCacheManagerTest, LoadIndexDropsNamesThatLeaveTheCacheFolder)
{
    WriteFile(m_dir.filePath(u"outside.txt"_s), "outside");
    QDir().mkpath(m_folder + u"sub"_s);
    WriteFile(m_folder + u"sub/inner.txt"_s, "inner");
    std::vector<TCacheImageItemRec> entries(3);
    entries[0].URL = u"http://host/outside.txt"_s;
    entries[0].FileName = u"../outside.txt"_s;
    entries[0].Size = 7;
    entries[1].URL = u"http://host/inner.txt"_s;
    entries[1].FileName = u"sub/inner.txt"_s;
    entries[1].Size = 5;
    entries[2].URL = u"http://host/sub"_s;
    entries[2].FileName = u"sub"_s; // a folder, not a file
    WriteFile(IndexPath(), CacheIndexFile::Serialize(entries));
    m_cache->LoadIndex(IndexPath());
    EXPECT_TRUE(m_cache->Items().empty());
}

TEST_F(TFileCacheManagerTest, AWrongHeaderFailsWithTheProgramsMessageAndKeepsNothing)
{
    SeedCache({{u"/a"_s, u"a.txt"_s, "a"}});
    QByteArray index = ReadFile(IndexPath());
    index[0] = 'X';
    WriteFile(IndexPath(), index);
    try {
        m_cache->LoadIndex(IndexPath());
        ADD_FAILURE() << "no error";
    } catch (const EMorvalenError& error) {
        EXPECT_EQ(error.Message(), u"Invalid cache file format."_s);
    }
    EXPECT_TRUE(m_cache->Items().empty());
}

TEST_F(TFileCacheManagerTest, DamagedIndexFilesLoadWithoutACrash)
{
    SeedCache({{u"/a"_s, u"a.txt"_s, "a"}, {u"/b"_s, u"b.txt"_s, "bb"}, {u"/c"_s, u"c.txt"_s, "ccc"}});
    const QByteArray whole = ReadFile(IndexPath());
    const auto check = [&](const QByteArray& damaged) {
        WriteFile(IndexPath(), damaged);
        try {
            m_cache->LoadIndex(IndexPath());
        } catch (const EMorvalenError&) {
            EXPECT_TRUE(m_cache->Items().empty());
        }
        // Whatever loads are real entries, in their order, each with its file.
        QString last;
        for (const TCacheImageItemRec& entry : m_cache->Items()) {
            EXPECT_TRUE(entry.FileName == u"a.txt"_s || entry.FileName == u"b.txt"_s ||
                        entry.FileName == u"c.txt"_s);
            EXPECT_GT(entry.FileName, last);
            last = entry.FileName;
            EXPECT_EQ(QFileInfo(m_folder + entry.FileName).size(), entry.Size);
        }
    };
    for (qsizetype length = 0; length < whole.size(); ++length)
        check(whole.first(length));
    QRandomGenerator random(9);
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = whole;
        damaged[qsizetype(random.bounded(int(whole.size())))] = char(random.bounded(256));
        check(damaged);
    }
}

TEST_F(TFileCacheManagerTest, SweepWithAgeZeroDeletesEveryFileNotKeptButKeepsTheEntries)
{
    SeedCache({{u"/kept"_s, u"kept.txt"_s, "kept", true, 40000.0},
               {u"/old"_s, u"old.txt"_s, "old", false, 40000.0},
               {u"/new"_s, u"new.txt"_s, "new"}});
    m_cache->SetSweep(true, 0);
    ASSERT_TRUE(WaitUntil([&] { return !m_cache->Sweeping(); }));

    EXPECT_TRUE(QFileInfo::exists(m_folder + u"kept.txt"_s));
    EXPECT_FALSE(QFileInfo::exists(m_folder + u"old.txt"_s));
    EXPECT_FALSE(QFileInfo::exists(m_folder + u"new.txt"_s));
    EXPECT_EQ(m_cache->Items().size(), 3u);
    EXPECT_EQ(m_cache->GetCachedFileName(Url(u"/old"_s), true), QString());
    EXPECT_EQ(m_cache->GetCachedFileName(Url(u"/old"_s), false), u"old.txt"_s);

    // A new request fetches the file again under its old name.
    m_server.Serve(u"/old"_s, "fresh");
    Request(u"/old"_s, false, false);
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_EQ(m_reports[0].status, csDownloaded);
    EXPECT_EQ(ReadFile(m_folder + u"old.txt"_s), "fresh");

    m_cache->LoadIndex(IndexPath());
    EXPECT_EQ(m_cache->Items().size(), 2u); // "new" lost its file
}

TEST_F(TFileCacheManagerTest, SweepDeletesOnlyFilesAtLeastMaxAgeDaysOld)
{
    const double now = DateTime::Now();
    SeedCache({{u"/ten"_s, u"ten.txt"_s, "10", false, now - 10.5},
               {u"/four"_s, u"four.txt"_s, "4", false, now - 4.9},
               {u"/future"_s, u"future.txt"_s, "f", false, now + 6},
               {u"/keep"_s, u"keep.txt"_s, "k", true, now - 100}});
    m_cache->SetSweep(true, 5);
    ASSERT_TRUE(WaitUntil([&] { return !m_cache->Sweeping(); }));
    EXPECT_FALSE(QFileInfo::exists(m_folder + u"ten.txt"_s));
    EXPECT_TRUE(QFileInfo::exists(m_folder + u"four.txt"_s));
    EXPECT_FALSE(QFileInfo::exists(m_folder + u"future.txt"_s));
    EXPECT_TRUE(QFileInfo::exists(m_folder + u"keep.txt"_s));
}

TEST_F(TFileCacheManagerTest, DiskFullAndRestoredAreReportedOnTheMainThread)
{
    qint64 freeBytes = 0;
    m_cache->SetFreeSpaceQuery([&](const QString&) { return freeBytes; });
    std::vector<std::pair<QString, bool>> events;
    m_cache->OnDiskFull = [&](TFileCacheManager*) {
        events.emplace_back(u"full"_s, OnMainThread());
    };
    m_cache->OnDiskSpaceRestored = [&](TFileCacheManager*) {
        events.emplace_back(u"restored"_s, OnMainThread());
    };
    m_server.Serve(u"/big.bin"_s, "data");

    // A folder in the way makes storing fail; with room to spare that is no full disk.
    QDir().mkpath(m_folder + u"big.bin"_s);
    freeBytes = 1 << 30;
    Request(u"/big.bin"_s, true);
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_EQ(m_reports[0].status, csFailed);
    EXPECT_TRUE(events.empty());

    freeBytes = 0;
    Request(u"/big.bin"_s, true);
    ASSERT_TRUE(WaitForReports(2));
    EXPECT_EQ(m_reports[1].status, csFailed);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], std::make_pair(u"full"_s, true));

    QDir().rmdir(m_folder + u"big.bin"_s);
    freeBytes = 1 << 30;
    Request(u"/big.bin"_s, true);
    ASSERT_TRUE(WaitForReports(3));
    EXPECT_EQ(m_reports[2].status, csDownloaded);
    Request(u"/big.bin"_s, true, true);
    ASSERT_TRUE(WaitForReports(4));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1], std::make_pair(u"restored"_s, true));
}

TEST_F(TFileCacheManagerTest, AStoreFailingWithRoomOnTheDiskIsSaidOnceWithTheSystemsReason)
{
    m_cache->SetFreeSpaceQuery([](const QString&) { return qint64(1) << 30; });
    QStringList failures;
    m_cache->OnSaveFailed = [&](TFileCacheManager*, const QString& message) {
        failures.append(message);
    };
    m_server.Serve(u"/list.xml"_s, "<list/>");
    // A folder in the way: the file cannot be written, as in a folder that is read-only.
    QDir().mkpath(m_folder + u"list.xml"_s);
    Request(u"/list.xml"_s, true);
    ASSERT_TRUE(WaitForReports(1));
    EXPECT_EQ(m_reports[0].status, csFailed);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains(u"list.xml"_s)) << failures[0].toStdString();
    EXPECT_EQ(m_cache->SaveError(), failures[0]);
    Request(u"/list.xml"_s, true);
    ASSERT_TRUE(WaitForReports(2));
    EXPECT_EQ(failures.size(), 1);

    QDir().rmdir(m_folder + u"list.xml"_s);
    Request(u"/list.xml"_s, true);
    ASSERT_TRUE(WaitForReports(3));
    EXPECT_EQ(m_reports[2].status, csDownloaded);
    EXPECT_TRUE(m_cache->SaveError().isEmpty());
}

TEST_F(TFileCacheManagerTest, HasDiskSpaceAsksTheCacheVolume)
{
    EXPECT_TRUE(m_cache->HasDiskSpace(0));
    EXPECT_FALSE(m_cache->HasDiskSpace(qint64(1) << 60));
}

TEST_F(TFileCacheManagerTest, QuittingWithTwentyStalledDownloadsReturnsPromptlyAndReportsNothing)
{
    // The stall time-out is the program's own 50 s: only the stop can end these.
    m_cache = MakeManager(HttpLimits().stallTimeoutMs);
    m_server.ServeStalling(u"/stall"_s, 1000);
    for (int i = 0; i < 20; ++i)
        m_cache->RequestFile(Url(u"/stall?n=%1"_s.arg(i)), false, false, true, Recorder());
    ASSERT_TRUE(WaitUntil([&] { return m_server.StalledCount() == 20; }));
    QElapsedTimer timer;
    timer.start();
    m_cache.reset();
    const qint64 elapsed = timer.elapsed();
    RecordProperty("QuitMilliseconds", int(elapsed));
    // Far below the stall time-out; the benchmark measures the real figure.
    EXPECT_LT(elapsed, 10000);
    ProcessEventsFor(50);
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(TFileCacheManagerTest, ACallbackMayStopTheDownloadsOrFreeTheManager)
{
    m_server.ServeStalling(u"/stall"_s, 1000);
    m_server.Serve(u"/quick"_s, "quick");
    Request(u"/stall"_s);
    Request(u"/stall?2"_s);
    ASSERT_TRUE(WaitUntil([&] { return m_server.StalledCount() == 2; }));
    m_cache->RequestFile(Url(u"/quick"_s), false, false, true,
                         [&](const QString& fileName, const QString& url, TCacheStatus status) {
                             m_reports.push_back({fileName, url, status, true});
                             m_cache->StopDownloads();
                         });
    ASSERT_TRUE(WaitUntil([&] { return !m_reports.empty(); }));
    ProcessEventsFor(50);
    EXPECT_EQ(m_reports.size(), 1u);
    EXPECT_FALSE(m_cache->Busy());

    Request(u"/stall?3"_s);
    m_cache->RequestFile(Url(u"/quick"_s), false, false, true,
                         [&](const QString&, const QString&, TCacheStatus) { m_cache.reset(); });
    ASSERT_TRUE(WaitUntil([&] { return m_cache == nullptr; }));
    ProcessEventsFor(50);
    EXPECT_EQ(m_reports.size(), 1u);
}
