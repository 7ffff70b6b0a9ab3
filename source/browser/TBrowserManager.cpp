#include "TBrowserManager.h"

#include "TCustomInternetBrowserWindow.h"
#include "common/Errors.h"
#include "pictures/MakeThumbnail.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "stores/TThumbnailManager.h"

#include <QIcon>
#include <QPixmap>

#include <algorithm>

namespace {

// The site's favorite icon as the window shows it; none when the tile has no usable one.
QIcon SiteIcon(const TMVWebElement& tile)
{
    try {
        TExIcon icon;
        icon.Assign(tile.Icon());
        if (icon.Empty())
            return {};
        const QImage picture = icon.Handle();
        return picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture));
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

TBrowserManager::TBrowserManager() = default;

TBrowserManager::~TBrowserManager()
{
    CloseAll();
}

TBrowserEntry* TBrowserManager::FindByTile(const TMVWebElement* tile) const
{
    for (const auto& entry : m_entries) {
        if (entry->Tile == tile)
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

TCustomInternetBrowserWindow* TBrowserManager::WindowOfTile(const TMVWebElement* tile) const
{
    const TBrowserEntry* entry = FindByTile(tile);
    return entry ? entry->Window : nullptr;
}

TCustomInternetBrowserWindow* TBrowserManager::OpenBrowser(TMVWebElement& tile, bool runMinimized)
{
    if (TBrowserEntry* entry = FindByTile(&tile)) {
        entry->Window->ShowRestored();
        return entry->Window;
    }
    TMorvalenBaseClass* record = tile.MorvalenItem();
    if (!record)
        return nullptr;
    auto* window = new TCustomInternetBrowserWindow;
    try {
        Configure(*window, tile);
        window->show();
        if (runMinimized) {
            if (record->RunAsTrayIcon())
                window->HideToTray();
            else
                window->setWindowState(window->windowState() | Qt::WindowMinimized);
        }
        tile.SetHasBrowser(true);
        m_entries.push_back(std::make_unique<TBrowserEntry>(TBrowserEntry{&tile, window, m_nextId++}));
    } catch (const std::exception& error) {
        qWarning("Can not open the browser window: %s", error.what());
        DestroyWindow(window);
        return nullptr;
    }
    if (OnChange)
        OnChange(*this);
    return window;
}

void TBrowserManager::Configure(TCustomInternetBrowserWindow& window, TMVWebElement& tile)
{
    const TMorvalenBaseClass& record = *tile.MorvalenItem();
    window.SetBrowserEngine(record.BrowserEngine());
    window.SetSettings(m_settings);
    window.SetSiteTitle(record.Title());
    window.SetSiteIcon(SiteIcon(tile));
    window.SetTrayMode(record.RunAsTrayIcon());
    window.SetStartURL(record.URL());
    window.SetTabURLs(record.TabURLs());
    window.SetMonitor(record.MonitorChanges());
    window.SetMonitorInterval(MonitorIntervals.at(std::min<size_t>(record.MonitorInterval(), 3)));
    const TWindowPlacementRec& placement = record.WindowPlacement();
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

    window.OnWindowClosed = [this](TCustomInternetBrowserWindow& sender) {
        HandleWindowClosed(sender);
    };
    window.OnThumbnail = [this](TCustomInternetBrowserWindow& sender, const QImage& bitmap) {
        HandleThumbnail(sender, bitmap);
    };
    window.OnRememberPages = [this](TCustomInternetBrowserWindow& sender, const QStringList& addresses) {
        HandleRememberPages(sender, addresses);
    };
    window.OnSiteChanged = [this](TCustomInternetBrowserWindow& sender) {
        HandleSiteChanged(sender);
    };
    // Every navigation may pass.
    window.OnNavigateURL = [](TCustomInternetBrowserWindow&, const QString&, bool&) {
    };
    if (OnWindowCreated)
        OnWindowCreated(*this, window);
}

void TBrowserManager::DestroyWindow(TCustomInternetBrowserWindow* window)
{
    // Destroyed without calling back.
    window->OnWindowClosed = nullptr;
    delete window;
}

void TBrowserManager::RemoveEntry(const TBrowserEntry* entry)
{
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [entry](const auto& item) { return item.get() == entry; });
    if (found != m_entries.end())
        m_entries.erase(found);
}

bool TBrowserManager::CloseBrowser(TMVWebElement& tile)
{
    TBrowserEntry* entry = FindByTile(&tile);
    if (!entry)
        return false;
    SaveWindowPlacement(tile, *entry->Window);
    TCustomInternetBrowserWindow* window = entry->Window;
    RemoveEntry(entry);
    DestroyWindow(window);
    if (OnChange)
        OnChange(*this);
    return true;
}

void TBrowserManager::CloseAll()
{
    while (!m_entries.empty()) {
        TBrowserEntry* entry = m_entries.back().get();
        entry->Tile->SetHasBrowser(false);
        SaveWindowPlacement(*entry->Tile, *entry->Window);
        TCustomInternetBrowserWindow* window = entry->Window;
        m_entries.pop_back();
        DestroyWindow(window);
    }
    if (OnChange)
        OnChange(*this);
}

void TBrowserManager::MinimizeAll(bool toTray)
{
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        const TBrowserEntry& entry = **it;
        const TMorvalenBaseClass* record = entry.Tile->MorvalenItem();
        if (toTray || (record && record->RunAsTrayIcon()))
            entry.Window->HideToTray();
        else
            entry.Window->setWindowState(entry.Window->windowState() | Qt::WindowMinimized);
    }
}

void TBrowserManager::SaveWindowPlacement(TMVWebElement& tile, TCustomInternetBrowserWindow& window)
{
    TMorvalenBaseClass* record = tile.MorvalenItem();
    if (!record)
        return;
    // A maximized or minimized window keeps the size it comes back to.
    const QRect normal = window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    uint8_t state = wsNormal;
    if (window.isMinimized() || window.isHidden())
        state = window.SavedWindowState();
    else if (window.isMaximized())
        state = wsMaximized;
    const TWindowPlacementRec placement{normal.x(), normal.y(), normal.width(), normal.height(), state};
    if (placement == record->WindowPlacement())
        return;
    record->SetWindowPlacement(placement.Left, placement.Top, placement.Width, placement.Height,
                               placement.WindowState);
}

void TBrowserManager::HandleWindowClosed(TCustomInternetBrowserWindow& window)
{
    TBrowserEntry* entry = FindByWindow(&window);
    if (!entry)
        return;
    TMVWebElement& tile = *entry->Tile;
    SaveWindowPlacement(tile, window);
    tile.SetHasBrowser(false);
    RemoveEntry(entry);
    if (OnChange)
        OnChange(*this);
}

void TBrowserManager::HandleThumbnail(TCustomInternetBrowserWindow& window, const QImage& bitmap)
{
    const TBrowserEntry* entry = FindByWindow(&window);
    if (!entry || !entry->Tile->MorvalenItem())
        return;
    const QImage thumbnail = MakeThumbnail(bitmap);
    if (thumbnail.isNull())
        return;
    if (TThumbnailManager* store = entry->Tile->ThumbnailManager()) {
        try {
            store->Store(entry->Tile->MorvalenItem()->URL(), thumbnail);
        } catch (const EMorvalenError& error) {
            qWarning("%s", qPrintable(error.Message()));
        }
    }
    entry->Tile->SetThumbnail(thumbnail);
    entry->Tile->update();
}

void TBrowserManager::HandleRememberPages(TCustomInternetBrowserWindow& window, const QStringList& addresses)
{
    const TBrowserEntry* entry = FindByWindow(&window);
    if (entry && entry->Tile->MorvalenItem())
        entry->Tile->MorvalenItem()->SetTabURLs(addresses);
}

void TBrowserManager::HandleSiteChanged(TCustomInternetBrowserWindow& window)
{
    TBrowserEntry* entry = FindByWindow(&window);
    if (entry && OnSiteChanged)
        OnSiteChanged(*this, *entry);
}

void TBrowserManager::HandleNotifyClick(uint64_t entryId)
{
    if (TBrowserEntry* entry = FindById(entryId))
        entry->Window->ShowRestored();
}
