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
    // desktop, quick launch, startup, applications menu. Stops at the first kind whose
    // launcher cannot be created (no folder) and returns false; ShortcutKinds is not changed.
    bool CreateShortcuts(const TMorvalenBaseClass& site) const;
    // Deletes the site's launchers of its current title.
    void RemoveShortcuts(const TMorvalenBaseClass& site) const;
    // Sets ShortcutKinds from the launchers of the site's title that exist.
    void DetectShortcuts(TMorvalenBaseClass& site) const;

    // "Click here to open " and the title, after the description and a line break when the
    // site has one.
    static QString Comment(const TMorvalenBaseClass& site);
    // The window class the site's browser window carries, which its launchers name.
    static QString WindowClass(const TMorvalenBaseClass& site);

    SiteLauncher LauncherOf(const TMorvalenBaseClass& site, int kind) const;
    const SiteLaunchers& Launchers() const { return m_launchers; }

private:
    SiteLaunchers m_launchers;
    QStringList m_command;
    QString m_iconFolder;
};
