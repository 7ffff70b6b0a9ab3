#include "TSiteBrowsers.h"

#include "browser/BrowserFrames.h"
#include "browser/TBrowserManager.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "notify/TSiteNotifications.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPixmap>

TSiteBrowsers::TSiteBrowsers(TApplicationsSettings& settings, const QString& dataFolder)
    : m_settings(settings), m_manager(std::make_unique<TBrowserManager>())
{
    BrowserFrames::SetDataFolder(dataFolder);
    m_manager->SetSettings(&settings);
    m_manager->OnChange = [this](TBrowserManager& manager) {
        if (OnCountChanged)
            OnCountChanged(manager.Count());
    };
    m_notifications = std::make_unique<TSiteNotifications>(*m_manager, TestNotificationOptions());
}

TSiteNotificationOptions TSiteBrowsers::TestNotificationOptions()
{
    // The end-to-end tests watch a page without waiting minutes for it: they shorten the
    // change monitor's waits through the environment, never through a setting.
    TSiteNotificationOptions options;
    const QList<QByteArray> waits = qgetenv("MORVALEN_TEST_MONITOR_MS").split(',');
    if (waits.size() == 2) {
        options.MonitorBaselineDelayMs = waits[0].toUInt();
        options.MonitorIntervalMs = waits[1].toUInt();
    }
    return options;
}

TSiteBrowsers::~TSiteBrowsers()
{
    m_manager->OnChange = nullptr;
    m_manager->CloseAll();
    m_notifications.reset();
}

bool TSiteBrowsers::HasBrowser(const TMVWebElement* tile) const
{
    return m_manager->FindByTile(tile) != nullptr;
}

int TSiteBrowsers::OpenBrowserCount() const
{
    return m_manager->Count();
}

void TSiteBrowsers::RunSite(TMVWebElement& tile)
{
    m_manager->OpenBrowser(tile, false);
    if (TMorvalenBaseClass* record = tile.MorvalenItem()) {
        record->SetRunCount(record->RunCount() + 1);
        if (SaveSites)
            SaveSites();
    }
}

TCustomInternetBrowserWindow* TSiteBrowsers::OpenElement(TMVWebElement& tile, bool minimized)
{
    return m_manager->OpenBrowser(tile, minimized);
}

void TSiteBrowsers::CloseSiteBrowser(TMVWebElement& tile)
{
    m_manager->CloseBrowser(tile);
    tile.SetHasBrowser(false);
}

void TSiteBrowsers::SiteTitleChanged(TMVWebElement& tile)
{
    if (TCustomInternetBrowserWindow* window = m_manager->WindowOfTile(&tile); window && tile.MorvalenItem())
        window->SetSiteTitle(tile.MorvalenItem()->Title());
}

void TSiteBrowsers::SiteRemoving(TMVWebElement& tile)
{
    TCustomInternetBrowserWindow* window = m_manager->WindowOfTile(&tile);
    if (!window)
        return;
    // The record is going away: nothing is written into it any more.
    TMorvalenBaseClass* record = tile.MorvalenItem();
    auto saved = record ? std::exchange(record->OnChange, nullptr) : nullptr;
    m_manager->CloseBrowser(tile);
    if (record)
        record->OnChange = std::move(saved);
    tile.SetHasBrowser(false);
}

void TSiteBrowsers::MinimizeAll()
{
    m_manager->MinimizeAll(false);
}

void TSiteBrowsers::HideAllToTray()
{
    m_manager->MinimizeAll(true);
}

void TSiteBrowsers::CloseAll()
{
    m_manager->CloseAll();
}

TCustomInternetBrowserWindow* TSiteBrowsers::OpenWebPage(const QString& address, const QString& title,
                                                         bool flash, QWidget* mainWindow)
{
    auto* window = new TCustomInternetBrowserWindow;
    window->SetBrowserEngine(uint8_t(m_settings.DefaultRenderEngine()));
    window->SetSettings(&m_settings);
    window->SetSiteTitle(title);
    window->SetStartURL(address);
    window->SetStandalone(true);
    window->setWindowIcon(QApplication::windowIcon());
    window->setWindowState(Qt::WindowMaximized);
    window->show();
    if (flash && mainWindow) {
        mainWindow->activateWindow();
        QApplication::alert(window, 0);
    }
    return window;
}

void TSiteBrowsers::FillTrayMenu(QMenu& menu, QAction* delimiter, const std::vector<TMVWebElement*>& tiles)
{
    for (QAction* item : menu.actions()) {
        if (item == delimiter)
            break;
        menu.removeAction(item);
        item->deleteLater();
    }
    for (size_t index = 0; index < tiles.size(); ++index) {
        TMVWebElement* tile = tiles[index];
        if (!tile->MorvalenItem())
            continue;
        auto* item = new QAction(tile->MorvalenItem()->Title(), &menu);
        item->setData(int(index));
        const bool open = m_manager->FindByTile(tile) != nullptr;
        item->setCheckable(true);
        item->setChecked(open);
        QObject::connect(item, &QAction::triggered, &menu, [this, tile] { RunSite(*tile); });
        menu.insertAction(delimiter, item);
    }
}
