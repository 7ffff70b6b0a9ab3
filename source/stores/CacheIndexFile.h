#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// One entry of the download cache's index.
struct TCacheImageItemRec
{
    // The address, lower-cased: the lookup key.
    QString URL;
    // The file's name inside the cache folder.
    QString FileName;
    // When the entry was made or last refreshed (day count, local time).
    double Updated = 0;
    // Set with Updated; the sweep measures the entry's age from it.
    double AgeBase = 0;
    // Never swept by age.
    bool Keep = false;
    // The file's size when it was stored.
    int32_t Size = 0;
};

// Cache.dat: the header text "Cache Items data.", the entry count, then the entries, each
// URL, FileName, Updated, AgeBase, Keep and Size.
namespace CacheIndexFile {

inline constexpr char kHeader[] = "Cache Items data.";
inline constexpr int kHeaderSize = 17;

struct ParseResult
{
    // False when the header text is wrong or missing; no entries are read then.
    bool headerValid = false;
    // The entries in file order, up to the first one that is cut short.
    std::vector<TCacheImageItemRec> entries;
};

// Never throws: a count larger than the entries present, or an entry cut short, ends the
// list there.
ParseResult Parse(QByteArrayView data);

QByteArray Serialize(const std::vector<TCacheImageItemRec>& entries);

} // namespace CacheIndexFile
