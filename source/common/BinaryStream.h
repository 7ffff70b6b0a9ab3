#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

// Readers and writers of the little-endian layouts of the program's files: no alignment,
// no terminators. Strings carry a signed 32-bit count; AnsiStrings are UTF-8 bytes,
// WideStrings UTF-16LE code units.
//
// The reader works on bytes already in memory and checks every read against what is
// left: a read past the end, or a count larger than the bytes left, raises
// EStreamReadError before anything is allocated. After a failed read the reader stands at
// the end, as a file stream would after a short read.
class BinaryReader final
{
public:
    // The reader does not own the bytes: they must outlive it.
    explicit BinaryReader(QByteArrayView data) : m_data(data) {}
    explicit BinaryReader(QByteArray&&) = delete;

    qsizetype Position() const { return m_position; }
    void SetPosition(qsizetype position);
    qsizetype Size() const { return m_data.size(); }
    qsizetype Remaining() const { return m_data.size() - m_position; }
    bool AtEnd() const { return m_position >= m_data.size(); }

    uint8_t ReadByte();
    bool ReadBoolean() { return ReadByte() != 0; }
    int32_t ReadInteger();
    uint32_t ReadCardinal() { return static_cast<uint32_t>(ReadInteger()); }
    int64_t ReadInt64();
    float ReadSingle();
    double ReadDouble();
    double ReadDateTime() { return ReadDouble(); }

    QString ReadAnsiString();
    QString ReadWideString();
    // Integer entry count, then each entry as a WideString.
    QStringList ReadWideStringList();

    // Exactly count raw bytes (header texts, embedded payloads).
    QByteArrayView ReadBytes(qsizetype count);
    void Skip(qsizetype count) { ReadBytes(count); }

private:
    [[noreturn]] void Fail();
    const char* Take(qsizetype count);

    QByteArrayView m_data;
    qsizetype m_position = 0;
};

class BinaryWriter final
{
public:
    BinaryWriter() = default;
    explicit BinaryWriter(qsizetype reserve) { m_data.reserve(reserve); }

    const QByteArray& Data() const { return m_data; }
    QByteArray TakeData() { return std::move(m_data); }
    qsizetype Size() const { return m_data.size(); }

    void WriteByte(uint8_t value) { m_data.append(static_cast<char>(value)); }
    void WriteBoolean(bool value) { WriteByte(value ? 1 : 0); }
    void WriteInteger(int32_t value);
    void WriteCardinal(uint32_t value) { WriteInteger(static_cast<int32_t>(value)); }
    void WriteInt64(int64_t value);
    void WriteSingle(float value);
    void WriteDouble(double value);
    void WriteDateTime(double value) { WriteDouble(value); }

    void WriteAnsiString(const QString& value);
    void WriteWideString(const QString& value);
    void WriteWideStringList(const QStringList& values);

    void WriteBytes(QByteArrayView bytes) { m_data.append(bytes); }

    // Replace bytes already written, such as a size known only after what follows it.
    void OverwriteInteger(qsizetype at, int32_t value);
    void OverwriteInt64(qsizetype at, int64_t value);

private:
    QByteArray m_data;
};
