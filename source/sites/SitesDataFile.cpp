#include "SitesDataFile.h"

#include "TMorvalenBaseClass.h"
#include "common/BinaryStream.h"
#include "common/Errors.h"
#include "common/FileUtils.h"

namespace SitesDataFile {

namespace {

// Payload size and checksum.
constexpr qsizetype kFrameSize = 12;

} // namespace

LoadResult Parse(QByteArrayView data)
{
    LoadResult result;
    BinaryReader reader(data);
    if (reader.Remaining() < kHeaderSize || reader.ReadBytes(kHeaderSize) != QByteArrayView(kHeader))
        return result;
    result.headerValid = true;
    if (reader.Remaining() < 4)
        return result;

    const int32_t count = reader.ReadInteger();
    int32_t attempted = 0;
    // The count is the file's word, not ours: once the bytes are used up, every further
    // record would fail the same way.
    for (; attempted < count && reader.Remaining() >= kFrameSize; ++attempted) {
        try {
            result.records.push_back(TMorvalenBaseClass::FromStream(reader));
        } catch (const EMorvalenError&) {
            ++result.skipped;
        }
    }
    if (count > attempted)
        result.skipped += count - attempted;
    return result;
}

QByteArray Serialize(const std::vector<std::unique_ptr<TMorvalenBaseClass>>& records)
{
    BinaryWriter writer(kHeaderSize + 4 + qsizetype(records.size()) * 256);
    writer.WriteBytes(QByteArrayView(kHeader));
    writer.WriteInteger(static_cast<int32_t>(records.size()));
    for (const auto& record : records)
        record->SaveToStream(writer);
    return writer.TakeData();
}

void Save(const QString& path, const std::vector<std::unique_ptr<TMorvalenBaseClass>>& records)
{
    FileUtils::WriteFileAtomically(path, Serialize(records));
}

} // namespace SitesDataFile
