#include "SitesDataFile.h"

#include "TMorvalenBaseClass.h"
#include "common/BinaryStream.h"
#include "common/CountedEntries.h"
#include "common/Errors.h"
#include "common/FileUtils.h"

#include <QFile>

using namespace Qt::Literals::StringLiterals;

namespace SitesDataFile {

namespace {

// Payload size and checksum.
constexpr qsizetype kFrameSize = 12;

} // namespace

LoadResult Parse(QByteArrayView data)
{
    LoadResult result;
    BinaryReader reader(data);
    CountedEntries records(reader, QByteArrayView(kHeader), kFrameSize);
    result.headerValid = records.HeaderValid();
    while (records.Next()) {
        try {
            result.records.push_back(TMorvalenBaseClass::FromStream(reader));
        } catch (const EMorvalenError&) {
            ++result.skipped;
        }
    }
    // Once the bytes are used up, every further record would fail the same way.
    if (records.Count() > records.Taken())
        result.skipped += records.Count() - records.Taken();
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

QString KeepDamagedCopy(const QString& path, const QDateTime& now)
{
    const QString stem = path + u".damaged-"_s + now.toString(u"yyyyMMdd-HHmmss"_s);
    QString copy = stem;
    for (int n = 2; QFile::exists(copy); ++n)
        copy = stem + u'-' + QString::number(n);
    // QFile::copy never replaces a file, so a copy made a moment ago by someone else stays.
    if (!QFile::copy(path, copy))
        throw EFileError(u"Can not keep a copy of %1 as %2."_s.arg(path, copy));
    return copy;
}

} // namespace SitesDataFile
