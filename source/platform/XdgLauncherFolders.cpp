#include "XdgLauncherFolders.h"

#include "DesktopEntry.h"

#include <QDir>
#include <QStandardPaths>

using namespace Qt::Literals::StringLiterals;

namespace {

// Each folder of a colon-separated list with the sub-folder appended; fallback when unset.
QStringList SystemFolders(const char* variable, const QString& fallback, const QString& subFolder)
{
    QString list = qEnvironmentVariable(variable);
    if (list.isEmpty())
        list = fallback;
    QStringList folders;
    for (const QString& folder : list.split(u':', Qt::SkipEmptyParts))
        folders.append(folder + u'/' + subFolder);
    return folders;
}

} // namespace

XdgLauncherFolders::XdgLauncherFolders()
{
    m_folders[lpDesktop] = DesktopFolder();
    m_folders[lpQuickLaunch] = DataHome() + u"/MorvalenDesktop/QuickLaunch"_s;
    m_folders[lpAutostart] = DesktopEntry::ConfigHome() + u"/autostart"_s;
    m_folders[lpApplicationsMenu] = DataHome() + u"/applications"_s;
    m_shadowed[lpAutostart] = SystemFolders("XDG_CONFIG_DIRS", u"/etc/xdg"_s, u"autostart"_s);
    m_shadowed[lpApplicationsMenu] =
        SystemFolders("XDG_DATA_DIRS", u"/usr/local/share:/usr/share"_s, u"applications"_s);
}

QString XdgLauncherFolders::Folder(TLauncherPlace place) const
{
    return m_folders.at(place);
}

bool XdgLauncherFolders::MakeWhenMissing(TLauncherPlace) const
{
    // A new home may lack the desktop folder xdg-user-dir names; desktops that show icons
    // read it once it exists, as they read the others.
    return true;
}

QStringList XdgLauncherFolders::ShadowedFolders(TLauncherPlace place) const
{
    return m_shadowed.at(place);
}

QString XdgLauncherFolders::DesktopFolder()
{
    // Reads user-dirs.dirs, as xdg-user-dir does, and falls back to ~/Desktop.
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}

QString XdgLauncherFolders::DataHome()
{
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!dataHome.isEmpty())
        return dataHome;
    return QDir::homePath() + u"/.local/share"_s;
}
