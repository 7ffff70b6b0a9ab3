#pragma once

#include "platform/LauncherFolders.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Launcher folders inside a temporary folder: "desktop", "quick-launch", "autostart" and
// "applications", with "system-applications" as the system's folder the menu must not hide.
// Folders are not made when missing unless makeWhenMissing says so.
class LauncherTestFolders final : public LauncherFolders
{
public:
    explicit LauncherTestFolders(bool makeWhenMissing = false) : m_make(makeWhenMissing)
    {
        for (const TLauncherPlace place : LauncherPlaces)
            QDir().mkpath(Folder(place));
        QDir().mkpath(SystemApplications());
    }

    QString Folder(TLauncherPlace place) const override
    {
        static const char16_t* const names[] = {u"desktop", u"quick-launch", u"autostart", u"applications"};
        return m_root.filePath(QString::fromUtf16(names[place]));
    }
    bool MakeWhenMissing(TLauncherPlace) const override { return m_make; }
    QStringList ShadowedFolders(TLauncherPlace place) const override
    {
        return place == lpApplicationsMenu ? QStringList{SystemApplications()} : QStringList{};
    }

    QString SystemApplications() const { return m_root.filePath(QStringLiteral("system-applications")); }
    QString Root() const { return m_root.path(); }

private:
    QTemporaryDir m_root;
    bool m_make;
};

// desktop-file-validate's complaints about the entry; empty when it passes. The tool comes
// with deps.sh (desktop-file-utils); without it the check fails rather than pass unseen.
inline QString DesktopFileComplaints(const QString& path)
{
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        return QStringLiteral("desktop-file-validate is not installed (scripts/deps.sh installs it)");
    QProcess process;
    process.start(validator, {path});
    if (!process.waitForFinished(30000))
        return QStringLiteral("desktop-file-validate did not finish");
    const QString output =
        QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    if (process.exitCode() != 0 || output.contains(QStringLiteral(": error:")) ||
        output.contains(QStringLiteral(": warning:")))
        return output.isEmpty() ? QStringLiteral("exit code %1").arg(process.exitCode()) : output;
    return {};
}
