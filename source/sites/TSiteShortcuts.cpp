#include "TSiteShortcuts.h"

#include "TMorvalenBaseClass.h"
#include "stores/TFavoriteIconManager.h"

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

// Removal and detection visit the places in this order; creation in the kinds' order.
constexpr TLauncherPlace kSearchOrder[] = {lpApplicationsMenu, lpDesktop, lpAutostart, lpQuickLaunch};

} // namespace

TSiteShortcuts::TSiteShortcuts(const LauncherFolders& folders, QStringList command, QString iconFolder)
    : m_launchers(folders), m_command(std::move(command)), m_iconFolder(std::move(iconFolder))
{
    if (!m_iconFolder.isEmpty() && !m_iconFolder.endsWith(u'/'))
        m_iconFolder += u'/';
}

QString TSiteShortcuts::Comment(const TMorvalenBaseClass& site)
{
    const QString open = u"Click here to open "_s + site.Title();
    if (site.Description().isEmpty())
        return open;
    return site.Description() + u'\n' + open;
}

QString TSiteShortcuts::WindowClass(const TMorvalenBaseClass& site)
{
    return u"MorvalenDesktop-"_s + site.ElementId();
}

SiteLauncher TSiteShortcuts::LauncherOf(const TMorvalenBaseClass& site, int kind) const
{
    SiteLauncher launcher;
    launcher.title = site.Title();
    launcher.comment = Comment(site);
    launcher.command = m_command;
    // The launch argument comes quoted; its quotes are the Exec line's quoting.
    QString argument = LaunchArgument(site, TShortcutKind(kind));
    launcher.launchWord = argument.mid(1, argument.size() - 2);
    const QString iconFile = site.FavIconFileName().isEmpty()
                                 ? QString::fromLatin1(TFavoriteIconManager::kDefaultFileName)
                                 : site.FavIconFileName();
    launcher.icon = m_iconFolder + iconFile;
    launcher.windowClass = WindowClass(site);
    launcher.siteId = site.ElementId();
    return launcher;
}

bool TSiteShortcuts::CreateShortcuts(const TMorvalenBaseClass& site, QStringList* errors) const
{
    bool created = true;
    for (const TLauncherPlace place : LauncherPlaces) {
        if (!(site.ShortcutKinds() & (1 << place)))
            continue;
        if (!m_launchers.Create(place, LauncherOf(site, place))) {
            created = false;
            if (errors)
                errors->append(m_launchers.LastError());
        }
    }
    return created;
}

void TSiteShortcuts::RemoveShortcuts(const TMorvalenBaseClass& site) const
{
    // By the site's key, not its title: after a rename the old entries go as well.
    for (const TLauncherPlace place : kSearchOrder)
        m_launchers.RemoveAll(place, site.ElementId());
}

void TSiteShortcuts::DetectShortcuts(TMorvalenBaseClass& site) const
{
    uint8_t kinds = 0;
    for (const TLauncherPlace place : kSearchOrder) {
        if (!m_launchers.Find(place, site.Title(), site.ElementId()).isEmpty())
            kinds |= uint8_t(1 << place);
    }
    site.SetShortcutKinds(kinds);
}

QString TSiteShortcuts::MenuEntryFileName(const TMorvalenBaseClass& site) const
{
    const QString path = m_launchers.Find(lpApplicationsMenu, site.Title(), site.ElementId());
    return path.isEmpty() ? QString() : QFileInfo(path).fileName();
}
