#include "sites/SiteBackup.h"
#include "common/Errors.h"
#include "sites/SitesDataFile.h"
#include "sites/TMorvalenBaseClass.h"
#include "stores/NamePairIndexFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <list>

#include <gtest/gtest.h>
#include <zip.h>

#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Every file and folder under root with its bytes: two folders are the same when these are.
QMap<QString, QByteArray> Snapshot(const QString& root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QFile file(info.filePath());
        files.insert(info.filePath().mid(root.size()),
                     info.isDir() ? QByteArray("<folder>")
                                  : (file.open(QIODevice::ReadOnly), file.readAll()));
    }
    return files;
}

void Put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

struct Site
{
    QString id, title, url, icon;
};

// A data folder the way the program leaves it: sites, their settings, icons and thumbnails.
void MakeDataFolder(const QString& root, const std::vector<Site>& sites)
{
    std::vector<std::unique_ptr<TMorvalenBaseClass>> records;
    std::vector<NamePairIndexFile::Entry> icons, thumbnails;
    QByteArray settings;
    for (const Site& site : sites) {
        auto record = std::make_unique<TMorvalenBaseClass>();
        record->SetElementId(site.id);
        record->SetTitle(site.title);
        record->SetURL(site.url);
        record->SetFavIconFileName(site.icon);
        records.push_back(std::move(record));
        icons.emplace_back(site.icon, site.icon + u".ico"_s);
        Put(root + u"FavIcons/"_s + site.icon + u".ico"_s, "icon of " + site.title.toUtf8());
        thumbnails.emplace_back(site.url, site.id + u".png"_s);
        Put(root + u"Thumbnails/"_s + site.id + u".png"_s, "thumbnail of " + site.title.toUtf8());
        settings += "[" + site.id.toUtf8() + "]\nZoom=1.5\nUserAgent=" + site.title.toUtf8() + "\n\n";
    }
    SitesDataFile::Save(root + u"MorvalenDesktop.dat"_s, records);
    Put(root + u"FavIcons/FavIcons.dat"_s, NamePairIndexFile::Serialize(icons));
    Put(root + u"Thumbnails/Thumbnails.dat"_s, NamePairIndexFile::Serialize(thumbnails));
    Put(root + u"SiteSettings.ini"_s, settings);
    Put(root + u"MorvalenDesktop.cfg"_s, "[View]\nTileOrder=" + QByteArray::number(int(sites.size())) + "\n");
    Put(root + u"WebEngine/Cookies"_s, "signed in");
}

QStringList Titles(const QString& root)
{
    QFile file(root + u"MorvalenDesktop.dat"_s);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList titles;
    for (const auto& record : SitesDataFile::Parse(file.readAll()).records)
        titles << record->ElementId() + u'=' + record->Title();
    return titles;
}

// Writes an archive entry by entry, as a careless or hostile program might.
class ZipWriter
{
public:
    explicit ZipWriter(const QString& path)
    {
        int error = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    }
    void Add(const char* name, const QByteArray& bytes, mode_t mode = S_IFREG | 0644)
    {
        m_buffers.push_back(bytes);
        zip_source_t* source =
            zip_source_buffer(m_zip, m_buffers.back().constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index = zip_file_add(m_zip, name, source, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(index, 0) << name;
        zip_file_set_external_attributes(m_zip, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX,
                                         zip_uint32_t(mode) << 16);
    }
    void Close() { ASSERT_EQ(zip_close(m_zip), 0); }

private:
    zip_t* m_zip = nullptr;
    std::list<QByteArray> m_buffers;
};

class SiteBackupTest : public ::testing::Test
{
protected:
    QString Path(const QString& name) const { return m_dir.path() + u'/' + name; }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SiteBackupTest, RestoredIntoAnEmptyFolderGivesTheSameFilesByteForByte)
{
    const QString source = Path(u"source/"_s);
    MakeDataFolder(source, {{u"A1"_s, u"Mail"_s, u"http://127.0.0.1/mail"_s, u"mail"_s},
                            {u"B2"_s, u"Chat"_s, u"http://127.0.0.1/chat"_s, u"chat"_s}});
    Put(source + u"Thumbnails/Thumbnails.dat.saving-abc123"_s, "left by a killed save");
    QMap<QString, QByteArray> expected = Snapshot(source);
    expected.remove(u"Thumbnails/Thumbnails.dat.saving-abc123"_s);

    SiteBackup::Write(source, Path(u"sites.zip"_s), true);
    const SiteBackup::RestoreResult restored = SiteBackup::Restore(
        Path(u"copy/"_s), Path(u"sites.zip"_s), [](const TMorvalenBaseClass&) { return true; });
    EXPECT_EQ(restored.added, 2);
    EXPECT_EQ(Snapshot(Path(u"copy/"_s)), expected);

    // Without the sign-ins the cookies stay behind; writing over an old archive replaces it.
    SiteBackup::Write(source, Path(u"sites.zip"_s), false);
    SiteBackup::Restore(Path(u"copy2/"_s), Path(u"sites.zip"_s), {});
    expected.remove(u"WebEngine"_s);
    expected.remove(u"WebEngine/Cookies"_s);
    EXPECT_EQ(Snapshot(Path(u"copy2/"_s)), expected);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{u"sites.zip"_s});

    EXPECT_THROW(SiteBackup::Write(Path(u"nothing/"_s), Path(u"none.zip"_s), false), EFileError);
    EXPECT_FALSE(QFileInfo::exists(Path(u"none.zip"_s)));
}

TEST_F(SiteBackupTest, AddsMissingSitesAndReplacesOnlyWhenAsked)
{
    const QString source = Path(u"source/"_s);
    MakeDataFolder(source, {{u"A1"_s, u"Mail"_s, u"http://127.0.0.1/mail"_s, u"mail"_s},
                            {u"B2"_s, u"Chat"_s, u"http://127.0.0.1/chat"_s, u"chat"_s}});
    SiteBackup::Write(source, Path(u"sites.zip"_s), false);

    const QString target = Path(u"target/"_s);
    // The same icon file name for another site: the restored one must not overwrite it.
    MakeDataFolder(target, {{u"A1"_s, u"My mail"_s, u"http://127.0.0.1/mail"_s, u"mail"_s},
                            {u"C3"_s, u"News"_s, u"http://127.0.0.1/news"_s, u"news"_s}});
    Put(target + u"FavIcons/chat.ico"_s, "the target's own file");
    const QByteArray config = Snapshot(target).value(u"MorvalenDesktop.cfg"_s);

    QStringList asked;
    SiteBackup::RestoreResult result =
        SiteBackup::Restore(target, Path(u"sites.zip"_s), [&](const TMorvalenBaseClass& r) {
            asked << r.ElementId();
            return false;
        });
    EXPECT_EQ(asked, QStringList{u"A1"_s});
    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(result.kept, 1);
    EXPECT_EQ(Titles(target), (QStringList{u"A1=My mail"_s, u"C3=News"_s, u"B2=Chat"_s}));
    const QMap<QString, QByteArray> files = Snapshot(target);
    EXPECT_EQ(files.value(u"FavIcons/chat.ico"_s), "the target's own file");
    EXPECT_EQ(files.value(u"FavIcons/mail.ico"_s), "icon of My mail");
    EXPECT_EQ(files.value(u"MorvalenDesktop.cfg"_s), config);
    const auto icons = NamePairIndexFile::Parse(files.value(u"FavIcons/FavIcons.dat"_s));
    const auto chat =
        std::find_if(icons.begin(), icons.end(), [](const auto& e) { return e.first == u"chat"_s; });
    ASSERT_NE(chat, icons.end());
    EXPECT_EQ(files.value(u"FavIcons/"_s + chat->second), "icon of Chat");
    const auto thumbnails = NamePairIndexFile::Parse(files.value(u"Thumbnails/Thumbnails.dat"_s));
    EXPECT_EQ(thumbnails.size(), 3u);
    EXPECT_EQ(files.value(u"Thumbnails/B2.png"_s), "thumbnail of Chat");
    EXPECT_TRUE(files.value(u"SiteSettings.ini"_s).contains("UserAgent=Chat"));
    EXPECT_TRUE(files.value(u"SiteSettings.ini"_s).contains("UserAgent=My mail"));

    result =
        SiteBackup::Restore(target, Path(u"sites.zip"_s), [](const TMorvalenBaseClass&) { return true; });
    EXPECT_EQ(result.replaced, 2);
    EXPECT_EQ(Titles(target), (QStringList{u"A1=Mail"_s, u"C3=News"_s, u"B2=Chat"_s}));
    const QMap<QString, QByteArray> replaced = Snapshot(target);
    EXPECT_EQ(replaced.value(u"FavIcons/mail.ico"_s), "icon of Mail");
    EXPECT_FALSE(replaced.value(u"SiteSettings.ini"_s).contains("UserAgent=My mail"));
    EXPECT_TRUE(replaced.value(u"SiteSettings.ini"_s).contains("UserAgent=News"));
}

TEST_F(SiteBackupTest, RefusesHostileArchivesAndChangesNothing)
{
    const QString target = Path(u"target/"_s);
    MakeDataFolder(target, {{u"A1"_s, u"Mail"_s, u"http://127.0.0.1/mail"_s, u"mail"_s}});
    const QMap<QString, QByteArray> before = Snapshot(target);
    QByteArray dataFile = before.value(u"MorvalenDesktop.dat"_s);
    // A sound second site before the bad entry, so a restore that went ahead would show.
    {
        std::vector<std::unique_ptr<TMorvalenBaseClass>> records;
        records.push_back(std::make_unique<TMorvalenBaseClass>());
        records.back()->SetElementId(u"Z9"_s);
        dataFile = SitesDataFile::Serialize(records);
    }
    const SiteBackup::Limits small{5, 1000, 1500};
    struct Case
    {
        const char* what;
        std::function<void(ZipWriter&)> entries;
        const char* message;
    };
    const std::vector<Case> cases{
        {"dot-dot", [](ZipWriter& z) { z.Add("FavIcons/../../escaped", "x"); }, "is not a file of a backup"},
        {"absolute", [](ZipWriter& z) { z.Add("/tmp/escaped", "x"); }, "is not a file of a backup"},
        {"unknown", [](ZipWriter& z) { z.Add(".bashrc", "x"); }, "is not a file of a backup"},
        {"link", [](ZipWriter& z) { z.Add("FavIcons/mail.ico", "/etc/passwd", S_IFLNK | 0777); }, "link"},
        {"huge entry", [](ZipWriter& z) { z.Add("Thumbnails/big.png", QByteArray(1001, 'x')); },
         "larger than 1000"},
        {"huge in all",
         [](ZipWriter& z) {
             z.Add("Thumbnails/a.png", QByteArray(800, 'x'));
             z.Add("Thumbnails/b.png", QByteArray(800, 'x'));
         },
         "together"},
        {"too many",
         [](ZipWriter& z) {
             for (const char* name : {"FavIcons/1", "FavIcons/2", "FavIcons/3", "FavIcons/4", "FavIcons/5"})
                 z.Add(name, "x");
         },
         "more than 5 entries"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString archive = Path(QString::fromLatin1(c.what) + u".zip"_s);
        ZipWriter zip(archive);
        zip.Add("MorvalenDesktop.dat", dataFile);
        c.entries(zip);
        zip.Close();
        try {
            SiteBackup::Restore(
                target, archive, [](const TMorvalenBaseClass&) { return true; }, small);
            ADD_FAILURE() << "restored";
        } catch (const EFileError& error) {
            EXPECT_TRUE(QString::fromUtf8(error.what()).contains(QString::fromLatin1(c.message)))
                << error.what();
        }
        EXPECT_EQ(Snapshot(target), before);
    }

    // An entry that claims to be small inflates to more: the bytes are counted, not the claim.
    const QString lying = Path(u"lying.zip"_s);
    {
        ZipWriter zip(lying);
        zip.Add("MorvalenDesktop.dat", dataFile);
        zip.Add("Thumbnails/big.png", QByteArray(5000, 'x'));
        zip.Close();
    }
    QFile file(lying);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    for (const QByteArray& mark : {QByteArray("PK\x03\x04"), QByteArray("PK\x01\x02")}) {
        const qsizetype sizeOffset = mark.at(2) == 3 ? 22 : 24;
        for (qsizetype at = bytes.indexOf(mark); at >= 0; at = bytes.indexOf(mark, at + 4))
            if (bytes.mid(at + (mark.at(2) == 3 ? 30 : 46), 18) == "Thumbnails/big.png")
                bytes.replace(at + sizeOffset, 4, QByteArray("\x0a\x00\x00\x00", 4));
    }
    file.seek(0);
    file.write(bytes);
    file.close();
    EXPECT_THROW(SiteBackup::Restore(target, lying, {}, small), EFileError);
    EXPECT_EQ(Snapshot(target), before);

    // Cut short, or no zip at all.
    Put(Path(u"cut.zip"_s), bytes.left(bytes.size() / 2));
    EXPECT_THROW(SiteBackup::Restore(target, Path(u"cut.zip"_s), {}), EFileError);
    EXPECT_THROW(SiteBackup::Restore(target, Path(u"missing.zip"_s), {}), EFileError);
    EXPECT_EQ(Snapshot(target), before);

    // A new data folder that a refused archive would have created is not left behind.
    EXPECT_THROW(SiteBackup::Restore(Path(u"new/"_s), Path(u"cut.zip"_s), {}), EFileError);
    EXPECT_FALSE(QFileInfo::exists(Path(u"new"_s)));
}
