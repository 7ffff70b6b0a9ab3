#pragma once

#include "LauncherFolders.h"

// The folders of the freedesktop.org desktops: the desktop folder ("xdg-user-dir DESKTOP",
// else ~/Desktop), $XDG_DATA_HOME/MorvalenDesktop/QuickLaunch (the program's own: panels
// and docks that show a folder of launchers can be pointed at it), $XDG_CONFIG_HOME/autostart
// and $XDG_DATA_HOME/applications.
class XdgLauncherFolders final : public LauncherFolders
{
public:
    // Reads the folders once, from the environment of this moment.
    XdgLauncherFolders();

    QString Folder(TLauncherPlace place) const override;
    bool MakeWhenMissing(TLauncherPlace place) const override;
    QStringList ShadowedFolders(TLauncherPlace place) const override;

    // The desktop folder as the user's configuration names it.
    static QString DesktopFolder();
    // $XDG_DATA_HOME, or ~/.local/share when it is not set.
    static QString DataHome();

private:
    std::array<QString, 4> m_folders;
    std::array<QStringList, 4> m_shadowed;
};
