#include "stores/TThumbnailManager.h"
#include "pictures/MakeThumbnail.h"
#include "stores/NamePairIndexFile.h"
#include "support/TestSupport.h"

#include "common/Errors.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QImage Picture(QRgb colour)
{
    QImage page(400, 300, QImage::Format_RGB32);
    page.fill(colour);
    return MakeThumbnail(page);
}

class ThumbnailStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_folder = m_dir.path() + u'/';
        m_index = m_folder + u"Thumbnails.dat"_s;
    }

    // A fresh store over the folder, as at the program's start.
    TThumbnailManager Reopened() const
    {
        TThumbnailManager store;
        store.SetFolder(m_folder);
        store.LoadIndex(m_index);
        return store;
    }

    QStringList FilesOnDisk() const { return QDir(m_folder).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir m_dir;
    QString m_folder;
    QString m_index;
};

} // namespace

TEST_F(ThumbnailStore, StoredPictureIsFoundByItsAddressInAnySpelling)
{
    TThumbnailManager store = Reopened();
    const QImage red = Picture(qRgb(200, 0, 0));
    ASSERT_EQ(red.size(), QSize(kThumbnailWidth, kThumbnailHeight));

    store.Store(u"  HTTP://www.Example.com/  "_s, red);
    ASSERT_EQ(store.Items().size(), 1u);
    EXPECT_EQ(store.Items()[0].URL, u"http://www.example.com/"_s);
    EXPECT_EQ(store.Items()[0].FileName, u"Thumbnail0001.png"_s);
    EXPECT_TRUE(store.HasThumbnail(u"http://www.example.com/"_s));
    EXPECT_FALSE(store.HasThumbnail(u"http://www.example.org/"_s));

    // The same address again writes over the same file; the index stays as it was.
    const QImage blue = Picture(qRgb(0, 0, 200));
    store.Store(u"http://www.example.com/"_s, blue);
    EXPECT_EQ(store.Items().size(), 1u);
    EXPECT_EQ(FilesOnDisk(), (QStringList{u"Thumbnail0001.png"_s, u"Thumbnails.dat"_s}));

    QImage loaded;
    store.LoadThumbnail(u" http://WWW.EXAMPLE.COM/"_s, loaded);
    EXPECT_EQ(loaded.convertToFormat(QImage::Format_ARGB32), blue.convertToFormat(QImage::Format_ARGB32));

    // An address never stored leaves the image exactly as it was.
    QImage untouched = red;
    store.LoadThumbnail(u"http://never.stored/"_s, untouched);
    EXPECT_EQ(untouched, red);

    // An empty address stores nothing.
    store.Store(u"   "_s, red);
    EXPECT_EQ(store.Items().size(), 1u);
}

TEST_F(ThumbnailStore, IndexRoundTripsThroughTheFile)
{
    {
        TThumbnailManager store = Reopened();
        store.Store(u"http://a.example/"_s, Picture(qRgb(1, 2, 3)));
        store.Store(u"http://b.example/"_s, Picture(qRgb(4, 5, 6)));
        EXPECT_TRUE(store.Rename(u"http://A.example/"_s, u" http://C.example/ "_s));
        EXPECT_FALSE(store.Rename(u"http://a.example/"_s, u"http://d.example/"_s));
    }
    const TThumbnailManager store = Reopened();
    ASSERT_EQ(store.Items().size(), 2u);
    EXPECT_EQ(store.Items()[0].URL, u"http://c.example/"_s);
    EXPECT_EQ(store.Items()[0].FileName, u"Thumbnail0001.png"_s);
    EXPECT_EQ(store.Items()[1].URL, u"http://b.example/"_s);
    EXPECT_EQ(store.Items()[1].FileName, u"Thumbnail0002.png"_s);
    EXPECT_EQ(store.FileName(), m_index);
}

TEST_F(ThumbnailStore, RenameOntoAKnownAddressFindsTheFirstEntry)
{
    TThumbnailManager store = Reopened();
    store.Store(u"http://a.example/"_s, Picture(qRgb(200, 0, 0)));
    store.Store(u"http://b.example/"_s, Picture(qRgb(0, 200, 0)));
    ASSERT_TRUE(store.Rename(u"http://b.example/"_s, u"http://a.example/"_s));
    ASSERT_EQ(store.Items().size(), 2u);

    QImage loaded;
    store.LoadThumbnail(u"http://a.example/"_s, loaded);
    QImage first;
    ASSERT_TRUE(first.load(m_folder + u"Thumbnail0001.png"_s));
    EXPECT_EQ(loaded, first);
    EXPECT_FALSE(store.HasThumbnail(u"http://b.example/"_s));
}

TEST_F(ThumbnailStore, NewPictureTakesTheFirstFreeNameAndCleanupRemovesStrays)
{
    WriteFile(m_folder + u"Thumbnail0001.png"_s, "not indexed");
    WriteFile(m_folder + u"notes.txt"_s, "stray");
    TThumbnailManager store = Reopened();
    store.Store(u"http://a.example/"_s, Picture(qRgb(9, 9, 9)));
    ASSERT_EQ(store.Items().size(), 1u);
    EXPECT_EQ(store.Items()[0].FileName, u"Thumbnail0002.png"_s);

    // The index survives whatever the letter case it has on disk.
    ASSERT_TRUE(QFile::rename(m_index, m_folder + u"THUMBNAILS.DAT"_s));
    store.Cleanup();
    EXPECT_EQ(FilesOnDisk(), (QStringList{u"THUMBNAILS.DAT"_s, u"Thumbnail0002.png"_s}));
}

TEST_F(ThumbnailStore, VanishedPicturesShowTheDefaultAndAreDroppedAtLoad)
{
    TThumbnailManager store = Reopened();
    store.Store(u"http://a.example/"_s, Picture(qRgb(200, 0, 0)));
    store.Store(u"http://b.example/"_s, Picture(qRgb(0, 200, 0)));
    store.Store(u"http://c.example/"_s, Picture(qRgb(0, 0, 200)));
    ASSERT_TRUE(QFile::remove(m_folder + u"Thumbnail0002.png"_s));

    QImage loaded;
    store.LoadThumbnail(u"http://b.example/"_s, loaded);
    EXPECT_EQ(loaded.size(), QSize(kThumbnailWidth, kThumbnailHeight));
    EXPECT_TRUE(loaded.hasAlphaChannel());

    // Until the next load the entry still holds its name: a new address never takes it.
    store.Store(u"http://d.example/"_s, Picture(qRgb(9, 9, 9)));
    EXPECT_EQ(store.Items().back().FileName, u"Thumbnail0004.png"_s);

    const TThumbnailManager reopened = Reopened();
    ASSERT_EQ(reopened.Items().size(), 3u);
    EXPECT_EQ(reopened.Items()[0].URL, u"http://a.example/"_s);
    EXPECT_EQ(reopened.Items()[1].URL, u"http://c.example/"_s);
    EXPECT_EQ(reopened.Items()[2].URL, u"http://d.example/"_s);
}

TEST_F(ThumbnailStore, DamagedIndexLosesNothingOnDiskAndNamesOutsideTheFolderAreRefused)
{
    // Names that would reach outside the folder are not kept, even when such a file exists.
    WriteFile(m_dir.path() + u"/Thumbnail0001.png"_s, "picture");
    QTemporaryDir outside;
    WriteFile(outside.filePath(u"secret.png"_s), "secret");
    const QString escape = u"../"_s + QDir(outside.path()).dirName() + u"/secret.png"_s;
    const QByteArray data = NamePairIndexFile::Serialize({{u"http://a.example/"_s, u"Thumbnail0001.png"_s},
                                                          {u"http://evil.example/"_s, escape},
                                                          {u"http://dot.example/"_s, u"."_s}});
    for (qsizetype length = 0; length <= data.size(); ++length) {
        WriteFile(m_index, data.left(length));
        const TThumbnailManager store = Reopened();
        ASSERT_LE(store.Items().size(), 1u) << length;
    }
    const TThumbnailManager store = Reopened();
    store.Cleanup();
    EXPECT_TRUE(QFile::exists(outside.filePath(u"secret.png"_s)));
    ASSERT_EQ(store.Items().size(), 1u);
    EXPECT_EQ(store.Items()[0].FileName, u"Thumbnail0001.png"_s);
    EXPECT_EQ(FilesOnDisk(), (QStringList{u"Thumbnail0001.png"_s, u"Thumbnails.dat"_s}));
}

TEST_F(ThumbnailStore, FailedWritesRecordNothingForANewAddressAndReportForAKnownOne)
{
    TThumbnailManager store = Reopened();
    store.Store(u"http://a.example/"_s, Picture(qRgb(1, 1, 1)));
    ASSERT_EQ(store.Items().size(), 1u);

    // A folder that cannot be written: the new address gets no entry.
    store.SetFolder(m_folder + u"missing/"_s);
    store.Store(u"http://b.example/"_s, Picture(qRgb(2, 2, 2)));
    EXPECT_EQ(store.Items().size(), 1u);
    EXPECT_THROW(store.Store(u"http://a.example/"_s, Picture(qRgb(3, 3, 3))), EFileError);
    EXPECT_EQ(Reopened().Items().size(), 1u);
}

TEST_F(ThumbnailStore, LoadingRemovesTheTemporariesOfKilledSavesOnly)
{
    {
        TThumbnailManager store = Reopened();
        store.Store(u"http://a.example/"_s, Picture(qRgb(0, 0, 200)));
        store.SaveIndex();
    }
    WriteFile(m_index + u".saving-AbCdEf"_s, "half an index");
    WriteFile(m_folder + u"Thumbnail0002.png.saving-QwErTy"_s, "half a picture");
    WriteFile(m_folder + u"notes.txt"_s, "the user's");

    const TThumbnailManager store = Reopened();
    EXPECT_EQ(FilesOnDisk(), (QStringList{u"Thumbnail0001.png"_s, u"Thumbnails.dat"_s, u"notes.txt"_s}));
    EXPECT_TRUE(store.HasThumbnail(u"http://a.example/"_s));
}
