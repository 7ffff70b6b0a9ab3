#include "TBrowserManager.h"

#include "BrowserFrames.h"
#include "TCustomInternetBrowserWindow.h"
#include "platform/FreedMemory.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteShortcuts.h"
#include "stores/TFavoriteIconManager.h"

#include <QTimer>

#include <algorithm>

TBrowserManager::TBrowserManager(QObject* parent) : QObject(parent) {}

TBrowserManager::~TBrowserManager()
{
    CloseAll();
}

TBrowserEntry* TBrowserManager::FindBySite(const TMorvalenBaseClass* site) const
{
    for (const auto& entry : m_entries) {
        if (entry->Site == site)
            return entry.get();
    }
    return nullptr;
}

TBrowserEntry* TBrowserManager::FindByWindow(const TCustomInternetBrowserWindow* window) const
{
    for (const auto& entry : m_entries) {
        if (entry->Window == window)
            return entry.get();
    }
    return nullptr;
}

TBrowserEntry* TBrowserManager::FindById(uint64_t id) const
{
    for (const auto& entry : m_entries) {
        if (entry->Id == id)
            return entry.get();
    }
    return nullptr;
}

TCustomInternetBrowserWindow* TBrowserManager::WindowOfSite(const TMorvalenBaseClass* site) const
{
    const TBrowserEntry* entry = FindBySite(site);
    return entry ? entry->Window : nullptr;
}

TCustomInternetBrowserWindow* TBrowserManager::OpenBrowser(TMorvalenBaseClass& site, const QIcon& icon,
                                                           bool runMinimized)
{
    if (TBrowserEntry* entry = FindBySite(&site)) {
        entry->Window->ShowRestored();
        return entry->Window;
    }
    // The engine loads while the window is built and first drawn.
    BrowserFrames::Prepare(site.BrowserEngine());
    auto* window = new TCustomInternetBrowserWindow;
    try {
        Configure(*window, site, icon);
        window->show();
        if (runMinimized) {
            if (site.RunAsTrayIcon())
                window->HideToTray();
            else
                window->setWindowState(window->windowState() | Qt::WindowMinimized);
        }
        m_entries.push_back(std::make_unique<TBrowserEntry>(TBrowserEntry{&site, window, m_nextId++}));
    } catch (const std::exception& error) {
        qWarning("Can not open the browser window: %s", error.what());
        DestroyWindow(window);
        return nullptr;
    }
    emit SiteWindowChanged(&site, true);
    emit Changed();
    // Once whoever follows the site's windows has taken this one.
    if (!runMinimized)
        window->OpenPagesBeforeDrawn();
    return window;
}

void TBrowserManager::Configure(TCustomInternetBrowserWindow& window, TMorvalenBaseClass& site,
                                const QIcon& icon)
{
    window.SetBrowserEngine(site.BrowserEngine());
    window.SetSettings(m_settings);
    window.SetSiteSettings(m_siteSettings, site.ElementId());
    window.SetSiteTitle(site.Title());
    window.SetSiteIcon(icon);
    window.SetTakesPageIcon(
        site.FavIconFileName().isEmpty() ||
        site.FavIconFileName().compare(QLatin1String(TFavoriteIconManager::kDefaultFileName),
                                       Qt::CaseInsensitive) == 0);
    window.SetWindowClassName(TSiteShortcuts::WindowClass(site));
    window.SetTrayMode(site.RunAsTrayIcon());
    window.SetStartURL(site.URL());
    window.SetTabURLs(site.TabURLs());
    window.SetMonitor(site.MonitorChanges());
    window.SetMonitorInterval(MonitorIntervals.at(std::min<size_t>(site.MonitorInterval(), 3)));
    const TWindowPlacementRec& placement = site.WindowPlacement();
    // A new site has no placement yet: the window manager places it, at the minimum size.
    if (placement.Width > 0 && placement.Height > 0)
        window.setGeometry(placement.Left, placement.Top, std::max(placement.Width, window.minimumWidth()),
                           std::max(placement.Height, window.minimumHeight()));
    else
        window.resize(window.minimumSize());
    if (placement.WindowState == wsMaximized)
        window.setWindowState(Qt::WindowMaximized);
    else if (placement.WindowState == wsMinimized)
        window.setWindowState(Qt::WindowMinimized);
    Wire(window);
    emit WindowCreated(&window);
}

void TBrowserManager::Wire(TCustomInternetBrowserWindow& window)
{
    connect(&window, &TCustomInternetBrowserWindow::WindowClosed, this,
            [this, &window] { HandleWindowClosed(window); });
    connect(&window, &TCustomInternetBrowserWindow::ThumbnailCaptured, this,
            [this, &window](const QImage& page) {
                if (const TBrowserEntry* entry = FindByWindow(&window))
                    emit ThumbnailCaptured(entry->Site, page);
            });
    connect(&window, &TCustomInternetBrowserWindow::PageIconTaken, this, [this, &window](const QIcon& icon) {
        if (const TBrowserEntry* entry = FindByWindow(&window))
            emit PageIconTaken(entry->Site, icon);
    });
    connect(&window, &TCustomInternetBrowserWindow::PagesRemembered, this,
            [this, &window](const QStringList& addresses) {
                if (const TBrowserEntry* entry = FindByWindow(&window)) {
                    entry->Site->SetTabURLs(addresses);
                    entry->Site->Changed();
                }
            });
    connect(&window, &TCustomInternetBrowserWindow::SiteChanged, this, [this, &window] {
        if (const TBrowserEntry* entry = FindByWindow(&window))
            emit SiteChanged(*entry);
    });
    connect(&window, &TCustomInternetBrowserWindow::SleepingChanged, this, [this, &window](bool sleeping) {
        if (const TBrowserEntry* entry = FindByWindow(&window))
            emit SiteSleepingChanged(entry->Site, sleeping);
    });
}

void TBrowserManager::DestroyWindow(TCustomInternetBrowserWindow* window)
{
    // Destroyed without calling back.
    window->disconnect(this);
    delete window;
    ReleaseFreedMemoryLater(this);
}

TCustomInternetBrowserWindow* TBrowserManager::RemoveEntry(const TBrowserEntry* entry)
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [entry](const auto& item) { return item.get() == entry; });
    if (found == m_entries.end())
        return nullptr;
    TCustomInternetBrowserWindow* window = (*found)->Window;
    m_entries.erase(found);
    return window;
}

bool TBrowserManager::CloseBrowser(TMorvalenBaseClass& site)
{
    TBrowserEntry* entry = FindBySite(&site);
    if (!entry)
        return false;
    SaveWindowPlacement(site, *entry->Window);
    DestroyWindow(RemoveEntry(entry));
    emit SiteWindowChanged(&site, false);
    emit Changed();
    return true;
}

void TBrowserManager::DiscardBrowser(TMorvalenBaseClass& site)
{
    if (TBrowserEntry* entry = FindBySite(&site)) {
        DestroyWindow(RemoveEntry(entry));
        emit SiteWindowChanged(&site, false);
        emit Changed();
    }
}

void TBrowserManager::CloseAll()
{
    while (!m_entries.empty()) {
        TBrowserEntry* entry = m_entries.back().get();
        TMorvalenBaseClass* site = entry->Site;
        SaveWindowPlacement(*site, *entry->Window);
        DestroyWindow(RemoveEntry(entry));
        emit SiteWindowChanged(site, false);
    }
    emit Changed();
}

void TBrowserManager::MinimizeAll(bool toTray)
{
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        const TBrowserEntry& entry = **it;
        if (toTray || entry.Site->RunAsTrayIcon())
            entry.Window->HideToTray();
        else
            entry.Window->setWindowState(entry.Window->windowState() | Qt::WindowMinimized);
    }
}

void TBrowserManager::SaveWindowPlacement(TMorvalenBaseClass& site, TCustomInternetBrowserWindow& window)
{
    // A maximized or minimized window keeps the size it comes back to.
    const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    uint8_t state = wsNormal;
    if (window.isMinimized() || window.isHidden())
        state = window.SavedWindowState();
    else if (window.isMaximized())
        state = wsMaximized;
    const TWindowPlacementRec placement{normal.x(), normal.y(), normal.width(), normal.height(), state};
    if (placement == site.WindowPlacement())
        return;
    site.SetWindowPlacement(placement.Left, placement.Top, placement.Width, placement.Height,
                            placement.WindowState);
}

void TBrowserManager::SiteEdited(TMorvalenBaseClass& site)
{
    if (TCustomInternetBrowserWindow* window = WindowOfSite(&site))
        window->SetSiteTitle(site.Title());
}

void TBrowserManager::HandleWindowClosed(TCustomInternetBrowserWindow& window)
{
    TBrowserEntry* entry = FindByWindow(&window);
    if (!entry)
        return;
    TMorvalenBaseClass* site = entry->Site;
    SaveWindowPlacement(*site, window);
    RemoveEntry(entry);
    emit SiteWindowChanged(site, false);
    emit Changed();
    ReleaseFreedMemoryLater(this);
}

void TBrowserManager::HandleNotifyClick(uint64_t entryId)
{
    if (TBrowserEntry* entry = FindById(entryId))
        entry->Window->ShowRestored();
}
