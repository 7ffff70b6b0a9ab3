#include "stores/TFavoriteIconManager.h"
#include "pictures/TExIcon.h"
#include "stores/NamePairIndexFile.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray SiteIcon()
{
    TExIcon icon;
    icon.LoadFromResourceName(QString::fromLatin1(TFavoriteIconManager::kDefaultIconResource));
    return icon.SaveToStream();
}

class FavoriteIconStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_folder = m_dir.path();
        m_index = m_folder + u"/FavIcons.dat"_s;
    }

    // A fresh store over the folder, as at the program's start.
    void Reopen(TFavoriteIconManager& store) const
    {
        store.SetFolder(m_folder);
        store.LoadIndex(m_index);
    }

    std::vector<NamePairIndexFile::Entry> ReopenedEntries() const
    {
        TFavoriteIconManager store;
        Reopen(store);
        return Entries(store);
    }

    static std::vector<NamePairIndexFile::Entry> Entries(const TFavoriteIconManager& store)
    {
        std::vector<NamePairIndexFile::Entry> entries;
        store.ForEachIcon(
            [&](const QString& name, const QString& fileName) { entries.emplace_back(name, fileName); });
        return entries;
    }

    QStringList FilesOnDisk() const { return QDir(m_folder).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir m_dir;
    QString m_folder;
    QString m_index;
};

} // namespace

TEST_F(FavoriteIconStore, SettingTheFolderWritesTheDefaultIconOnce)
{
    TFavoriteIconManager store;
    EXPECT_EQ(store.DefaultName(), QString());
    store.SetFolder(m_folder);
    EXPECT_EQ(store.Folder(), m_folder + u'/');
    ASSERT_EQ(Entries(store), (std::vector<NamePairIndexFile::Entry>{{u"Web"_s, u"default_favicon.ico"_s}}));

    TExIcon written;
    written.LoadFromFile(m_folder + u"/default_favicon.ico"_s);
    EXPECT_EQ(written.ImageCount(), 4);

    // An icon the user put there is never overwritten.
    WriteFile(m_folder + u"/default_favicon.ico"_s, "mine");
    TFavoriteIconManager again;
    again.SetFolder(m_folder + u'/');
    EXPECT_EQ(again.Folder(), m_folder + u'/');
    EXPECT_EQ(ReadFile(m_folder + u"/default_favicon.ico"_s), QByteArray("mine"));

    // A folder that does not exist gets no default entry (nor a file).
    TFavoriteIconManager missing;
    missing.SetFolder(m_folder + u"/missing"_s);
    EXPECT_TRUE(missing.Items().empty());
}

TEST_F(FavoriteIconStore, IndexRoundTripPutsTheDefaultFirstAndDropsVanishedIcons)
{
    WriteFile(m_folder + u"/example.ico"_s, "icon");
    WriteFile(m_folder + u"/other.ico"_s, "icon");
    WriteFile(m_index, NamePairIndexFile::Serialize({{u"example"_s, u"example.ico"_s},
                                                     {u"gone"_s, u"gone.ico"_s},
                                                     {u"other"_s, u"other.ico"_s}}));
    TFavoriteIconManager store;
    Reopen(store);
    const std::vector<NamePairIndexFile::Entry> expected = {
        {u"Web"_s, u"default_favicon.ico"_s}, {u"example"_s, u"example.ico"_s}, {u"other"_s, u"other.ico"_s}};
    EXPECT_EQ(Entries(store), expected);
    EXPECT_EQ(store.FileName(), m_index);

    store.SaveIndex();
    EXPECT_EQ(NamePairIndexFile::Parse(ReadFile(m_index)), expected);
    EXPECT_EQ(ReopenedEntries(), expected);

    EXPECT_EQ(store.FileNameOfName(u"EXAMPLE"_s, false), u"example.ico"_s);
    EXPECT_EQ(store.FileNameOfName(u"unknown"_s, false), QString());
    EXPECT_EQ(store.FileNameOfName(u"unknown"_s, true), u"default_favicon.ico"_s);
    EXPECT_EQ(store.NameOfFileName(u"Other.ICO"_s, false), u"other"_s);
    EXPECT_EQ(store.NameOfFileName(u"unknown.ico"_s, false), QString());
    EXPECT_EQ(store.NameOfFileName(u"unknown.ico"_s, true), u"Web"_s);
}

TEST_F(FavoriteIconStore, DamagedIndexLoadsWhatItCanAndAlwaysHasTheDefault)
{
    WriteFile(m_folder + u"/example.ico"_s, "icon");
    const QByteArray data = NamePairIndexFile::Serialize(
        {{u"example"_s, u"example.ico"_s}, {u"evil"_s, u"../FavIcons.dat"_s}, {u"dot"_s, u".."_s}});
    for (qsizetype length = 0; length <= data.size(); ++length) {
        WriteFile(m_index, data.left(length));
        TFavoriteIconManager store;
        Reopen(store);
        ASSERT_FALSE(store.Items().empty()) << length;
        EXPECT_EQ(store.DefaultName(), u"Web"_s) << length;
        EXPECT_LE(store.Items().size(), 2u) << length;
    }
    EXPECT_EQ(ReopenedEntries().size(), 2u);
}

TEST_F(FavoriteIconStore, CleanupKeepsTheIndexAndNamedIconsOnly)
{
    WriteFile(m_folder + u"/example.ico"_s, "icon");
    WriteFile(m_folder + u"/stray.ico"_s, "icon");
    WriteFile(m_index, NamePairIndexFile::Serialize({{u"example"_s, u"EXAMPLE.ICO"_s}}));
    ASSERT_TRUE(QFile::rename(m_index, m_folder + u"/favicons.DAT"_s));
    TFavoriteIconManager store;
    Reopen(store);
    store.Cleanup();
    EXPECT_EQ(FilesOnDisk(), (QStringList{u"default_favicon.ico"_s, u"favicons.DAT"_s}));
}

TEST_F(FavoriteIconStore, DownloadedIconIsStoredUnderTheSiteName)
{
    TestHttpServer server;
    const QByteArray icon = SiteIcon();
    server.Serve(u"/favicon.ico"_s, icon, "image/x-icon");
    TFavoriteIconManager store;
    Reopen(store);

    // The address's path and query lead to the root of its host.
    // An address without a name is told by host and port, not by a "0" every such site shares.
    const QString site = u"127.0.0.1-%1"_s.arg(server.Port());
    QString name;
    store.DownloadIcon(server.Url(u"/some/page.html?x=1"_s), name);
    EXPECT_EQ(name, site);
    EXPECT_EQ(server.RequestCount(u"/favicon.ico"_s), 1);
    EXPECT_EQ(ReadFile(m_folder + u'/' + site + u".ico"_s), icon);
    EXPECT_EQ(store.FileNameOfName(site, false), site + u".ico"_s);

    // A second address of the same site fetches nothing.
    store.DownloadIcon(server.Url(u"/other"_s), name);
    EXPECT_EQ(name, site);
    EXPECT_EQ(server.RequestCount(u"/favicon.ico"_s), 1);
    EXPECT_EQ(store.Items().size(), 2u);

    // The index is the caller's to write.
    EXPECT_FALSE(QFile::exists(m_index));
    store.SaveIndex();
    EXPECT_EQ(ReopenedEntries(), Entries(store));
}

TEST_F(FavoriteIconStore, PicturesAndIconsThePageDeclaresBecomeStoredIcons)
{
    const auto picture = [](const char* format) {
        QImage image(24, 24, QImage::Format_ARGB32);
        image.fill(QColor(200, 40, 40));
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    };
    const auto storedIcon = [&](const QString& name) {
        TExIcon icon;
        icon.LoadFromFile(m_folder + u'/' + name + u".ico"_s);
        return icon;
    };
    TFavoriteIconManager store;
    Reopen(store);

    // A PNG served as /favicon.ico: an icon of the sizes tiles, menus and launchers draw.
    TestHttpServer png;
    png.Serve(u"/favicon.ico"_s, picture("PNG"), "image/png");
    QString name;
    store.DownloadIcon(png.Url(u"/"_s), name);
    ASSERT_EQ(name, u"127.0.0.1-%1"_s.arg(png.Port()));
    TExIcon icon = storedIcon(name);
    ASSERT_EQ(icon.ImageCount(), 3);
    EXPECT_EQ(icon.Width(), 16);
    icon.SetCurrentIndex(2);
    EXPECT_EQ(icon.Width(), 48);

    // No /favicon.ico: the icon the page names (a JPEG here, relative to the page).
    TestHttpServer declared;
    declared.Serve(u"/app/"_s,
                   "<html><head><link rel=stylesheet href=/s.css>"
                   "<LINK REL='shortcut icon' HREF='pics/mark.jpg'></head><body></body></html>",
                   "text/html");
    declared.Serve(u"/app/pics/mark.jpg"_s, picture("JPEG"), "image/jpeg");
    store.DownloadIcon(declared.Url(u"/app/"_s), name);
    ASSERT_EQ(name, u"127.0.0.1-%1"_s.arg(declared.Port()));
    EXPECT_EQ(declared.RequestCount(u"/app/pics/mark.jpg"_s), 1);
    EXPECT_EQ(storedIcon(name).ImageCount(), 3);

    // A page that names no icon, or one that is no picture, leaves the default.
    TestHttpServer none;
    none.Serve(u"/"_s, "<html><head><link rel=icon href='/bad.png'></head></html>", "text/html");
    none.Serve(u"/bad.png"_s, "\x89PNG\r\n\x1a\n but not really", "image/png");
    store.DownloadIcon(none.Url(u"/"_s), name);
    EXPECT_EQ(name, u"Web"_s);

    EXPECT_EQ(DeclaredIconAddress("<link href=\"/i.png\" rel=\"icon\">", u"http://a.b/x/y"_s),
              u"http://a.b/i.png"_s);
    EXPECT_EQ(DeclaredIconAddress("<link rel=icon href='javascript:alert(1)'>", u"http://a.b/"_s), QString());
    EXPECT_EQ(DeclaredIconAddress("<link rel=iconic href=/i.png>", u"http://a.b/"_s), QString());
}

TEST_F(FavoriteIconStore, APagesIconFromTheEngineIsStoredAsAFetchedOneIs)
{
    TFavoriteIconManager store;
    Reopen(store);
    QImage page(32, 32, QImage::Format_ARGB32);
    page.fill(QColor(20, 120, 220));
    const QString fileName = store.StorePageIcon(u"http://127.0.0.1:8123/mail/"_s, page);
    ASSERT_EQ(fileName, u"127.0.0.1-8123.ico"_s);
    TExIcon icon;
    icon.LoadFromFile(m_folder + u'/' + fileName);
    ASSERT_EQ(icon.ImageCount(), 3);
    icon.SetCurrentIndex(2);
    EXPECT_EQ(icon.Width(), 48);
    EXPECT_EQ(QColor(icon.Handle().pixel(24, 24)), QColor(20, 120, 220));

    // A later icon of the page replaces it under the same entry; the index keeps it.
    page.fill(QColor(220, 20, 20));
    EXPECT_EQ(store.StorePageIcon(u"http://127.0.0.1:8123/other"_s, page), fileName);
    store.SaveIndex();
    const auto entries = ReopenedEntries();
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [&](const NamePairIndexFile::Entry& entry) { return entry.second == fileName; }),
              1);
    icon.LoadFromFile(m_folder + u'/' + fileName);
    EXPECT_EQ(QColor(icon.Handle().pixel(8, 8)), QColor(220, 20, 20));

    // Nothing to store: no picture, or no site.
    EXPECT_TRUE(store.StorePageIcon(u"http://127.0.0.1:8124/"_s, QImage()).isEmpty());
    EXPECT_TRUE(store.StorePageIcon(QString(), page).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(m_folder + u"/127.0.0.1-8124.ico"_s));
}

TEST_F(FavoriteIconStore, AnythingButAnIconLeavesTheDefault)
{
    TestHttpServer server;
    server.ServeRedirect(u"/favicon.ico"_s, server.Url(u"/elsewhere"_s));
    TFavoriteIconManager store;
    Reopen(store);
    const auto expectDefault = [&](const QString& url) {
        QString name = u"previous"_s;
        store.DownloadIcon(url, name);
        EXPECT_EQ(name, u"Web"_s) << url.toStdString();
        EXPECT_EQ(store.Items().size(), 1u) << url.toStdString();
    };
    expectDefault(server.Url(u"/"_s));
    EXPECT_EQ(server.RequestCount(u"/favicon.ico"_s), 1);

    TestHttpServer notFound;
    expectDefault(notFound.Url(u"/"_s));
    EXPECT_EQ(notFound.RequestCount(u"/favicon.ico"_s), 1);

    TestHttpServer cut;
    cut.ServeCutShort(u"/favicon.ico"_s, SiteIcon().left(100), 5000);
    expectDefault(cut.Url(u"/"_s));

    TestHttpServer empty;
    empty.Serve(u"/favicon.ico"_s, QByteArray());
    expectDefault(empty.Url(u"/"_s));

    expectDefault(u"http://127.0.0.1:%1/"_s.arg(TestHttpServer::UnusedPort()));

    // Site names that cannot be file names fetch nothing.
    expectDefault(QString());
    expectDefault(u"http://./"_s);
    expectDefault(u"http://a..b/"_s);
    expectDefault(u"http://a.\x01.b/"_s);
    EXPECT_EQ(FilesOnDisk(), QStringList{u"default_favicon.ico"_s});
}

TEST_F(FavoriteIconStore, WaitingForAnIconKeepsTheEventsGoingAndCanBeStopped)
{
    TestHttpServer server;
    server.ServeStalling(u"/favicon.ico"_s, 5000, SiteIcon().left(10));
    TFavoriteIconManager store;
    Reopen(store);
    // Long enough that only the stop below ends the transfer.
    store.Limits.stallTimeoutMs = 60000;

    bool timerRan = false;
    QTimer::singleShot(50, [&] {
        timerRan = true;
        store.StopDownload();
    });
    QString name;
    store.DownloadIcon(server.Url(u"/"_s), name);
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(name, u"Web"_s);
    EXPECT_EQ(store.Items().size(), 1u);
    server.ReleaseStalls();
}
