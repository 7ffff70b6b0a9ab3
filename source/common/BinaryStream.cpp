#include "BinaryStream.h"

#include "Errors.h"

#include <QtEndian>

#include <bit>

void BinaryReader::SetPosition(qsizetype position)
{
    if (position < 0 || position > m_data.size())
        Fail();
    m_position = position;
}

void BinaryReader::Fail()
{
    m_position = m_data.size();
    throw EStreamReadError();
}

const char* BinaryReader::Take(qsizetype count)
{
    if (count < 0 || count > Remaining())
        Fail();
    const char* bytes = m_data.data() + m_position;
    m_position += count;
    return bytes;
}

QByteArrayView BinaryReader::ReadBytes(qsizetype count)
{
    return QByteArrayView(Take(count), count);
}

uint8_t BinaryReader::ReadByte()
{
    return static_cast<uint8_t>(*Take(1));
}

int32_t BinaryReader::ReadInteger()
{
    return qFromLittleEndian<int32_t>(Take(4));
}

int64_t BinaryReader::ReadInt64()
{
    return qFromLittleEndian<int64_t>(Take(8));
}

float BinaryReader::ReadSingle()
{
    return std::bit_cast<float>(qFromLittleEndian<uint32_t>(Take(4)));
}

double BinaryReader::ReadDouble()
{
    return std::bit_cast<double>(qFromLittleEndian<uint64_t>(Take(8)));
}

QString BinaryReader::ReadAnsiString()
{
    const int32_t count = ReadInteger();
    const QByteArrayView bytes = ReadBytes(count);
    return QString::fromUtf8(bytes);
}

QString BinaryReader::ReadWideString()
{
    const int32_t count = ReadInteger();
    // Checked against the bytes left before the string is allocated.
    if (count < 0 || count > Remaining() / 2)
        Fail();
    const char* bytes = Take(qsizetype(count) * 2);
    QString text(count, Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes, count, text.data());
    return text;
}

QStringList BinaryReader::ReadWideStringList()
{
    const int32_t count = ReadInteger();
    // Every entry takes at least its 4-byte count.
    if (count < 0 || count > Remaining() / 4)
        Fail();
    QStringList list;
    list.reserve(count);
    for (int32_t i = 0; i < count; ++i)
        list.append(ReadWideString());
    return list;
}

void BinaryWriter::WriteInteger(int32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    m_data.append(bytes, 4);
}

void BinaryWriter::WriteInt64(int64_t value)
{
    char bytes[8];
    qToLittleEndian(value, bytes);
    m_data.append(bytes, 8);
}

void BinaryWriter::OverwriteInteger(qsizetype at, int32_t value)
{
    Q_ASSERT(at >= 0 && at + 4 <= m_data.size());
    qToLittleEndian(value, m_data.data() + at);
}

void BinaryWriter::OverwriteInt64(qsizetype at, int64_t value)
{
    Q_ASSERT(at >= 0 && at + 8 <= m_data.size());
    qToLittleEndian(value, m_data.data() + at);
}

void BinaryWriter::WriteSingle(float value)
{
    char bytes[4];
    qToLittleEndian(std::bit_cast<uint32_t>(value), bytes);
    m_data.append(bytes, 4);
}

void BinaryWriter::WriteDouble(double value)
{
    char bytes[8];
    qToLittleEndian(std::bit_cast<uint64_t>(value), bytes);
    m_data.append(bytes, 8);
}

void BinaryWriter::WriteAnsiString(const QString& value)
{
    const QByteArray bytes = value.toUtf8();
    WriteInteger(static_cast<int32_t>(bytes.size()));
    m_data.append(bytes);
}

void BinaryWriter::WriteWideString(const QString& value)
{
    const qsizetype count = value.size();
    WriteInteger(static_cast<int32_t>(count));
    const qsizetype start = m_data.size();
    m_data.resize(start + count * 2);
    qToLittleEndian<char16_t>(value.utf16(), count, m_data.data() + start);
}

void BinaryWriter::WriteWideStringList(const QStringList& values)
{
    WriteInteger(static_cast<int32_t>(values.size()));
    for (const QString& value : values)
        WriteWideString(value);
}
