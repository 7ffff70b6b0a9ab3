#pragma once

#include "LauncherFolders.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

// What a site's launcher says.
struct SiteLauncher
{
    // The site's title: the entry's name as typed, and its file name once made safe.
    QString title;
    QString comment;
    // The program and its own options, quoted as an Exec line needs.
    QStringList command;
    // The site's launch word ("Element=ID ..."), written after the command as one quoted word.
    QString launchWord;
    QString icon;
    // The window class of the site's browser window, so that the desktop groups the window
    // under its launcher.
    QString windowClass;
    // Marks the entry as the site's own: only such entries are found, replaced and deleted.
    QString siteId;
};

// Site launchers as freedesktop.org desktop entries, one file per place. A file is named
// after the site's title made safe; when that name is taken by an entry that is not the
// site's own (another program's, another site's of the same title) or would hide a system
// entry, the launcher takes "Title (2)", "Title (3)", ... instead.
class SiteLaunchers final
{
public:
    // Marks an entry with the site it belongs to.
    static constexpr char kSiteKey[] = "X-MorvalenDesktop-Site";

    explicit SiteLaunchers(const LauncherFolders& folders) : m_folders(folders) {}

    // Writes the launcher of the place, replacing the site's own entry of that title. False
    // when the place has no folder, its folder is missing (and may not or cannot be made), or
    // the file cannot be written.
    bool Create(TLauncherPlace place, const SiteLauncher& launcher) const;
    // The site's own entry of that title in the place's folder; empty when there is none.
    QString Find(TLauncherPlace place, const QString& title, const QString& siteId) const;
    // Deletes the site's own entries of that title in the place's folder; a failure is ignored.
    void Remove(TLauncherPlace place, const QString& title, const QString& siteId) const;
    // Deletes every entry of the place's folder that is the site's own, whatever its name: a
    // renamed site leaves none under its old title.
    void RemoveAll(TLauncherPlace place, const QString& siteId) const;
    // Why the last Create failed, naming the folder; empty after a success.
    const QString& LastError() const { return m_lastError; }

    // A file name (without ".desktop") made of a title: no "/" and no control characters, no
    // leading "." or blanks, at most kMaxNameBytes bytes of UTF-8; "Site" for nothing left.
    static QString SafeFileName(const QString& title);
    // The Exec line of a launcher: the command, each argument quoted where needed, then the
    // launch word quoted; "%" doubled as the field codes require.
    static QString ExecLine(const SiteLauncher& launcher);

    static constexpr int kMaxNameBytes = 200;

private:
    // The names "base.desktop", "base (2).desktop", ... present in folder.
    QStringList Candidates(const QString& folder, const QString& base) const;
    // The entries of a folder. Detection at start-up asks once per site and place, so the
    // listing is kept while the folder's modification time stays the same.
    const QStringList& EntriesOf(const QString& folder) const;
    static bool IsOwnEntry(const QString& path, const QString& siteId);
    bool IsFree(TLauncherPlace place, const QString& fileName) const;
    static void MarkTrusted(const QString& path);

    struct Listing
    {
        QDateTime modified;
        QStringList names;
    };

    const LauncherFolders& m_folders;
    mutable QHash<QString, Listing> m_listings;
    mutable QString m_lastError;
};
