#include "TUnreadCounts.h"

#include "BrowserTitles.h"
#include "TBrowserManager.h"
#include "TBrowserTab.h"
#include "TBrowserTray.h"
#include "TCustomInternetBrowserWindow.h"
#include "TfrmInternetBrowser.h"
#include "UnreadCount.h"
#include "sites/TMorvalenBaseClass.h"

#include <algorithm>

TUnreadCounts::TUnreadCounts(TBrowserManager& manager, QObject* parent) : QObject(parent), m_manager(manager)
{
    connect(&manager, &TBrowserManager::SiteWindowChanged, this, &TUnreadCounts::WindowChanged);
    connect(&manager, &TBrowserManager::SiteChanged, this, [this](const TBrowserEntry& entry) {
        if (entry.Site)
            AddUnseen(*entry.Site);
    });
}

void TUnreadCounts::AddUnseen(TMorvalenBaseClass& site)
{
    const QPointer<TCustomInternetBrowserWindow> window = m_windows.value(&site);
    // What arrives for the window the user is looking at is seen.
    if (!window || window->WindowActive())
        return;
    int& unseen = m_unseen[site.ElementId()];
    unseen = std::min(unseen + 1, UnreadCount::kMaxCount);
    Recount(site, *window);
}

int TUnreadCounts::Total() const
{
    int total = 0;
    for (const TCount& count : m_counts)
        total = std::min(total + count.Count, UnreadCount::kMaxCount);
    return total;
}

void TUnreadCounts::Forget(const QString& elementId)
{
    m_unseen.remove(elementId);
    if (m_counts.remove(elementId) && Total() != m_total) {
        m_total = Total();
        emit TotalChanged(m_total);
    }
}

void TUnreadCounts::SetOldCount(TMorvalenBaseClass& site, int count)
{
    if (count > 0 && !m_windows.value(&site))
        Store(&site, {std::min(count, UnreadCount::kMaxCount), true});
}

void TUnreadCounts::Refresh(TMorvalenBaseClass& site)
{
    if (const QPointer<TCustomInternetBrowserWindow> window = m_windows.value(&site))
        Recount(site, *window);
}

void TUnreadCounts::WindowChanged(TMorvalenBaseClass* site, bool open)
{
    if (QPointer<TCustomInternetBrowserWindow> old = m_windows.take(site))
        old->disconnect(this);
    if (!open) {
        m_unseen.remove(site->ElementId());
        TCount count = m_counts.value(site->ElementId());
        if (count.Count > 0) {
            count.Old = true;
            Store(site, count);
        }
        return;
    }
    TCustomInternetBrowserWindow* window = m_manager.WindowOfSite(site);
    if (!window)
        return;
    m_windows.insert(site, window);
    connect(window, &TCustomInternetBrowserWindow::PageTitlesChanged, this,
            [this, site, window] { Recount(*site, *window); });
    connect(window, &TCustomInternetBrowserWindow::ActivationChanged, this,
            [this, site, window](bool active) {
                if (active && m_unseen.remove(site->ElementId()))
                    Recount(*site, *window);
            });
}

void TUnreadCounts::Recount(TMorvalenBaseClass& site, TCustomInternetBrowserWindow& window)
{
    TCount count;
    for (int index = 0; index < window.TabCount(); ++index)
        count.Count = std::max(count.Count, UnreadCount::FromTitle(window.Tab(index)->Frame()->Title()));
    count.Count = std::max(count.Count, m_unseen.value(site.ElementId()));
    window.setWindowTitle(
        UnreadCount::WithCount(BrowserTitles::WindowCaption(window.SiteTitle()), count.Count));
    // A hint that quotes the page title has its count already.
    const QString hint = window.TrayHint();
    if (UnreadCount::FromTitle(hint) != count.Count)
        window.Tray()->SetHint(UnreadCount::WithCount(hint, count.Count));
    Store(&site, count);
}

void TUnreadCounts::Store(TMorvalenBaseClass* site, const TCount& count)
{
    const QString id = site->ElementId();
    // No count is a count of 0, old or not.
    const bool changed = m_counts.value(id) != count && (count.Count > 0 || m_counts.contains(id));
    if (count.Count > 0)
        m_counts.insert(id, count);
    else
        m_counts.remove(id);
    if (changed)
        emit CountChanged(site, count);
    if (const int total = Total(); total != m_total) {
        m_total = total;
        emit TotalChanged(total);
    }
}
