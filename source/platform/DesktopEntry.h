#pragma once

#include <QString>

// A freedesktop.org desktop entry of type Application: the autostart entry and the
// site shortcuts.
struct DesktopEntry
{
    QString name;
    QString exec;
    QString comment;
    QString icon;

    // Writes the entry atomically; false when it could not be written.
    bool Write(const QString& path) const;

    // One argument of an Exec line, quoted when it has to be.
    static QString QuoteExecArgument(const QString& argument);
    // $XDG_CONFIG_HOME, or ~/.config when it is not set.
    static QString ConfigHome();
};
