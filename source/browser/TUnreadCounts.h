#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

class TBrowserManager;
class TCustomInternetBrowserWindow;
class TMorvalenBaseClass;

// The unread count of every site, read from its window's page titles: the largest count
// among its tabs (two tabs of one inbox show one count), or, when larger, what arrived while
// the window was not active (page changes the monitor found, web notifications), which the
// window's activation clears. It puts the count in the window's caption and tray hint. A
// window that closes leaves its last count behind, marked as old, until the site's window
// counts again or the site goes.
class TUnreadCounts final : public QObject
{
    Q_OBJECT

public:
    struct TCount
    {
        int Count = 0;
        // The count the site's window had when it closed.
        bool Old = false;
        bool operator==(const TCount&) const = default;
    };

    explicit TUnreadCounts(TBrowserManager& manager, QObject* parent = nullptr);

    TCount Count(const QString& elementId) const { return m_counts.value(elementId); }
    // Every site's count, old ones too: what the tray icon and the launchers show.
    int Total() const;
    // The site went: its count goes with it.
    void Forget(const QString& elementId);
    // Something arrived for the open window of the site while the window was not active.
    void AddUnseen(TMorvalenBaseClass& site);
    // The count a site had when the program last ran: old until its window counts again.
    void SetOldCount(TMorvalenBaseClass& site, int count);
    // The site's window took a new caption (the site was edited): the count goes back in.
    void Refresh(TMorvalenBaseClass& site);

signals:
    void CountChanged(TMorvalenBaseClass* site, const TUnreadCounts::TCount& count);
    void TotalChanged(int total);

private:
    void WindowChanged(TMorvalenBaseClass* site, bool open);
    void Recount(TMorvalenBaseClass& site, TCustomInternetBrowserWindow& window);
    void Store(TMorvalenBaseClass* site, const TCount& count);

    TBrowserManager& m_manager;
    QHash<QString, TCount> m_counts;
    QHash<TMorvalenBaseClass*, QPointer<TCustomInternetBrowserWindow>> m_windows;
    // By ElementId: what arrived since the site's window was last active.
    QHash<QString, int> m_unseen;
    int m_total = 0;
};
