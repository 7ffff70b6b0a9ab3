#pragma once

#include "platform/SiteLaunchers.h"

#include <QString>
#include <QStringList>

class TMorvalenBaseClass;

// A site's launchers on the desktop, in the quick-launch folder, among the programs started
// at login and in the applications menu: one desktop entry per ticked kind, named after the
// site's title, that starts this program with the site's launch argument.
class TSiteShortcuts final
{
public:
    static constexpr char16_t kCreateError[] = u"Can not create shortcut!";

    // command: this program and the options it was started with (a launcher starts the same
    // configuration). iconFolder: the favorite-icon store's folder.
    TSiteShortcuts(const LauncherFolders& folders, QStringList command, QString iconFolder);

    // Creates the launchers of the kinds set in the site's ShortcutKinds, in the order
    // desktop, quick launch, startup, applications menu; false when any of them could not be
    // made. ShortcutKinds is not changed. Each kind succeeds or fails on its own; with errors, every failure
    // is listed there, one line each, naming the folder and the reason.
    bool CreateShortcuts(const TMorvalenBaseClass& site, QStringList* errors = nullptr) const;
    // Deletes the site's launchers, whatever title they were written under.
    void RemoveShortcuts(const TMorvalenBaseClass& site) const;
    // Sets ShortcutKinds from the launchers of the site's title that exist.
    void DetectShortcuts(TMorvalenBaseClass& site) const;

    // "Click here to open " and the title, after the description and a line break when the
    // site has one.
    static QString Comment(const TMorvalenBaseClass& site);
    // The window class the site's browser window carries, which its launchers name.
    static QString WindowClass(const TMorvalenBaseClass& site);

    SiteLauncher LauncherOf(const TMorvalenBaseClass& site, int kind) const;
    // The file name of the site's own entry in the applications menu, the one docks know;
    // empty when it has none.
    QString MenuEntryFileName(const TMorvalenBaseClass& site) const;
    const SiteLaunchers& Launchers() const { return m_launchers; }

private:
    SiteLaunchers m_launchers;
    QStringList m_command;
    QString m_iconFolder;
};
