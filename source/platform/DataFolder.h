#pragma once

#include <QString>

// Where the program keeps its files: the folder given with --data-folder; else the
// program's own folder when it holds a file named "portable" (a copy on a stick); else
// $XDG_DATA_HOME/MorvalenDesktop/. Always absolute and with a trailing "/".
namespace DataFolder {

// The file that marks the program's folder as a portable copy's data folder.
inline constexpr char16_t kPortableMark[] = u"portable";

QString Resolve(const QString& option, const QString& programFolder);

// Creates folder (one level) when it is missing; a failure is not reported, as the stores
// then simply keep nothing.
void EnsureFolder(const QString& folder);

} // namespace DataFolder
