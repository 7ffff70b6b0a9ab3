#include "TSiteLauncherBadges.h"

#include "platform/LauncherBadge.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteShortcuts.h"

TSiteLauncherBadges::TSiteLauncherBadges(TUnreadCounts& counts, const TSiteShortcuts& shortcuts,
                                         const QString& connectionName, QObject* parent)
    : QObject(parent), m_shortcuts(shortcuts), m_connectionName(connectionName)
{
    connect(&counts, &TUnreadCounts::CountChanged, this, &TSiteLauncherBadges::CountChanged);
}

TSiteLauncherBadges::~TSiteLauncherBadges() = default;

void TSiteLauncherBadges::CountChanged(TMorvalenBaseClass* site, const TUnreadCounts::TCount& count)
{
    // Looked up at each change: the user may add or remove the launcher at any time.
    const QString fileName = site ? m_shortcuts.MenuEntryFileName(*site) : QString();
    if (fileName.isEmpty())
        return;
    std::unique_ptr<TLauncherBadge>& badge = m_badges[fileName];
    if (!badge)
        badge = TLauncherBadge::ForDesktopEntry(fileName, m_connectionName);
    badge->SetCount(count.Count);
}
