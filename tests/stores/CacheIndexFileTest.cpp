#include "stores/CacheIndexFile.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

std::vector<TCacheImageItemRec> TwoEntries()
{
    TCacheImageItemRec first;
    first.URL = u"http://catalog/xmlcache/categorylist.xml"_s;
    first.FileName = u"Cache00001.tmp"_s;
    first.Updated = 45000.5;
    first.AgeBase = 45000.25;
    first.Keep = true;
    first.Size = 1234;
    TCacheImageItemRec second;
    second.URL = u"http://catalog/images/ü.png"_s;
    second.FileName = u"ü.png"_s;
    second.Updated = -1.25;
    second.AgeBase = 0;
    second.Size = -7;
    return {first, second};
}

} // namespace

TEST(CacheIndexFile, WritesTheDocumentedLayout)
{
    TCacheImageItemRec entry;
    entry.URL = u"u"_s;
    entry.FileName = u"fn"_s;
    entry.Updated = 2.0; // 0x4000000000000000
    entry.AgeBase = 0.5; // 0x3FE0000000000000
    entry.Keep = true;
    entry.Size = 0x01020304;
    const QByteArray expected = QByteArray("Cache Items data.") +                            // header
                                QByteArray::fromHex("01000000") +                            // count
                                QByteArray::fromHex("01000000") + "u" +                      // URL
                                QByteArray::fromHex("02000000") + "fn" +                     // FileName
                                QByteArray::fromHex("0000000000000040") +                    // Updated
                                QByteArray::fromHex("000000000000E03F") +                    // AgeBase
                                QByteArray::fromHex("01") + QByteArray::fromHex("04030201"); // Keep, Size
    EXPECT_EQ(CacheIndexFile::Serialize({entry}), expected);
}

TEST(CacheIndexFile, ReadsBackWhatItWrites)
{
    const auto entries = TwoEntries();
    const auto parsed = CacheIndexFile::Parse(CacheIndexFile::Serialize(entries));
    ASSERT_TRUE(parsed.headerValid);
    ASSERT_EQ(parsed.entries.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(parsed.entries[i].URL, entries[i].URL);
        EXPECT_EQ(parsed.entries[i].FileName, entries[i].FileName);
        EXPECT_EQ(parsed.entries[i].Updated, entries[i].Updated);
        EXPECT_EQ(parsed.entries[i].AgeBase, entries[i].AgeBase);
        EXPECT_EQ(parsed.entries[i].Keep, entries[i].Keep);
        EXPECT_EQ(parsed.entries[i].Size, entries[i].Size);
    }
}

TEST(CacheIndexFile, EveryPrefixKeepsTheWholeEntriesBeforeTheCut)
{
    const QByteArray whole = CacheIndexFile::Serialize(TwoEntries());
    const QByteArray one = CacheIndexFile::Serialize({TwoEntries()[0]});
    // The first entry ends where a file of only that entry ends.
    const qsizetype firstEnd = one.size();
    for (qsizetype length = 0; length < whole.size(); ++length) {
        const auto parsed = CacheIndexFile::Parse(QByteArrayView(whole).first(length));
        EXPECT_EQ(parsed.headerValid, length >= CacheIndexFile::kHeaderSize) << length;
        EXPECT_EQ(parsed.entries.size(), length >= firstEnd ? 1u : 0u) << length;
    }
}

TEST(CacheIndexFile, WrongHeadersWildCountsAndRandomBytesAreSurvived)
{
    QByteArray data = CacheIndexFile::Serialize(TwoEntries());
    data[0] = 'c';
    EXPECT_FALSE(CacheIndexFile::Parse(data).headerValid);
    EXPECT_TRUE(CacheIndexFile::Parse(data).entries.empty());

    // A count far beyond the entries present, and a negative one.
    QByteArray huge = CacheIndexFile::Serialize(TwoEntries());
    huge.replace(CacheIndexFile::kHeaderSize, 4, QByteArray::fromHex("FFFFFF7F"));
    EXPECT_EQ(CacheIndexFile::Parse(huge).entries.size(), 2u);
    QByteArray negative = huge;
    negative.replace(CacheIndexFile::kHeaderSize, 4, QByteArray::fromHex("FFFFFFFF"));
    EXPECT_TRUE(CacheIndexFile::Parse(negative).entries.empty());

    // A string count past the end of the data.
    QByteArray longString = CacheIndexFile::Serialize(TwoEntries());
    longString.replace(CacheIndexFile::kHeaderSize + 4, 4, QByteArray::fromHex("00000010"));
    EXPECT_TRUE(CacheIndexFile::Parse(longString).entries.empty());

    QRandomGenerator random(4);
    for (int round = 0; round < 500; ++round) {
        QByteArray noise(qsizetype(random.bounded(400)), Qt::Uninitialized);
        for (char& byte : noise)
            byte = char(random.bounded(256));
        if (round % 2 == 0)
            noise.prepend(CacheIndexFile::kHeader);
        const auto parsed = CacheIndexFile::Parse(noise);
        EXPECT_EQ(parsed.headerValid, round % 2 == 0);
    }
}
