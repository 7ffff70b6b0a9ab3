#include "TSiteBrowsers.h"

#include "browser/BrowserFrames.h"
#include "browser/TBrowserManager.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "browser/TUnreadCounts.h"
#include "browser/TfSiteWindows.h"
#include "menus/MVMenus.h"
#include "notify/TNotificationQuiet.h"
#include "notify/TSiteNotifications.h"
#include "pictures/TExIcon.h"
#include "platform/LauncherBadge.h"
#include "platform/WindowActivation.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteSettings.h"
#include "stores/TFavoriteIconManager.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPixmap>
#include <QPointer>

using namespace Qt::Literals::StringLiterals;

namespace {

// Every picture of an icon file (or resource), so that the window manager, the task bar and the
// tray each take the size they draw; null when none decodes.
QIcon IconOfEverySize(const QString& fileName, const QString& resourceName)
{
    QIcon result;
    try {
        TExIcon source;
        if (!fileName.isEmpty() && QFileInfo::exists(fileName))
            source.LoadFromFile(fileName);
        else
            source.LoadFromResourceName(resourceName);
        for (int index = 0; index < source.ImageCount(); ++index) {
            source.SetCurrentIndex(index);
            const QImage picture = source.Handle();
            if (!picture.isNull())
                result.addPixmap(QPixmap::fromImage(picture));
        }
    } catch (const std::exception&) {
        return {};
    }
    return result;
}

// The site's favorite icon as its window shows it, at every size the site's icon has; the
// tile's picture when the file gives none, and none when the tile has no usable one either.
QIcon SiteIcon(const TMVWebElement& tile, const QString& iconFolder)
{
    const TMorvalenBaseClass* site = tile.MorvalenItem();
    const QIcon sizes = IconOfEverySize(
        site && !site->FavIconFileName().isEmpty() ? iconFolder + site->FavIconFileName() : QString(),
        QString::fromLatin1(TFavoriteIconManager::kDefaultIconResource));
    if (!sizes.isNull())
        return sizes;
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

TSiteBrowsers::TSiteBrowsers(TApplicationsSettings& settings, const QString& dataFolder)
    : m_settings(settings), m_manager(std::make_unique<TBrowserManager>())
{
    BrowserFrames::SetDataFolder(dataFolder);
    m_manager->SetSettings(&settings);
    TSiteNotificationOptions options = TestNotificationOptions();
    options.IconFolder = m_iconFolder = dataFolder + u"FavIcons/"_s;
    m_notifications = std::make_unique<TSiteNotifications>(*m_manager, options);
    m_quiet = std::make_unique<TNotificationQuiet>(nullptr);
    m_unreadCounts = std::make_unique<TUnreadCounts>(*m_manager);
    m_launcherBadge = TLauncherBadge::ForDesktopEntry(u"morvalen-desktop.desktop"_s);
    // Every site window's Options menu switches its site's notifications.
    QObject::connect(m_manager.get(), &TBrowserManager::WindowCreated, m_manager.get(),
                     [this](TCustomInternetBrowserWindow* window) { AddMuteItem(*window); });
    QObject::connect(m_notifications.get(), &TSiteNotifications::WebNotificationArrived, m_unreadCounts.get(),
                     [counts = m_unreadCounts.get()](TMorvalenBaseClass* site) { counts->AddUnseen(*site); });
    // The counts are kept for the next run, where they show as old until the windows open.
    QObject::connect(
        m_unreadCounts.get(), &TUnreadCounts::CountChanged, m_unreadCounts.get(),
        [this](TMorvalenBaseClass* site, const TUnreadCounts::TCount& count) {
            if (!m_siteSettings)
                return;
            const QString kept = count.Count > 0 ? QString::number(count.Count) : QString();
            if (m_siteSettings->Value(site->ElementId(), QString::fromUtf16(kUnreadCount)) != kept)
                m_siteSettings->SetValue(site->ElementId(), QString::fromUtf16(kUnreadCount), kept);
        });
    QObject::connect(m_unreadCounts.get(), &TUnreadCounts::TotalChanged, m_unreadCounts.get(),
                     [badge = m_launcherBadge.get()](int total) { badge->SetCount(total); });
}

void TSiteBrowsers::AddMuteItem(TCustomInternetBrowserWindow& window)
{
    QMenu* options = window.MiscMenu();
    if (!options || window.ElementId().isEmpty())
        return;
    const QString elementId = window.ElementId();
    QAction* mute = options->addAction(u"Mute notifications"_s);
    mute->setObjectName(u"miMuteNotifications"_s);
    mute->setCheckable(true);
    QObject::connect(mute, &QAction::triggered, mute,
                     [this, elementId](bool on) { m_quiet->SetMuted(elementId, on); });
    QObject::connect(options, &QMenu::aboutToShow, mute,
                     [this, mute, elementId] { mute->setChecked(m_quiet->Muted(elementId)); });
    if (auto* menu = qobject_cast<TMVPopupMenu*>(options))
        menu->PrepareItems();
}

void TSiteBrowsers::RestoreUnreadCount(TMorvalenBaseClass& site)
{
    if (m_siteSettings)
        m_unreadCounts->SetOldCount(
            site, m_siteSettings->Value(site.ElementId(), QString::fromUtf16(kUnreadCount)).toInt());
}

void TSiteBrowsers::SetSiteSettings(TSiteSettings* settings)
{
    m_siteSettings = settings;
    m_manager->SetSiteSettings(settings);
    m_notifications->SetSiteSettings(settings);
    m_notifications->SetQuiet(nullptr);
    m_quiet = std::make_unique<TNotificationQuiet>(settings);
    m_notifications->SetQuiet(m_quiet.get());
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
    // It reads the manager's windows.
    delete m_siteWindows;
    m_manager->disconnect();
    m_manager->CloseAll();
    m_notifications.reset();
}

bool TSiteBrowsers::HasBrowser(const TMVWebElement* tile) const
{
    return tile && m_manager->HasBrowser(tile->MorvalenItem());
}

int TSiteBrowsers::OpenBrowserCount() const
{
    return m_manager->Count();
}

TCustomInternetBrowserWindow* TSiteBrowsers::OpenSite(TMVWebElement& tile, bool minimized)
{
    TMorvalenBaseClass* site = tile.MorvalenItem();
    return site ? m_manager->OpenBrowser(*site, SiteIcon(tile, m_iconFolder), minimized) : nullptr;
}

void TSiteBrowsers::CloseSiteBrowser(TMVWebElement& tile)
{
    if (TMorvalenBaseClass* site = tile.MorvalenItem())
        m_manager->CloseBrowser(*site);
}

void TSiteBrowsers::SiteTitleChanged(TMVWebElement& tile)
{
    if (TMorvalenBaseClass* site = tile.MorvalenItem()) {
        m_manager->SiteEdited(*site);
        m_unreadCounts->Refresh(*site);
    }
}

void TSiteBrowsers::SiteRemoving(TMVWebElement& tile)
{
    if (TMorvalenBaseClass* site = tile.MorvalenItem()) {
        m_manager->DiscardBrowser(*site);
        m_unreadCounts->Forget(site->ElementId());
    }
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

TfSiteWindows* TSiteBrowsers::ShowSiteWindows(QWidget* mainWindow)
{
    if (!m_siteWindows) {
        m_siteWindows = new TfSiteWindows(*m_manager, mainWindow);
        m_siteWindows->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_siteWindows->show();
    m_siteWindows->raise();
    m_siteWindows->activateWindow();
    return m_siteWindows;
}

TCustomInternetBrowserWindow* TSiteBrowsers::OpenWebPage(const QString& address, const QString& title,
                                                         bool flash, QWidget* mainWindow)
{
    auto* window = new TCustomInternetBrowserWindow;
    window->SetBrowserEngine(uint8_t(m_settings.DefaultRenderEngine()));
    window->SetSettings(&m_settings);
    window->SetGeneralSettings(m_manager->SiteSettings());
    window->SetSiteTitle(title);
    window->SetStartURL(address);
    window->SetStandalone(true);
    window->setWindowIcon(QApplication::windowIcon());
    window->setWindowState(Qt::WindowMaximized);
    // The user's action asked for the page (a sign-up after an install, a link of the main
    // window): it comes in front of the main window, on Wayland too (Qt asks the compositor
    // with the user's last input). The task bar still marks it when the window manager keeps
    // it behind.
    WindowActivation::BringToFront(window);
    if (flash && mainWindow)
        QApplication::alert(window, 0);
    return window;
}

void TSiteBrowsers::FillTrayMenu(QMenu& menu, QAction* delimiter, const std::vector<TMVWebElement*>& tiles,
                                 const std::function<void(TMVWebElement&)>& run)
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
        item->setCheckable(true);
        item->setChecked(HasBrowser(tile));
        QObject::connect(item, &QAction::triggered, &menu, [run, tile = QPointer<TMVWebElement>(tile)] {
            if (tile)
                run(*tile);
        });
        menu.insertAction(delimiter, item);
    }
}
