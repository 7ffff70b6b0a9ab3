#include "common/BinaryStream.h"
#include "common/Errors.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int value : values)
        bytes.append(char(value));
    return bytes;
}

} // namespace

TEST(BinaryStream, PrimitivesAreLittleEndianWithoutPadding)
{
    BinaryWriter writer;
    writer.WriteByte(0xAB);
    writer.WriteInteger(-2);
    writer.WriteInt64(0x0102030405060708);
    writer.WriteSingle(1.0f);
    writer.WriteDouble(2.0);
    EXPECT_EQ(writer.Data(),
              Bytes({0xAB, 0xFE, 0xFF, 0xFF, 0xFF, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,
                     0x00, 0x00, 0x80, 0x3F, 0,    0,    0,    0,    0,    0,    0,    0x40}));

    BinaryReader reader(writer.Data());
    EXPECT_EQ(reader.ReadByte(), 0xAB);
    EXPECT_EQ(reader.ReadInteger(), -2);
    EXPECT_EQ(reader.ReadInt64(), 0x0102030405060708);
    EXPECT_EQ(reader.ReadSingle(), 1.0f);
    EXPECT_EQ(reader.ReadDouble(), 2.0);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(BinaryStream, BooleansReadAnyNonZeroByteAsTrue)
{
    const QByteArray data = Bytes({0, 1, 0x80});
    BinaryReader reader(data);
    EXPECT_FALSE(reader.ReadBoolean());
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_TRUE(reader.ReadBoolean());
}

TEST(BinaryStream, StringsCarryTheirCountAndNoTerminator)
{
    BinaryWriter writer;
    writer.WriteAnsiString(u"h\u00e9"_s);
    writer.WriteWideString(u"h\u00e9\U0001F600"_s);
    EXPECT_EQ(writer.Data(), Bytes({3, 0, 0, 0, 'h', 0xC3, 0xA9,                            // UTF-8 bytes
                                    4, 0, 0, 0, 'h', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE})); // UTF-16 units

    BinaryReader reader(writer.Data());
    EXPECT_EQ(reader.ReadAnsiString(), u"h\u00e9"_s);
    EXPECT_EQ(reader.ReadWideString(), u"h\u00e9\U0001F600"_s);
}

TEST(BinaryStream, EmptyStringsAndListsRoundTrip)
{
    BinaryWriter writer;
    writer.WriteWideString(QString());
    writer.WriteAnsiString(QString());
    writer.WriteWideStringList({u"one"_s, QString(), u"three"_s});
    BinaryReader reader(writer.Data());
    EXPECT_EQ(reader.ReadWideString(), QString());
    EXPECT_EQ(reader.ReadAnsiString(), QString());
    EXPECT_EQ(reader.ReadWideStringList(), QStringList({u"one"_s, QString(), u"three"_s}));
}

TEST(BinaryStream, ReadingPastTheEndFailsAndLeavesTheReaderAtTheEnd)
{
    const QByteArray data = Bytes({1, 2, 3});
    BinaryReader reader(data);
    EXPECT_THROW(reader.ReadInteger(), EStreamReadError);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_THROW(reader.ReadByte(), EStreamReadError);
}

TEST(BinaryStream, CountsLargerThanTheBytesLeftFailWithoutAllocating)
{
    // A count of 2^31-1 code units would ask for 4 GiB; the reader must refuse first.
    const int32_t huge = std::numeric_limits<int32_t>::max();
    for (const auto read :
         {+[](BinaryReader& r) { r.ReadWideString(); }, +[](BinaryReader& r) { r.ReadAnsiString(); },
          +[](BinaryReader& r) {
              r.ReadWideStringList();
          }}) {
        BinaryWriter writer;
        writer.WriteInteger(huge);
        writer.WriteBytes("abcdef");
        BinaryReader reader(writer.Data());
        EXPECT_THROW(read(reader), EStreamReadError);
    }
    BinaryWriter negative;
    negative.WriteInteger(-1);
    BinaryReader reader(negative.Data());
    EXPECT_THROW(reader.ReadWideString(), EStreamReadError);
}

TEST(BinaryStream, WideStringWithOddByteLeftOverFails)
{
    // Two code units announced, three bytes present.
    const QByteArray data = Bytes({2, 0, 0, 0, 'a', 0, 'b'});
    BinaryReader reader(data);
    EXPECT_THROW(reader.ReadWideString(), EStreamReadError);
}

TEST(BinaryStream, SetPositionIsChecked)
{
    const QByteArray data = Bytes({1, 2});
    BinaryReader reader(data);
    reader.SetPosition(2);
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_THROW(reader.SetPosition(3), EStreamReadError);
    EXPECT_THROW(reader.SetPosition(-1), EStreamReadError);
}
