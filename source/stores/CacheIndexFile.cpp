#include "CacheIndexFile.h"

#include "common/BinaryStream.h"
#include "common/CountedEntries.h"
#include "common/Errors.h"

namespace CacheIndexFile {

namespace {

// The fixed part of an entry after its two strings.
constexpr qsizetype kFixedEntrySize = 8 + 8 + 1 + 4;
// The smallest entry: two empty strings and the fixed part.
constexpr qsizetype kMinCacheEntrySize = 4 + 4 + kFixedEntrySize;

} // namespace

ParseResult Parse(QByteArrayView data)
{
    ParseResult result;
    BinaryReader reader(data);
    CountedEntries entries(reader, QByteArrayView(kHeader), kMinCacheEntrySize);
    result.headerValid = entries.HeaderValid();
    while (entries.Next()) {
        try {
            TCacheImageItemRec entry;
            entry.URL = reader.ReadAnsiString();
            entry.FileName = reader.ReadAnsiString();
            entry.Updated = reader.ReadDateTime();
            entry.AgeBase = reader.ReadDateTime();
            entry.Keep = reader.ReadBoolean();
            entry.Size = reader.ReadInteger();
            result.entries.push_back(std::move(entry));
        } catch (const EStreamReadError&) {
            break;
        }
    }
    return result;
}

QByteArray Serialize(const std::vector<TCacheImageItemRec>& entries)
{
    BinaryWriter writer(kHeaderSize + 4 + qsizetype(entries.size()) * 96);
    writer.WriteBytes(QByteArrayView(kHeader, kHeaderSize));
    writer.WriteInteger(int32_t(entries.size()));
    for (const TCacheImageItemRec& entry : entries) {
        writer.WriteAnsiString(entry.URL);
        writer.WriteAnsiString(entry.FileName);
        writer.WriteDateTime(entry.Updated);
        writer.WriteDateTime(entry.AgeBase);
        writer.WriteBoolean(entry.Keep);
        writer.WriteInteger(entry.Size);
    }
    return writer.TakeData();
}

} // namespace CacheIndexFile
