#pragma once

#include <QString>

// Where the program keeps its files: the folder given with --data-folder; else the
// program's own folder when it may write there (a build tree, a portable copy); else the
// user's data folder. Always absolute and with a trailing "/".
namespace DataFolder {

QString Resolve(const QString& option, const QString& programFolder);

// Creates folder (one level) when it is missing; a failure is not reported, as the stores
// then simply keep nothing.
void EnsureFolder(const QString& folder);

} // namespace DataFolder
