#include "CatalogViewsFixture.h"

#include "catalog/CatalogAddresses.h"
#include "catalog/CatalogSorting.h"
#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebCategoryClass.h"
#include "catalogviews/TCatalogDetailsPanel.h"
#include "catalogviews/TCatalogListModel.h"
#include "catalogviews/TCatalogListView.h"
#include "common/Errors.h"
#include "menus/MVMenus.h"
#include "panels/TMVFrame.h"
#include "server/TestCatalog.h"
#include "support/TestHttpServer.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kListTags[] = {1, 2, 4, 5};
constexpr int kListPages[] = {0, 1, 2, 3};

std::vector<TWebApplicationClass*> Rows(TCatalogListView& view)
{
    return view.Model().Applications();
}

bool NewestFirst(const std::vector<TWebApplicationClass*>& rows)
{
    for (size_t i = 1; i < rows.size(); ++i) {
        if (std::trunc(rows[i - 1]->DateAdded()) < std::trunc(rows[i]->DateAdded()))
            return false;
    }
    return true;
}

TEST_F(CatalogViewsTest, AtCreationEveryCatalogTabIsHidden)
{
    MakeViews();
    // Without the window's pages there is nothing to fill, and the application list keeps
    // the views' handlers.
    QTabWidget bare;
    EXPECT_THROW(TCatalogViews(bare, *m_cache, *m_tree, *m_applications, m_address, {}), EMorvalenError);
    EXPECT_TRUE(bool(m_applications->OnListChanged));
    for (int page = 0; page < 5; ++page)
        EXPECT_FALSE(m_pages->isTabVisible(page)) << page;
    EXPECT_EQ(m_pages->tabText(4), u"Categories"_s);
    EXPECT_TRUE(m_views->DetailsPanel(1).IsCollapsed());
}

// The lists, panels and tree come with their first use: whatever the window asks before the
// catalog has arrived finds nothing and does nothing, and the first refresh still fills them.
TEST_F(CatalogViewsTest, BeforeTheFirstRefreshTheCommandsFindNothingAndTheRefreshFillsTheTabs)
{
    MakeViews();
    m_pages->setCurrentIndex(TCatalogViews::kWhatsNewPage);
    EXPECT_EQ(m_views->FocusedApplication(), nullptr);
    EXPECT_EQ(m_views->CategoryItem(1), nullptr);
    m_views->InstallFocused();
    m_views->VisitFocused();
    m_views->ViewScreenshotFocused();
    EXPECT_TRUE(m_window.installed.empty());
    EXPECT_TRUE(m_window.opened.empty());
    EXPECT_TRUE(m_window.screenshots.empty());
    // "Show all tabs" shows only tabs with rows.
    m_views->PrepareTabsMenu();
    ASSERT_EQ(m_views->TabsMenu().actions().constLast()->text(), u"Show all tabs"_s);
    m_views->TabsMenu().actions().constLast()->trigger();
    for (int page = 0; page < 5; ++page)
        EXPECT_FALSE(m_pages->isTabVisible(page)) << page;

    RefreshAndWait();
    for (int page = 0; page < 5; ++page)
        EXPECT_TRUE(m_pages->isTabVisible(page)) << page;
    EXPECT_GT(m_views->ListView(1).model()->rowCount(), 0);
    ASSERT_GT(m_views->CategoryView().topLevelItemCount(), 0);
    QTreeWidgetItem* first = m_views->CategoryView().topLevelItem(0);
    EXPECT_EQ(m_views->CategoryItem(first->data(0, Qt::UserRole + 1).toInt()), first);
}

TEST_F(CatalogViewsTest, FirstRefreshFillsTheFourTabsNewestFirstAndTheTreeWithCounts)
{
    MakeViews();
    // An earlier click left the header on the titles: the refresh still shows newest first.
    m_views->ListView(1).ClickHeader(ccTitle);
    RefreshAndWait();
    EXPECT_EQ(m_window.status, QString());
    EXPECT_FALSE(m_window.busy);
    for (int i = 0; i < 4; ++i) {
        TCatalogListView& view = m_views->ListView(kListTags[i]);
        const auto rows = Rows(view);
        ASSERT_FALSE(rows.empty()) << i;
        EXPECT_TRUE(m_pages->isTabVisible(kListPages[i])) << i;
        EXPECT_TRUE(NewestFirst(rows)) << i;
        EXPECT_EQ(m_views->ListFrame(kListTags[i]).HelpText(),
                  u"Total web applications: %1"_s.arg(rows.size()));
    }
    EXPECT_EQ(m_views->ListView(1).SortColumn(), int(ccTitle));
    EXPECT_TRUE(m_pages->isTabVisible(TCatalogViews::kCategoriesPage));

    // The tree: the sample catalog's eleven top-level categories, expanded, each row with the
    // number of applications known in it.
    QTreeWidget& tree = m_views->CategoryView();
    ASSERT_EQ(tree.topLevelItemCount(), 11);
    EXPECT_TRUE(tree.topLevelItem(0)->isExpanded());
    EXPECT_TRUE(tree.topLevelItem(0)->font(0).bold());
    int withCount = 0;
    for (QTreeWidgetItemIterator it(&tree); *it; ++it) {
        const TWebCategoryClass* category = m_tree->FindById((*it)->data(0, Qt::UserRole + 1).toInt());
        ASSERT_NE(category, nullptr);
        const int count = m_applications->CountInCategory(category);
        const QString expected =
            count > 0 ? u"%1 (%2)"_s.arg(category->Title()).arg(count) : category->Title();
        EXPECT_EQ((*it)->text(0), expected);
        withCount += count > 0;
    }
    EXPECT_GT(withCount, 3);
    EXPECT_EQ(m_views->ListFrame(3).HelpText(), u"Please select category from the left to see its content"_s);
}

TEST_F(CatalogViewsTest, SelectingACategoryDownloadsItsFileAndFillsTheList)
{
    MakeViews();
    RefreshAndWait();
    // A sub-category of the first top-level category.
    QTreeWidgetItem* item = m_views->CategoryView().topLevelItem(0)->child(0);
    const int32_t id = item->data(0, Qt::UserRole + 1).toInt();
    const QString address = m_address + CategoryFilePath(id);
    EXPECT_TRUE(m_cache->GetCachedFileName(address, true).isEmpty());
    m_views->CategoryView().setCurrentItem(item);
    ASSERT_TRUE(WaitUntil([&] { return !m_cache->GetCachedFileName(address, true).isEmpty(); }));
    ProcessEventsFor(100);

    // Every application of that category the server lists, and nothing else.
    TWebApplicationList fromServer;
    fromServer.OnGetCategory = [this](TWebApplicationList&, int32_t category) {
        return m_tree->FindById(category);
    };
    fromServer.LoadFromFile(m_cache->GetCachedFileName(address, true));
    const auto rows = Rows(m_views->ListView(3));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(int(rows.size()), fromServer.Count());
    for (const TWebApplicationClass* row : rows)
        EXPECT_EQ(row->CategoryId(), id);
    EXPECT_EQ(m_views->ListFrame(3).HelpText(), u"Total web applications: %1"_s.arg(rows.size()));
    EXPECT_EQ(item->text(0), u"%1 (%2)"_s.arg(m_tree->FindById(id)->Title()).arg(rows.size()));
}

TEST_F(CatalogViewsTest, ASecondRefreshWhileOneRunsAsksForTheCategoryListOnce)
{
    MakeViews();
    m_views->RefreshCatalog();
    EXPECT_TRUE(m_views->RefreshInProgress());
    m_window.status.clear();
    m_views->RefreshCatalog();
    // The second only starts the busy indicator and sets the status text again.
    EXPECT_EQ(m_window.status, u"Retrieving latest Web 2.0 applications.."_s);
    ASSERT_TRUE(WaitUntil([this] { return m_window.pending == 99; }, 30000));
    ProcessEventsFor(300);
    EXPECT_EQ(m_window.pendingFives, 1);
    EXPECT_FALSE(m_views->RefreshInProgress());

    // Once it is over, a refresh runs again.
    RefreshAndWait();
    EXPECT_EQ(m_window.pendingFives, 2);
}

TEST_F(CatalogViewsTest, AServerThatIsDownShowsTheCachedCopies)
{
    MakeViews();
    RefreshAndWait();
    const size_t whatsNew = Rows(m_views->ListView(1)).size();
    QTreeWidgetItem* item = m_views->CategoryView().topLevelItem(1)->child(1);
    m_views->CategoryView().setCurrentItem(item);
    const QString categoryFile = m_address + CategoryFilePath(item->data(0, Qt::UserRole + 1).toInt());
    ASSERT_TRUE(WaitUntil([&] { return !m_cache->GetCachedFileName(categoryFile, true).isEmpty(); }));
    ProcessEventsFor(100);
    const QString counted = item->text(0);
    EXPECT_TRUE(counted.endsWith(u')'));
    m_cache->SaveIndex();
    ASSERT_TRUE(m_server->Stop());

    MakeViews();
    RefreshAndWait();
    EXPECT_EQ(Rows(m_views->ListView(1)).size(), whatsNew);
    EXPECT_TRUE(m_pages->isTabVisible(0));
    EXPECT_EQ(m_views->CategoryView().topLevelItemCount(), 11);
    EXPECT_EQ(m_window.status, QString());
    // The cached category file was read at the refresh: all its applications are counted.
    EXPECT_EQ(m_views->CategoryView().topLevelItem(1)->child(1)->text(0), counted);
}

TEST_F(CatalogViewsTest, AFirstStartWithoutServerShowsNothingAndKeepsTheStatus)
{
    ASSERT_TRUE(m_server->Stop());
    MakeViews();
    m_views->RefreshCatalog();
    ASSERT_TRUE(WaitUntil([this] { return !m_views->RefreshInProgress(); }));
    ProcessEventsFor(200);
    for (int page = 0; page < 5; ++page)
        EXPECT_FALSE(m_pages->isTabVisible(page)) << page;
    EXPECT_EQ(m_window.status, u"Retrieving latest Web 2.0 applications.."_s);
    EXPECT_TRUE(m_window.busy);
    EXPECT_EQ(m_window.pendingFives, 0);
}

TEST_F(CatalogViewsTest, AListWithoutApplicationsHidesItsTab)
{
    // The test catalog, where nothing is recommended.
    ASSERT_TRUE(m_server->Stop());
    QByteArray catalog = kTestCatalog;
    catalog.replace("\"recommended\": true", "\"recommended\": false");
    WriteFile(m_dir.filePath(u"catalog.json"_s), catalog);
    StartServer(m_dir.path());
    MakeViews();
    RefreshAndWait();
    EXPECT_TRUE(m_pages->isTabVisible(TCatalogViews::kWhatsNewPage));
    EXPECT_FALSE(m_pages->isTabVisible(TCatalogViews::kRecommendedPage));
    EXPECT_TRUE(Rows(m_views->ListView(2)).empty());
    EXPECT_EQ(m_views->ListFrame(2).HelpText(), u"Total web applications: 0"_s);

    // Counts in the test catalog: "Office" has one application of its own, "Documents" one.
    QTreeWidgetItem* office = m_views->CategoryItem(10);
    ASSERT_NE(office, nullptr);
    EXPECT_EQ(office->text(0), u"Office (1)"_s);
    EXPECT_EQ(m_views->CategoryItem(11)->text(0), u"Documents (1)"_s);
    EXPECT_EQ(m_views->CategoryItem(20)->text(0), u"Communication"_s);
}

TEST_F(CatalogViewsTest, AListTooLargeOrNestedEndlesslyIsRefusedAndTheListsSeenBeforeStay)
{
    TestHttpServer server;
    const QByteArray xml = "text/xml";
    const QString corpus = QString::fromUtf8(MORVALEN_FUZZ_CORPUS);
    const QByteArray categoryList = ReadFile(corpus + u"/category_list/categorylist.xml"_s);
    server.Serve(QString::fromUtf16(kCategoryListPath), categoryList, xml);
    const QByteArray list = ReadFile(corpus + u"/application_list/search.xml"_s);
    for (int kind = 0; kind < kCatalogListCount; ++kind)
        server.Serve(CatalogListPath(kind), list, xml);
    m_address = server.Url(QString());
    MakeViews();
    RefreshAndWait();
    const size_t seen = Rows(m_views->ListView(1)).size();
    ASSERT_GT(seen, 0u);
    const int categories = m_views->CategoryView().topLevelItemCount();
    ASSERT_GT(categories, 0);

    // A category list of 20 MB is not parsed at all.
    server.ServeLarge(QString::fromUtf16(kCategoryListPath), 20 * 1024 * 1024);
    RefreshAndWait();
    EXPECT_EQ(m_window.status, u"The catalog server sent a list larger than 16 MB; it was not read."_s);
    EXPECT_EQ(m_views->CategoryView().topLevelItemCount(), categories);
    EXPECT_EQ(Rows(m_views->ListView(1)).size(), seen);

    // Lists of 200,000 nested elements (1.4 MB) are no lists: the tabs keep what they showed.
    QByteArray deep = "<?xml version=\"1.0\"?><webapplications>";
    deep += QByteArray("<webapp>").repeated(200000) + QByteArray("</webapp>").repeated(200000);
    deep += "</webapplications>";
    server.Serve(QString::fromUtf16(kCategoryListPath), categoryList, xml);
    for (int kind = 0; kind < kCatalogListCount; ++kind)
        server.Serve(CatalogListPath(kind), deep, xml);
    RefreshAndWait();
    EXPECT_EQ(m_window.status, u"The catalog server sent a list that could not be read."_s);
    EXPECT_EQ(Rows(m_views->ListView(1)).size(), seen);
    EXPECT_TRUE(m_pages->isTabVisible(TCatalogViews::kWhatsNewPage));
}

TEST_F(CatalogViewsTest, ListsStillBeingReadWhenTheViewsGoAreNeverHandedToThem)
{
    // Four lists of 100,000 applications (10 MB) each take a while to parse: the views go
    // meanwhile, as when the main window closes during a refresh.
    TestHttpServer server;
    const QByteArray xml = "text/xml";
    const QString corpus = QString::fromUtf8(MORVALEN_FUZZ_CORPUS);
    server.Serve(QString::fromUtf16(kCategoryListPath),
                 ReadFile(corpus + u"/category_list/categorylist.xml"_s), xml);
    QByteArray list = "<?xml version=\"1.0\"?><webapplications>";
    for (int id = 1; id <= 100000; ++id)
        list += "<webapp nid=\"" + QByteArray::number(id) +
                "\" cat_id=\"101\"><description><title>Application</title></description></webapp>";
    list += "</webapplications>";
    for (int kind = 0; kind < kCatalogListCount; ++kind)
        server.Serve(CatalogListPath(kind), list, xml);
    m_address = server.Url(QString());
    MakeViews();
    m_views->RefreshCatalog();
    ASSERT_TRUE(WaitUntil([this] { return m_window.pendingFives == 1; }));
    ASSERT_TRUE(WaitUntil([this] { return !m_cache->Busy(); }));
    const int pending = m_window.pending;
    ASSERT_GT(pending, 0) << "the lists were read before the views went";
    const int merged = m_applications->Count();

    m_search.reset();
    m_views.reset();
    ProcessEventsFor(1000);
    EXPECT_EQ(m_window.pending, pending);
    EXPECT_EQ(m_applications->Count(), merged);
}

TEST_F(CatalogViewsTest, ARefreshWhileHiddenToTheTrayLeavesTheBusyBarAlone)
{
    MakeViews();
    m_window.hiddenToTray = true;
    RefreshAndWait();
    EXPECT_FALSE(m_window.busy);
    EXPECT_TRUE(m_pages->isTabVisible(0));
}

TEST_F(CatalogViewsTest, HeaderClicksSortAndTurnTheDirection)
{
    MakeViews();
    RefreshAndWait();
    TCatalogListView& view = m_views->ListView(5);
    view.ClickHeader(ccRating);
    EXPECT_TRUE(view.SortDescending());
    auto rows = Rows(view);
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_GE(CompareApplications(*rows[i - 1], *rows[i], ccRating), 0);
    view.ClickHeader(ccRating);
    EXPECT_FALSE(view.SortDescending());
    rows = Rows(view);
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_LE(CompareApplications(*rows[i - 1], *rows[i], ccRating), 0);
    view.ClickHeader(ccTitle);
    EXPECT_FALSE(view.SortDescending());
    view.ClickHeader(ccDate);
    EXPECT_TRUE(view.SortDescending());
    EXPECT_TRUE(NewestFirst(Rows(view)));

    // The focused row stays on its application through a sort.
    TWebApplicationClass* focused = rows[2];
    ASSERT_TRUE(view.FocusApplication(focused));
    view.ClickHeader(ccDescription);
    EXPECT_EQ(view.FocusedApplication(), focused);
}

TEST_F(CatalogViewsTest, FocusFillsTheDetailsAndTheActionsUseTheFocusedApplication)
{
    MakeViews();
    RefreshAndWait();
    m_pages->setCurrentIndex(TCatalogViews::kPopularPage);
    m_views->VisitFocused();
    EXPECT_TRUE(m_window.opened.empty());

    TCatalogListView& view = m_views->ListView(4);
    TWebApplicationClass* application = nullptr;
    for (TWebApplicationClass* row : Rows(view)) {
        if (!row->ThumbnailURL().isEmpty()) {
            application = row;
            break;
        }
    }
    ASSERT_NE(application, nullptr);
    view.FocusApplication(application);
    TCatalogDetailsPanel& panel = m_views->DetailsPanel(4);
    EXPECT_FALSE(panel.IsCollapsed());
    EXPECT_EQ(panel.Application(), application);
    ASSERT_TRUE(WaitUntil([&] { return panel.PictureState() == TCatalogDetailsPanel::psPicture; }));
    EXPECT_EQ(panel.PendingPictures(), 0);

    m_views->VisitFocused();
    m_views->SignUpFocused();
    m_views->TellAFriendFocused();
    m_views->ViewScreenshotFocused();
    m_views->InstallFocused();
    ASSERT_EQ(m_window.opened.size(), 2u);
    EXPECT_EQ(m_window.opened[0].address, VisitAddress(application->MainURL()));
    EXPECT_EQ(m_window.opened[0].title, application->Title());
    EXPECT_EQ(m_window.opened[1].address, application->SignupURL());
    EXPECT_EQ(m_window.recommended, std::vector<QString>{application->Title()});
    EXPECT_EQ(m_window.screenshots, std::vector<QString>{application->Title()});
    EXPECT_EQ(m_window.installed, std::vector<QString>{application->Title()});

    // Another tab has its own focus: none there yet.
    m_pages->setCurrentIndex(TCatalogViews::kWhatsNewPage);
    EXPECT_EQ(m_views->FocusedApplication(), nullptr);
    m_pages->setCurrentIndex(5);
    EXPECT_EQ(m_views->FocusedApplication(), nullptr);
}

TEST_F(CatalogViewsTest, GoToCategorySelectsTheCategoryAndThenTheApplication)
{
    MakeViews();
    RefreshAndWait();
    TWebApplicationClass* application = Rows(m_views->ListView(1)).at(3);
    ASSERT_NE(application->Category(), nullptr);
    m_views->GoToCategory(application);
    EXPECT_EQ(m_pages->currentIndex(), TCatalogViews::kCategoriesPage);
    QTreeWidgetItem* current = m_views->CategoryView().currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->data(0, Qt::UserRole + 1).toInt(), application->Category()->ID());
    EXPECT_EQ(m_views->ListView(3).FocusedApplication(), application);
    EXPECT_EQ(m_views->FocusedApplication(), application);
    EXPECT_EQ(m_views->DetailsPanel(3).Application(), application);

    // The category's file arrives afterwards and refills the list: the row stays chosen.
    const QString file = m_address + CategoryFilePath(application->Category()->ID());
    ASSERT_TRUE(WaitUntil([&] { return !m_cache->GetCachedFileName(file, true).isEmpty(); }));
    ProcessEventsFor(200);
    EXPECT_EQ(m_views->ListView(3).FocusedApplication(), application);
    EXPECT_EQ(m_views->DetailsPanel(3).Application(), application);
    EXPECT_FALSE(m_views->DetailsPanel(3).IsCollapsed());
}

TEST_F(CatalogViewsTest, TabsMenuHidesTabsAndTheNextRefreshShowsThemAgain)
{
    MakeViews();
    RefreshAndWait();
    m_views->PrepareTabsMenu();
    QAction* hideWhatsNew = m_views->TabsMenu().findChild<QAction*>(u"miHide0"_s);
    ASSERT_NE(hideWhatsNew, nullptr);
    hideWhatsNew->trigger();
    EXPECT_FALSE(m_pages->isTabVisible(0));
    EXPECT_TRUE(m_pages->isTabVisible(1));

    m_views->PrepareTabsMenu();
    QStringList texts;
    for (QAction* item : m_views->TabsMenu().actions())
        texts << item->text();
    EXPECT_FALSE(texts.contains(u"What's New"_s));
    EXPECT_TRUE(texts.contains(u"Hide all tabs"_s));
    m_views->TabsMenu().actions().constLast()->trigger();
    for (int page = 0; page < 4; ++page)
        EXPECT_FALSE(m_pages->isTabVisible(page));
    EXPECT_TRUE(m_pages->isTabVisible(TCatalogViews::kCategoriesPage));

    m_views->PrepareTabsMenu();
    ASSERT_EQ(m_views->TabsMenu().actions().constLast()->text(), u"Show all tabs"_s);
    m_views->TabsMenu().actions().constLast()->trigger();
    EXPECT_TRUE(m_pages->isTabVisible(2));

    m_pages->setTabVisible(0, false);
    RefreshAndWait();
    EXPECT_TRUE(m_pages->isTabVisible(0));

    // The right button released on the tab strip opens the menu below the tabs; with Shift
    // held it does not.
    m_pages->show();
    QTabBar* strip = m_pages->tabBar();
    QTest::mouseRelease(strip, Qt::RightButton, Qt::ShiftModifier, QPoint(30, 5));
    EXPECT_FALSE(m_views->TabsMenu().isVisible());
    QTest::mouseRelease(strip, Qt::RightButton, {}, QPoint(30, 5));
    ASSERT_TRUE(WaitUntil([&] { return m_views->TabsMenu().isVisible(); }));
    EXPECT_EQ(m_views->TabsMenu().pos().y(), strip->mapToGlobal(QPoint(0, strip->height())).y());
    m_views->TabsMenu().hide();
}

TEST_F(CatalogViewsTest, TheCatalogEntryMenuNamesTheApplication)
{
    MakeViews();
    RefreshAndWait();
    TWebApplicationClass* application = Rows(m_views->ListView(2)).front();
    m_views->PrepareWebSiteMenu(application);
    const QList<QAction*> items = m_views->WebSiteMenu().actions();
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(items[0]->statusTip(), application->Title());
    EXPECT_EQ(items[1]->text(), u"Install site..."_s);
    EXPECT_EQ(items[2]->text(), u"Visit site"_s);
    EXPECT_EQ(items[6]->text(), u"View screen shot..."_s);
    EXPECT_EQ(m_views->WebSiteMenu().WebApp(), application);
}

} // namespace
