#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// Thumbnails.dat and FavIcons.dat: the entry count, then each entry as two strings (a key
// and a file name inside the store's folder). No header, no version.
namespace NamePairIndexFile {

using Entry = std::pair<QString, QString>;

// Never throws: a count larger than the entries present, or an entry cut short, ends the
// list there. A negative count gives no entries.
std::vector<Entry> Parse(QByteArrayView data);

QByteArray Serialize(const std::vector<Entry>& entries);

// Whether a name taken from an index file or from an address can stand for a file directly
// inside a store's folder: not empty, not "." or "..", no path delimiter, no control
// character, and short enough for the file system.
bool IsPlainFileName(const QString& name);

// Deletes every file directly inside folder whose name, compared case-insensitively, is not
// one of keep. Sub-folders are left alone; a file that cannot be deleted is skipped. Does
// nothing for an empty folder name, so an unset store never empties the working folder.
void DeleteFilesNotNamed(const QString& folder, const QStringList& keep);

} // namespace NamePairIndexFile
