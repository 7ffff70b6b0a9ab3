#pragma once

#include <QString>

#include <memory>

// The count a dock or task bar shows on a launcher of the program.
class TLauncherBadge
{
public:
    virtual ~TLauncherBadge() = default;
    // 0 hides the count.
    virtual void SetCount(int count) = 0;

    // The badge of a desktop entry ("morvalen-desktop.desktop") for this desktop: the
    // com.canonical.Unity.LauncherEntry signal on the session bus (or the D-Bus connection
    // of that name), which KDE Plasma, Ubuntu's dock and Dash to Dock read.
    static std::unique_ptr<TLauncherBadge> ForDesktopEntry(const QString& desktopFileName,
                                                           const QString& connectionName = QString());
};
