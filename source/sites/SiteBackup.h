#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>
#include <vector>

class TMorvalenBaseClass;

// The installed sites in one zip archive, to move them to another machine or keep them safe:
// the data file, SiteSettings.ini, the configuration file (it holds the tiles' arrangement),
// the FavIcons/ and Thumbnails/ folders with their index files and, when asked, the sign-ins
// (the engines' WebEngine/ and WebKit/ folders). Paths inside the archive are those relative
// to the data folder, with "/" between folders.
namespace SiteBackup {

inline constexpr char kConfigFileName[] = "MorvalenDesktop.cfg";

// An archive is refused before anything is extracted when it names more entries than this,
// and while extracting as soon as one entry or all of them together inflate to more than the
// limits below: the sizes an archive claims are never trusted.
struct Limits
{
    qint64 maxEntries = 100000;
    qint64 maxEntrySize = qint64(512) * 1024 * 1024;
    qint64 maxTotalSize = qint64(4) * 1024 * 1024 * 1024;
};

// Writes the archive of dataFolder to archivePath: first beside it under a temporary name,
// then renamed over it, so an existing archive is never left half written. Throws EFileError
// with a message for a person when a file cannot be read or the archive written.
void Write(const QString& dataFolder, const QString& archivePath, bool withSignIns);

struct RestoreResult
{
    int added = 0;
    int replaced = 0;
    // Sites the data folder already had and kept as they were.
    int kept = 0;
};

// Asked for each site of the archive the data folder already has (the same ElementId), with
// the archive's record; true replaces the folder's site by it.
using ReplaceQuestion = std::function<bool(const TMorvalenBaseClass& fromArchive)>;

// The sites an archive holds, read after the checks Restore makes, so that a damaged or
// hostile archive is refused (EFileError, as Restore) before anyone is asked anything.
std::vector<std::unique_ptr<TMorvalenBaseClass>> Sites(const QString& archivePath, const Limits& limits = {});

// Reads the archive into dataFolder. Into a folder without sites everything is taken as it
// is. Otherwise the sites the folder lacks are added at the end with their settings, icons and
// thumbnails, and one it has is replaced only when replace says so; the folder's own
// arrangement and configuration stay. A damaged or hostile archive (a path with "..", an
// absolute path, a link, an entry outside the backed-up files, too many or too large
// entries, no sound data file) throws EFileError saying why, and the data folder is left as
// it was: the archive is extracted into a temporary folder and checked before anything moves.
RestoreResult Restore(const QString& dataFolder, const QString& archivePath, const ReplaceQuestion& replace,
                      const Limits& limits = {});

} // namespace SiteBackup
