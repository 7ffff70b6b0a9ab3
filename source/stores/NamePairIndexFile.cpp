#include "NamePairIndexFile.h"

#include "common/BinaryStream.h"
#include "common/CountedEntries.h"
#include "common/Errors.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace NamePairIndexFile {

namespace {

// The smallest entry: two empty strings.
constexpr qsizetype kMinEntrySize = 4 + 4;
// Most file systems take names of up to 255 bytes.
constexpr qsizetype kMaxFileNameBytes = 255;

} // namespace

std::vector<Entry> Parse(QByteArrayView data)
{
    std::vector<Entry> entries;
    BinaryReader reader(data);
    // These indexes have no header text.
    CountedEntries counted(reader, QByteArrayView(), kMinEntrySize);
    while (counted.Next()) {
        try {
            QString key = reader.ReadAnsiString();
            QString fileName = reader.ReadAnsiString();
            entries.emplace_back(std::move(key), std::move(fileName));
        } catch (const EStreamReadError&) {
            break;
        }
    }
    return entries;
}

QByteArray Serialize(const std::vector<Entry>& entries)
{
    BinaryWriter writer(4 + qsizetype(entries.size()) * 64);
    writer.WriteInteger(int32_t(entries.size()));
    for (const Entry& entry : entries) {
        writer.WriteAnsiString(entry.first);
        writer.WriteAnsiString(entry.second);
    }
    return writer.TakeData();
}

bool IsPlainFileName(const QString& name)
{
    if (name.isEmpty() || name == u'.' || name == QLatin1StringView(".."))
        return false;
    if (name.toUtf8().size() > kMaxFileNameBytes)
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return true;
}

void DeleteFilesNotNamed(const QString& folder, const QStringList& keep)
{
    if (folder.isEmpty())
        return;
    QSet<QString> kept;
    for (const QString& name : keep)
        kept.insert(name.toCaseFolded());
    const QDir dir(folder);
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : files) {
        if (!kept.contains(name.toCaseFolded()))
            QFile::remove(dir.filePath(name));
    }
}

} // namespace NamePairIndexFile
