#include "stores/NamePairIndexFile.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const std::vector<NamePairIndexFile::Entry> kEntries = {
    {u"http://www.example.com/"_s, u"Thumbnail0001.png"_s},
    {u"http://ü.example/"_s, u"ü.ico"_s},
    {QString(), QString()},
};

} // namespace

TEST(NamePairIndexFile, RoundTripKeepsEveryEntryInOrder)
{
    const QByteArray data = NamePairIndexFile::Serialize(kEntries);
    // Count, then each string as its byte count and its UTF-8 bytes.
    EXPECT_EQ(data.left(8), QByteArray::fromHex("03000000"
                                                "17000000"));
    EXPECT_EQ(NamePairIndexFile::Parse(data), kEntries);
    EXPECT_TRUE(NamePairIndexFile::Parse(NamePairIndexFile::Serialize({})).empty());
}

TEST(NamePairIndexFile, DamagedFilesGiveTheEntriesBeforeTheDamage)
{
    const QByteArray data = NamePairIndexFile::Serialize(kEntries);
    // Every prefix: only whole entries, always a prefix of the real list.
    for (qsizetype length = 0; length < data.size(); ++length) {
        const std::vector<NamePairIndexFile::Entry> entries = NamePairIndexFile::Parse(data.left(length));
        ASSERT_LT(entries.size(), kEntries.size()) << length;
        for (size_t i = 0; i < entries.size(); ++i)
            EXPECT_EQ(entries[i], kEntries[i]) << length;
    }

    // A count far beyond the bytes present, and a negative one.
    QByteArray huge = data;
    huge.replace(0, 4, QByteArray::fromHex("ffffff7f"));
    EXPECT_EQ(NamePairIndexFile::Parse(huge), kEntries);
    QByteArray negative = data;
    negative.replace(0, 4, QByteArray::fromHex("ffffffff"));
    EXPECT_TRUE(NamePairIndexFile::Parse(negative).empty());

    // A string length beyond the end ends the list before that entry.
    QByteArray longName = NamePairIndexFile::Serialize({kEntries[0]});
    longName.append(QByteArray::fromHex("00000010"));
    longName.replace(0, 4, QByteArray::fromHex("02000000"));
    EXPECT_EQ(NamePairIndexFile::Parse(longName).size(), 1u);

    QRandomGenerator random(4711);
    for (int round = 0; round < 500; ++round) {
        QByteArray noise(qsizetype(random.bounded(64)), '\0');
        for (char& byte : noise)
            byte = char(random.bounded(256));
        (void)NamePairIndexFile::Parse(noise);
    }
}

TEST(NamePairIndexFile, OnlyPlainNamesStandForFilesInTheFolder)
{
    EXPECT_TRUE(NamePairIndexFile::IsPlainFileName(u"example.ico"_s));
    EXPECT_TRUE(NamePairIndexFile::IsPlainFileName(u"127.0.0.1:8080.ico"_s));
    EXPECT_TRUE(NamePairIndexFile::IsPlainFileName(u"..hidden"_s));
    for (const QString& bad : {QString(), u"."_s, u".."_s, u"../Thumbnail0001.png"_s, u"a/b"_s, u"a\\b"_s,
                               u"a\nb"_s, u"a\tb"_s, QString(300, u'x')})
        EXPECT_FALSE(NamePairIndexFile::IsPlainFileName(bad)) << bad.toStdString();
}

TEST(NamePairIndexFile, DeleteFilesNotNamedKeepsNamedFilesInAnyLetterCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteFile(dir.filePath(u"THUMBNAILS.DAT"_s), "index");
    WriteFile(dir.filePath(u"Thumbnail0001.png"_s), "kept");
    WriteFile(dir.filePath(u"stray.png"_s), "stray");
    WriteFile(dir.filePath(u".hidden"_s), "stray");
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"sub"_s));
    WriteFile(dir.filePath(u"sub/inner.png"_s), "inner");

    NamePairIndexFile::DeleteFilesNotNamed(dir.path(), {u"Thumbnails.dat"_s, u"thumbnail0001.PNG"_s});

    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{u"THUMBNAILS.DAT"_s, u"Thumbnail0001.png"_s}));
    EXPECT_TRUE(QFile::exists(dir.filePath(u"sub/inner.png"_s)));

    // An unset folder never means the working folder.
    NamePairIndexFile::DeleteFilesNotNamed(QString(), {});
    EXPECT_TRUE(QFile::exists(dir.filePath(u"THUMBNAILS.DAT"_s)));
}
