#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

class TMorvalenBaseClass;

// MorvalenDesktop.dat: the header text "MorvalenDesktop Data. ", the record count, then
// that many framed site records in display order.
namespace SitesDataFile {

inline constexpr char kHeader[] = "MorvalenDesktop Data. ";
inline constexpr int kHeaderSize = 22;

struct LoadResult
{
    std::vector<std::unique_ptr<TMorvalenBaseClass>> records;
    // Records the file announced but that did not load (bad checksum, cut short).
    int skipped = 0;
    // False when the header text is wrong or missing; nothing is loaded then.
    bool headerValid = false;
};

// Reads the records in file order. A record that fails to load is dropped and the next one
// is read; no input makes this throw.
LoadResult Parse(QByteArrayView data);

QByteArray Serialize(const std::vector<std::unique_ptr<TMorvalenBaseClass>>& records);

// Replaces the file atomically; throws EFileError when it cannot be written.
void Save(const QString& path, const std::vector<std::unique_ptr<TMorvalenBaseClass>>& records);

// Copies the file as it is to "<path>.damaged-YYYYMMDD-HHMMSS" beside it (with "-2", "-3", ...
// after it when that name is taken), so that neither a later save nor later damage
// overwrites the copy. Returns the copy's path; throws EFileError when no copy was made.
QString KeepDamagedCopy(const QString& path, const QDateTime& now);

} // namespace SitesDataFile
