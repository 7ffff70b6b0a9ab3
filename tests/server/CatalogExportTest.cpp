#include "CatalogServerFixture.h"
#include "HttpCaching.h"
#include "ServerOptions.h"

#include "catalog/TRemoteVersion.h"
#include "catalog/TWebCategoryClass.h"
#include "catalog/TWebCategoryList.h"
#include "catalog/TWebCategoryNode.h"
#include "common/Errors.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QSet>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class CatalogExport : public CatalogServer
{
protected:
    QString ExportFolder() const { return m_dir.filePath(u"site/export"_s); }

    ServerRun Export(const QString& folder)
    {
        EXPECT_TRUE(QDir().mkpath(m_dir.filePath(u"site"_s)));
        return RunServerToEnd({u"--catalog"_s, m_dir.path(), u"--db"_s, Database(), u"--list-size"_s, u"3"_s,
                               u"--export"_s, folder, u"--base-url"_s, m_server->BaseURL()});
    }

    // Every file below folder by its request path.
    static QSet<QByteArray> Files(const QString& folder)
    {
        QSet<QByteArray> files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.insert(it.next().mid(folder.size()).toUtf8());
        return files;
    }

    // The paths a client reaches from the category list and the four lists, as the program
    // reads them, and the pages.
    QSet<QByteArray> Walk(const QString& folder)
    {
        const QByteArray base = m_server->BaseURL().toUtf8();
        QSet<QByteArray> paths{"/xmlcache/categorylist.xml", "/index.html", "/help/index.html",
                               "/download/index.html", "/download/FireFox"};
        TWebCategoryTree tree;
        tree.LoadFromFile(folder + u"/xmlcache/categorylist.xml"_s);
        QByteArrayList lists{"/xmlcache/whatsnew.xml", "/xmlcache/recommended.xml", "/xmlcache/popular.xml",
                             "/xmlcache/highestrated.xml"};
        for (int i = 0; i < tree.Count(); ++i) {
            lists.append("/xmlcache/category" + QByteArray::number(tree.Nodes(i).Category().ID()) + ".xml");
            for (int j = 0; j < tree.Nodes(i).Children().Count(); ++j)
                lists.append("/xmlcache/category" +
                             QByteArray::number(tree.Nodes(i).Children().Items(j).ID()) + ".xml");
        }
        TWebApplicationList applications;
        applications.OnGetCategory = [&](TWebApplicationList&, int32_t id) {
            return tree.FindById(id);
        };
        for (const QByteArray& list : lists) {
            paths.insert(list);
            TWebApplicationList::Applications read;
            applications.LoadFromFile(folder + QString::fromUtf8(list), &read);
            for (const TWebApplicationClass* application : read) {
                for (const QString& url : {application->ThumbnailURL(), application->ScreenshotURL()}) {
                    EXPECT_TRUE(url.toUtf8().startsWith(base)) << url.toStdString();
                    paths.insert(url.toUtf8().mid(base.size()));
                }
            }
        }
        TRemoteVersion version;
        version.LoadFromFile(folder + u"/download/version.xml"_s);
        EXPECT_TRUE(version.Found());
        paths.insert("/download/version.xml");
        paths.insert(version.DownloadURL().toUtf8().mid(base.size()) + "index.html");
        return paths;
    }
};

TEST_F(CatalogExport, WritesTheBytesTheServerAnswersForEveryPath)
{
    // Votes go into the lists: the export holds them as the server does.
    ASSERT_EQ(Get("/link/update.php?imgId=3&rating=1").status, 200);
    ASSERT_EQ(Get("/link/update.php?imgId=4&rating=5", "GET", {}, "127.0.0.2").status, 200);
    const ServerRun run = Export(ExportFolder());
    ASSERT_EQ(run.exitCode, 0) << run.errorOutput.toStdString();

    const QSet<QByteArray> files = Files(ExportFolder());
    // 4 pages and the version file, 4 lists, the category list, 6 categories, 2 pictures of 5.
    EXPECT_EQ(files.size(), 5 + 4 + 1 + 6 + 10);
    EXPECT_EQ(files, Walk(ExportFolder()));
    for (const QByteArray& path : files) {
        SCOPED_TRACE(path.toStdString());
        const HttpAnswer answer = Get(path);
        ASSERT_EQ(answer.status, 200);
        QFile file(ExportFolder() + QString::fromUtf8(path));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), answer.body);
        // A web server's Last-Modified for the file is the catalog server's.
        EXPECT_EQ(HttpCaching::FormatDate(QFileInfo(file).lastModified().toSecsSinceEpoch()),
                  answer.headers.value("last-modified"));
        EXPECT_TRUE(QFileInfo(file).permissions().testFlag(QFileDevice::ReadOther));
    }
    // The web server's user may read the folders too.
    EXPECT_TRUE(QFileInfo(ExportFolder()).permissions().testFlag(QFileDevice::ExeOther));
}

TEST_F(CatalogExport, ReplacesAnEarlierExportWholeAndRefusesAnyOtherFolder)
{
    ASSERT_EQ(Export(ExportFolder()).exitCode, 0);
    const QString highest = ExportFolder() + u"/xmlcache/highestrated.xml"_s;
    const QByteArray before = ReadFile(highest);
    ASSERT_EQ(Get("/link/update.php?imgId=3&rating=1").status, 200);
    ASSERT_EQ(Export(ExportFolder()).exitCode, 0);
    EXPECT_NE(ReadFile(highest), before);
    EXPECT_EQ(ReadFile(highest), Get("/xmlcache/highestrated.xml").body);
    // Nothing is left beside it.
    EXPECT_EQ(
        QDir(m_dir.filePath(u"site"_s)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{u"export"_s});

    // A folder that holds anything else is no export: refused, untouched.
    const QString other = m_dir.filePath(u"site/notes"_s);
    ASSERT_TRUE(QDir().mkpath(other + u"/images"_s));
    WriteFile(other + u"/todo.txt"_s, "keep me");
    const ServerRun refused = Export(other);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.errorOutput.contains(u"todo.txt"_s)) << refused.errorOutput.toStdString();
    EXPECT_EQ(Files(other), (QSet<QByteArray>{"/todo.txt"}));
    EXPECT_EQ(ReadFile(other + u"/todo.txt"_s), "keep me");
    // A file in the folder's place, a link or a missing parent: refused too.
    WriteFile(m_dir.filePath(u"site/file"_s), "a file");
    EXPECT_EQ(Export(m_dir.filePath(u"site/file"_s)).exitCode, 1);
    EXPECT_EQ(ReadFile(m_dir.filePath(u"site/file"_s)), "a file");
    ASSERT_TRUE(QFile::link(ExportFolder(), m_dir.filePath(u"site/link"_s)));
    EXPECT_EQ(Export(m_dir.filePath(u"site/link"_s)).exitCode, 1);
    EXPECT_EQ(Export(m_dir.filePath(u"none/export"_s)).exitCode, 1);
    EXPECT_TRUE(QFileInfo(ExportFolder() + u"/index.html"_s).isFile());
}

TEST(ServerOptions, ValuesAreReadAndBadOnesRefusedWithTheOptionNamed)
{
    const ServerOptions options = ServerOptions::Parse(
        {u"--database=postgresql://catalog@db.example.org/catalog"_s, u"--trusted-proxy"_s, u"10.0.0.0/8"_s,
         u"--trusted-proxy=::1"_s, u"--max-age"_s, u"0"_s, u"--base-url"_s, u"https://catalog.example.org"_s,
         u"--export"_s, u"/srv/catalog"_s});
    EXPECT_EQ(options.databaseKind, ServerOptions::DatabaseKind::Postgres);
    EXPECT_EQ(options.database, u"postgresql://catalog@db.example.org/catalog"_s);
    EXPECT_EQ(options.trustedProxies, (QStringList{u"10.0.0.0/8"_s, u"::1"_s}));
    EXPECT_EQ(options.maxAge, 0);
    EXPECT_EQ(options.baseURL, u"https://catalog.example.org"_s);
    EXPECT_EQ(options.exportFolder, u"/srv/catalog"_s);
    EXPECT_EQ(ServerOptions::Parse({u"--database"_s, u"sqlite::memory:"_s}).database, u":memory:"_s);
    const ServerOptions alias = ServerOptions::Parse({u"--db"_s, u"/var/lib/ratings.sqlite"_s});
    EXPECT_EQ(alias.databaseKind, ServerOptions::DatabaseKind::Sqlite);
    EXPECT_EQ(alias.database, u"/var/lib/ratings.sqlite"_s);
    EXPECT_EQ(ServerOptions::Parse({}).maxAge, 300);

    const struct
    {
        QStringList arguments;
        QString named;
    } bad[] = {
        {{u"--database"_s, u"mysql://db/catalog"_s}, u"--database"_s},
        {{u"--database"_s, u"sqlite:"_s}, u"--database"_s},
        {{u"--db"_s, u"a"_s, u"--database"_s, u"sqlite:b"_s}, u"--db"_s},
        {{u"--trusted-proxy"_s, u"proxy.example.org"_s}, u"--trusted-proxy"_s},
        {{u"--max-age"_s, u"-1"_s}, u"--max-age"_s},
        {{u"--max-age"_s, u"99999999999"_s}, u"--max-age"_s},
        {{u"--base-url"_s, u"ftp://catalog.example.org"_s}, u"--base-url"_s},
        {{u"--base-url"_s, u"http://catalog.example.org/path"_s}, u"--base-url"_s},
        {{u"--base-url"_s, u"http://evil\"><x"_s}, u"--base-url"_s},
        {{u"--export"_s, u"/srv/catalog"_s}, u"--base-url"_s},
        {{u"--export"_s}, u"--export"_s},
    };
    for (const auto& [arguments, named] : bad) {
        try {
            ServerOptions::Parse(arguments);
            ADD_FAILURE() << arguments.join(u' ').toStdString() << " was taken";
        } catch (const EMorvalenError& error) {
            EXPECT_TRUE(error.Message().contains(named)) << error.what();
        }
    }
}

} // namespace
