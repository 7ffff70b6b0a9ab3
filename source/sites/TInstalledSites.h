#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QScrollArea;
class QToolButton;
class QWidget;
class TCatalogViews;
class TFavoriteIconManager;
class TFileCacheManager;
class TMVFrame;
class TMVPopupMenu;
class TMVVisualManager;
class TMVWebElement;
class TMorvalenBaseClass;
class TSiteFindEdit;
class TThumbnailManager;
class TWebApplicationClass;

// The three faces of the site dialog.
enum class TSiteDialogMode
{
    CreateNew,  // "Create new site"
    InstallNew, // "Install new site", from the catalog
    Edit,       // "Edit site"
};

// What the commands hand the site dialog, and what it hands back.
struct TSiteDialogRequest
{
    TSiteDialogMode Mode = TSiteDialogMode::CreateNew;
    TMorvalenBaseClass* Record = nullptr;
    // Installing: the caption of the "Sign up at " box; empty when the application has no
    // sign-up address (the box is hidden then).
    QString SignUpCaption;
    // Whether the sign-up box is ticked; the dialog writes it back.
    bool SignUp = false;
};

// What the Installed tab needs of the rest of the program. Each hook may be unset; a
// command whose hook is missing is disabled (or, where noted, does less).
struct TInstalledSitesHooks
{
    // The site dialog, modal. True on "Ok", with the record as the user left it. Unset:
    // "Add site" and "Properties..." are disabled, and installing from the catalog takes
    // the catalog's record as it is.
    std::function<bool(TSiteDialogRequest& request)> ExecuteSiteDialog;
    // The thumbnail capture form, modal, on address at size. True with the captured page's
    // picture on "Ok". Unset: "Update thumbnail..." is disabled.
    std::function<bool(const QString& address, QSize size, QImage& page)> CaptureThumbnail;

    // The browser windows. RunSite opens the site's window or brings it forward;
    // CloseSiteBrowser closes it. Unset: the tile's run and close requests do nothing and
    // "Run site in browser" is disabled.
    std::function<void(TMVWebElement& tile)> RunSite;
    std::function<void(TMVWebElement& tile)> CloseSiteBrowser;
    std::function<void()> MinimizeAllBrowsers;
    std::function<void()> HideAllBrowsersToTray;
    std::function<void()> CloseAllBrowsers;
    std::function<void()> ShowSiteWindows;
    // The site is about to be removed: its open browser window closes without writing into
    // it. Unset: CloseSiteBrowser.
    std::function<void(TMVWebElement& tile)> SiteRemoving;
    // The site's title was edited: its open browser window takes it as caption.
    std::function<void(TMVWebElement& tile)> SiteTitleChanged;
    // Whether a site's notifications are muted, and the tile menu's switch of it; without
    // them the menu has no such item.
    std::function<bool(const TMorvalenBaseClass& record)> SiteMuted;
    std::function<void(const TMorvalenBaseClass& record, bool muted)> SetSiteMuted;

    // A record was read from the data file, before its tile exists (shortcut detection).
    std::function<void(TMorvalenBaseClass& record)> ItemLoaded;
    // "Rate site...". Answers whether the site was rated (the data file is saved then).
    std::function<bool(TMorvalenBaseClass& record)> RateSite;

    // The main window.
    std::function<void(const QString& markup)> SetStatusText;
    std::function<void(const QString& address, const QString& title, bool flash)> OpenWebPage;
    std::function<void()> MarkConfigChanged;
    // Activates the "Installed" tab.
    std::function<void()> ShowInstalledPage;
    // The application of the active catalog tab's focused row, or null.
    std::function<TWebApplicationClass*()> FocusedApplication;
    // The yes-or-no question: text, text2 (may hold "<img 1>", the icon). True for "Yes".
    // Unset: the program's confirmation dialog.
    std::function<bool(const QString& text, const QString& text2, const QImage& icon)> Confirm;
};

// The "Installed" tab: its tool header ("Browsers", "Add site", "Arrange"), the site finder,
// the frame with the scroll box of tiles, the tile menu, the drag menu, the background menu,
// the browsers menu, and the commands on installed sites. It owns the installed-sites
// manager; the main window owns it and fills in the hooks.
class TInstalledSites final : public QObject
{
    Q_OBJECT

public:
    static constexpr char16_t kCountText[] =
        u"Total installed sites: %1. Use right click on site or background for more options.";

    // Builds into page (an empty tab page). The stores and the cache outlive this object.
    TInstalledSites(QWidget& page, TThumbnailManager& thumbnails, TFavoriteIconManager& favoriteIcons,
                    TFileCacheManager& cache, TInstalledSitesHooks hooks, QObject* parent = nullptr);
    ~TInstalledSites() override;

    TMVVisualManager& Manager() const { return *m_manager; }
    TInstalledSitesHooks& Hooks() { return m_hooks; }

    // Reads the data file; the arrange mode must be set on the manager before.
    void LoadFromFile(const QString& fileName);
    // The count text in the frame's help area and the scroll box's accessible description.
    void ShowInstalledCount();
    // Enables "Browsers" while at least one browser window is open.
    // The browser manager says whether a site's window is open; the tile shows it.
    void SiteBrowserChanged(const TMorvalenBaseClass& site, bool open);
    void SiteUnreadCountChanged(const TMorvalenBaseClass& site, int count, bool old);
    void SiteSleepingChanged(const TMorvalenBaseClass& site, bool sleeping);
    // A site's window captured its page: the site's thumbnail.
    // The page's own icon, for a site that still has the default one: kept in the icon store
    // as a fetched favicon is, and shown on the tile.
    void SitePageIcon(TMorvalenBaseClass& site, const QIcon& icon);
    void SiteThumbnailCaptured(const TMorvalenBaseClass& site, const QImage& page);
    void SetOpenBrowserCount(int count);

    // The commands.
    void RunSite(TMVWebElement& tile);
    void CloseSiteBrowser(TMVWebElement& tile);
    void AddSite();
    // "Add site" in either toolbar: installs the focused catalog application if there is
    // one, else adds a site of the user's own.
    void AddSiteOrInstall();
    // Installs a catalog application, or goes to the site already installed for it. True
    // when a site for it exists afterwards.
    bool InstallApplication(TWebApplicationClass& application);
    // "Install" on a catalog tab: installs the focused application; afterwards the noted tab's
    // links bar shows it installed, or, when nothing was installed, that tab returns.
    void InstallFromCatalog(TCatalogViews& views);
    void EditSite(TMVWebElement& tile);
    void RemoveSite(TMVWebElement& tile);
    void UpdateThumbnail(TMVWebElement& tile);
    // The site installed for the application: the one with its application address, or with
    // the address installing it gives (the links bar's "Installed").
    TMVWebElement* InstalledTile(const TWebApplicationClass& application) const;
    bool IsInstalled(const TWebApplicationClass& application) const;

    // The parts, by the names the layout uses (also for tests).
    QScrollArea& ScrollBox() const { return *m_scrollBox; }
    TMVFrame& Frame() const { return *m_frame; }
    TSiteFindEdit& Finder() const { return *m_finder; }
    TMVPopupMenu& TileMenu() const { return *m_pmMVViewer; }
    TMVPopupMenu& DragMenu() const { return *m_pmCustomDrag; }
    TMVPopupMenu& HoldAreaMenu() const { return *m_pmHoldArea; }
    TMVPopupMenu& BrowsersMenu() const { return *m_pmOpenedBrowsers; }
    QToolButton& BrowsersButton() const { return *m_tbBrowsers; }
    QAction& AddSiteAction() const { return *m_tbAddSite; }
    // Prepares the tile menu for tile as its opening does.
    void PrepareTileMenu(TMVWebElement& tile);
    // Prepares the background menu's check marks as its opening does.
    void PrepareHoldAreaMenu();

private:
    void BuildPage(QWidget& page);
    QWidget* BuildToolHeader(QWidget& page);
    void BuildMenus();
    void ConnectManager();
    void UpdateCommands();
    TMVWebElement* MenuTile() const;
    bool Ask(const QString& text, const QString& text2, const QImage& icon);
    // The catalog's cached screenshot as the site's thumbnail under address.
    void PrepareThumbnail(const TWebApplicationClass& application, const QString& address);
    void StoreThumbnail(const QString& address, const QImage& page);

    TThumbnailManager& m_thumbnails;
    TFavoriteIconManager& m_favoriteIcons;
    TFileCacheManager& m_cache;
    TInstalledSitesHooks m_hooks;
    std::unique_ptr<TMVVisualManager> m_manager;

    QScrollArea* m_scrollBox = nullptr;
    TMVFrame* m_frame = nullptr;
    TSiteFindEdit* m_finder = nullptr;
    QToolButton* m_tbBrowsers = nullptr;
    QAction* m_tbAddSite = nullptr;
    QToolButton* m_tbArrange = nullptr;
    TMVPopupMenu* m_pmMVViewer = nullptr;
    TMVPopupMenu* m_pmCustomDrag = nullptr;
    TMVPopupMenu* m_pmHoldArea = nullptr;
    TMVPopupMenu* m_pmOpenedBrowsers = nullptr;
    QAction* m_miTitle = nullptr;
    QAction* m_miRun = nullptr;
    QAction* m_miClose = nullptr;
    QAction* m_miMute = nullptr;
    QAction* m_miUpdateThumbnail = nullptr;
    QAction* m_miRate = nullptr;
    QAction* m_miProperties = nullptr;
    QAction* m_miByName = nullptr;
    QAction* m_miByPopularity = nullptr;
    bool m_damageReported = false;
};
