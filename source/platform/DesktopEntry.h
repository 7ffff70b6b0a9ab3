#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// A freedesktop.org desktop entry of type Application: the autostart entry and the
// site shortcuts.
struct DesktopEntry
{
    QString name;
    QString exec;
    QString comment;
    QString icon;
    QString categories;
    QString startupWMClass;
    // Keys of the writer's own ("X-..."), in the order written.
    QList<std::pair<QString, QString>> extensions;

    // The value of an extension key; empty when the entry has none.
    QString Extension(const QString& key) const;

    // Writes the entry atomically; false when it could not be written.
    bool Write(const QString& path) const;
    // The [Desktop Entry] group of a file; nothing when it cannot be read or has none.
    static std::optional<DesktopEntry> Read(const QString& path);
    // Finds an entry by its desktop file id in $XDG_DATA_HOME and $XDG_DATA_DIRS.
    static QString FindApplication(const QString& desktopFileId);

    // The command (program and arguments, field codes still in place) of the application
    // the desktop names as the handler of mimeType (xdg-mime); nothing when none is registered.
    static std::optional<QStringList> HandlerCommand(const QString& mimeType);

    // Splits an Exec value into the program and its arguments (the quoting rules of
    // desktop entries); nothing when the quotes do not close.
    static std::optional<QStringList> SplitExec(const QString& exec);

    // One argument of an Exec line, quoted when it has to be.
    static QString QuoteExecArgument(const QString& argument);
    // $XDG_CONFIG_HOME, or ~/.config when it is not set.
    static QString ConfigHome();
};
