#pragma once

#include "browser/TUnreadCounts.h"

#include <QObject>
#include <QString>

#include <map>
#include <memory>

class TLauncherBadge;
class TMorvalenBaseClass;
class TSiteShortcuts;

// Each site's unread count on its own launcher in the applications menu, which a dock shows
// beside the program's: the LauncherEntry signal for application://<the launcher's file name>.
class TSiteLauncherBadges final : public QObject
{
    Q_OBJECT

public:
    // connectionName: the D-Bus connection of that name (tests), else the session bus.
    TSiteLauncherBadges(TUnreadCounts& counts, const TSiteShortcuts& shortcuts,
                        const QString& connectionName = QString(), QObject* parent = nullptr);
    ~TSiteLauncherBadges() override;

private:
    void CountChanged(TMorvalenBaseClass* site, const TUnreadCounts::TCount& count);

    const TSiteShortcuts& m_shortcuts;
    QString m_connectionName;
    // By the launcher's file name.
    std::map<QString, std::unique_ptr<TLauncherBadge>> m_badges;
};
