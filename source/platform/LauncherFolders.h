#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The places a site launcher can go, numbered as the site's shortcut kinds are.
enum TLauncherPlace : int
{
    lpDesktop = 0,
    lpQuickLaunch = 1,
    lpAutostart = 2,
    lpApplicationsMenu = 3
};

inline constexpr std::array<TLauncherPlace, 4> LauncherPlaces{lpDesktop, lpQuickLaunch, lpAutostart,
                                                              lpApplicationsMenu};

// Where the launchers of each place live. Tests point them at temporary folders.
class LauncherFolders
{
public:
    virtual ~LauncherFolders() = default;

    // The folder of the place; empty when it cannot be determined.
    virtual QString Folder(TLauncherPlace place) const = 0;
    // Whether a missing folder of the place is made rather than reported: the desktop reads
    // these folders whether they exist yet or not.
    virtual bool MakeWhenMissing(TLauncherPlace place) const = 0;
    // Folders whose entries a file of the same name in the place's folder would hide from the
    // desktop (an entry of the user's applications folder overrides the system's entry of that
    // name). A launcher never takes such a name.
    virtual QStringList ShadowedFolders(TLauncherPlace place) const = 0;
};
