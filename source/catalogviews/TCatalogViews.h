#pragma once

#include "catalog/TWebApplicationList.h"
#include "catalog/TWebCategoryTree.h"
#include "common/TReadQueue.h"
#include "stores/TCacheFileEvent.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TCatalogDetailsPanel;
class TCatalogListView;
class TCatalogSearch;
class TFileCacheManager;
class TMVFrame;
class TMVPopupMenu;
class TMVWebItemPopupMenu;
class TWebApplicationClass;
class TWebCategoryClass;

// What the catalog views need of the main window.
struct TCatalogHooks
{
    // The status line (markup).
    std::function<void(const QString& text)> SetStatusText;
    // The busy indicator and the count of background jobs of a refresh.
    std::function<void()> StartBusy;
    std::function<void(int count)> SetPending;
    std::function<void()> CountDown;
    // Ends the busy state at once (the refresh cannot go on).
    std::function<void()> StopBusy;
    // What the status line says once the busy indicator has stopped: empty while the server
    // answers, else that it could not be reached (markup).
    std::function<void(const QString& text)> SetOfflineNote;
    // The window is hidden in the notification area: no busy indicator then.
    std::function<bool()> IsHiddenToTray;
    // Opens an address in a browser window of the program.
    std::function<void(const QString& address, const QString& title, bool flash)> OpenWebPage;
    std::function<void(TWebApplicationClass& application)> ShowScreenshot;
    std::function<void(TWebApplicationClass& application)> RecommendApplication;
    // "Install": installs the application as a site, or goes to the installed one.
    std::function<void(TWebApplicationClass& application)> InstallApplication;
    // Whether an installed site has the application's address.
    std::function<bool(const TWebApplicationClass& application)> IsInstalled;
    // A list tab has rows and shows (page index).
    std::function<void(int page)> ListShown;
};

// The catalog tabs of the main window: "What's New", "Recommended", "Popular", "Highest
// Rated" and "Categories", each a list with a details panel, filled by a refresh that reads
// the catalog files from the server through the file cache. Also the catalog entry menu
// (pmWebSite) and the tab strip's menu (pmTabs).
//
// The views take over the application list's two events: categories come from the tree,
// and every change of the list recounts the applications of each category.
class TCatalogViews final : public QObject
{
    Q_OBJECT

public:
    // pages holds the five catalog pages at 0 to 4 in the order above (empty, or with an empty
    // box layout) and "Installed" at 5; the views fill the five. serverAddress is
    // "http://host:port" without a trailing "/". Throws EMorvalenError without the pages.
    TCatalogViews(QTabWidget& pages, TFileCacheManager& cache, TWebCategoryTree& tree,
                  TWebApplicationList& applications, QString serverAddress, TCatalogHooks hooks,
                  QObject* parent = nullptr);
    ~TCatalogViews() override;

    // "Refresh": the category list, then the four lists and the cached category files.
    void RefreshCatalog();
    bool RefreshInProgress() const { return m_refreshing; }

    // The focused application of the active tab's list (search tabs included); null when
    // no row is focused or another tab is active.
    TWebApplicationClass* FocusedApplication() const;
    // Activates "Categories", selects the application's category and then its row.
    void GoToCategory(TWebApplicationClass* application);
    // Fills or collapses the details panel of a list tag (1 to 5).
    void ShowDetails(TWebApplicationClass* application, int tag);

    // The catalog entry actions; each acts on FocusedApplication and does nothing without one.
    void InstallFocused();
    void VisitFocused();
    void SignUpFocused();
    void TellAFriendFocused();
    void ViewScreenshotFocused();

    // The tab strip's menu, rebuilt for the tabs' current visibility.
    void PrepareTabsMenu();
    TMVPopupMenu& TabsMenu() const { return *m_pmTabs; }
    // The catalog entry menu, prepared for an application.
    void PrepareWebSiteMenu(TWebApplicationClass* application);
    TMVWebItemPopupMenu& WebSiteMenu() const { return *m_pmWebSite; }

    // The search tabs, for FocusedApplication; may be null.
    void SetSearch(TCatalogSearch* search) { m_search = search; }
    const TCatalogHooks& Hooks() const { return m_hooks; }
    TFileCacheManager& Cache() const { return m_cache; }
    TWebApplicationList& ApplicationList() const { return m_applications; }
    const QString& ServerAddress() const { return m_serverAddress; }
    // Reads a catalog list file off the window's thread, after the catalog files asked for
    // before, and hands it to done on the window's thread to merge.
    void ReadList(const QString& file, std::function<void(TWebApplicationList::FileRead& read)> done);
    // Shared by the search frames' details panels.
    void ConnectDetailsActions(TCatalogDetailsPanel& panel);

    // The parts, by the names the main window's layout uses (also for tests). The lists, their
    // details panels and the category tree are made with the first use of any of them (a
    // refresh, a list that arrives, one of these), not with the views: the window, which
    // hides the catalog tabs until their lists come, shows without them.
    QTabWidget& Pages() const { return m_pages; }
    QWidget* Page(int index) const { return m_tabPages[size_t(index)]; }
    TCatalogListView& ListView(int tag) const;
    TCatalogDetailsPanel& DetailsPanel(int tag) const;
    TMVFrame& ListFrame(int tag) const;
    QTreeWidget& CategoryView() const;
    // The tree row of a category; null when the tree has none.
    QTreeWidgetItem* CategoryItem(int32_t categoryId) const;

    // Page indexes of the main page control.
    static constexpr int kWhatsNewPage = 0;
    static constexpr int kRecommendedPage = 1;
    static constexpr int kPopularPage = 2;
    static constexpr int kHighestRatedPage = 3;
    static constexpr int kCategoriesPage = 4;
    static constexpr int kInstalledPage = 5;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct ListTab;

    // Makes the pages' parts once; the views, for the const readers of those parts.
    TCatalogViews& Built() const;
    void BuildPages();
    void BuildListPage(QWidget& page, int tag, const QString& caption);
    void BuildCategoriesPage(QWidget& page);
    void BuildMenus();
    void ConnectList(TCatalogListView& view);

    QString Address(const QString& path) const { return m_serverAddress + path; }
    void CategoryListArrived(TCacheStatus status);
    void CategoryListRead(const QString& cached, TWebCategoryTree::FileRead& read);
    void ListArrived(int kind, const QString& url);
    void ListRead(int kind, const QString& cached, TWebApplicationList::FileRead& file);
    void PreloadCategories();
    void RebuildCategoryTree();
    void UpdateCategoryCounts();
    void CategorySelected(QTreeWidgetItem* item);
    void FillCategoryList(int32_t categoryId);
    void CategoryFileArrived(const QString& url, TCacheStatus status);
    void CategoryFileRead(int32_t found, TCacheStatus status);
    int32_t FocusedCategoryId() const;
    void ListFocusChanged(TCatalogListView& view, TWebApplicationClass* application);
    void RowMenu(TWebApplicationClass* application, QPoint globalPos);
    void ActivatePage(int index);
    void SetStatus(const QString& text);
    void SetOfflineNote(const QString& text);
    // The status line's text for a catalog file that was not read.
    static QString UnreadListText(const QString& file);
    // A file of this refresh was not read: the status line says so until the next refresh.
    void Unread(const QString& file);
    void CountDown();

    QTabWidget& m_pages;
    TFileCacheManager& m_cache;
    TWebCategoryTree& m_tree;
    TWebApplicationList& m_applications;
    QString m_serverAddress;
    TCatalogHooks m_hooks;
    TCatalogSearch* m_search = nullptr;

    // By tag - 1: What's New, Recommended, Categories, Popular, Highest Rated.
    // Guarded: the views may outlive this object and must not call back into it.
    std::array<QPointer<TCatalogListView>, 5> m_lists{};
    std::array<TCatalogDetailsPanel*, 5> m_panels{};
    std::array<TMVFrame*, 5> m_listFrames{};
    // By page index 0 to 4.
    std::array<QWidget*, 5> m_tabPages{};
    QTreeWidget* m_vstCategory = nullptr;

    TMVPopupMenu* m_pmTabs = nullptr;
    TMVWebItemPopupMenu* m_pmWebSite = nullptr;
    QAction* m_miInstall = nullptr;

    bool m_refreshing = false;
    QString m_unreadText;
    // While the cached category files are read one after the other, counting waits for
    // the last.
    bool m_preloading = false;
    bool m_pagesBuilt = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    // Last: it goes first, and with it every read whose result would come back to the views.
    TReadQueue m_reads;
};
