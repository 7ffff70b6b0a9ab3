// The real main window in this process against the real catalog server: the start-up
// refresh, the search box and the version check as the user meets them.

#include "catalog/ProgramVersion.h"
#include "catalog/TRemoteVersion.h"
#include "catalog/TVersionCheck.h"
#include "catalog/TWebApplicationClass.h"
#include "catalogviews/TCatalogDetailsPanel.h"
#include "catalogviews/TCatalogListModel.h"
#include "catalogviews/TCatalogListView.h"
#include "catalogviews/TCatalogSearch.h"
#include "catalogviews/TCatalogViews.h"
#include "catalogviews/TfrSearchResultFrame.h"
#include "mainwindow/TMainSchedule.h"
#include "mainwindow/TfMain.h"
#include "markup/HtmlLabel.h"
#include "markup/HtmlMarkup.h"
#include "markup/MnemonicText.h"
#include "pictures/Colors.h"
#include "progressbar/LabelProgressBar.h"
#include "server/ServerProcess.h"
#include "server/TestCatalog.h"
#include "settings/TApplicationsSettings.h"
#include "stores/TFileCacheManager.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <map>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kRetrieving = u"Retrieving latest Web 2.0 applications.."_s;
const QString kUnreachable = u"The catalog server could not be reached."_s;

class MainCatalogTest : public ::testing::Test
{
protected:
    QTemporaryDir m_home;
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toUtf8()};
    ScopedEnvironment m_data{"XDG_DATA_HOME", m_home.filePath(u"data"_s).toUtf8()};
    std::unique_ptr<ServerProcess> m_server;

    void StartServer(const QString& catalogFolder = QString::fromUtf8(MORVALEN_SAMPLE_CATALOG))
    {
        m_server = std::make_unique<ServerProcess>(catalogFolder, m_home.filePath(u"ratings.sqlite"_s));
        ASSERT_GT(m_server->Port(), 0);
    }

    std::unique_ptr<TfMain> Create(const QString& server, bool sampleCatalog = false)
    {
        ProgramOptions options;
        options.dataFolder = m_home.filePath(u"data-folder"_s);
        options.catalogServer = server;
        options.sampleCatalog = sampleCatalog;
        auto window = std::make_unique<TfMain>(options, TfMain::TrayMode::Unavailable);
        // The version check answers into lists rather than dialogs.
        window->VersionCheck().OnNewVersion = [this](uint32_t, const TRemoteVersion& remote) {
            m_offered.push_back(VersionText(remote.Version()));
        };
        window->VersionCheck().OnLatestVersion = [this](uint32_t program) {
            m_latest.push_back(VersionText(program));
        };
        return window;
    }

    // Starts the window and waits for the start-up refresh to end.
    void StartAndRefresh(TfMain& window)
    {
        window.Start();
        ASSERT_TRUE(WaitUntil([&] { return window.StatusText() == kRetrieving; }, 20000));
        ASSERT_TRUE(WaitUntil([&] { return window.StatusText().isEmpty(); }, 30000));
    }

    QAction* MenuItem(TfMain& window, const QString& text)
    {
        for (QAction* top : window.menuBar()->actions()) {
            if (!top->menu())
                continue;
            for (QAction* item : top->menu()->actions()) {
                if (item->text() == text)
                    return item;
            }
        }
        return nullptr;
    }

    std::vector<QString> m_offered;
    std::vector<QString> m_latest;
};

TEST_F(MainCatalogTest, TheStartUpRefreshFillsTheCatalogTabsNewestFirst)
{
    StartServer();
    auto window = Create(m_server->BaseURL());
    StartAndRefresh(*window);
    QTabWidget& tabs = *window->MainTabs();
    for (int page = TfMain::pgWhatsNew; page <= TfMain::pgCategories; ++page)
        EXPECT_TRUE(tabs.isTabVisible(page)) << page;
    TCatalogViews& views = window->CatalogViews();
    const auto& rows = views.ListView(1).Model().Applications();
    ASSERT_FALSE(rows.empty());
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_GE(int(rows[i - 1]->DateAdded()), int(rows[i]->DateAdded()));
    EXPECT_EQ(views.CategoryView().topLevelItemCount(), 11);
    // The catalog pages are the window's own.
    EXPECT_EQ(views.Page(0), window->TabPage(TfMain::pgWhatsNew));
    // Nothing is installed: the first list takes the empty Installed page's place.
    EXPECT_EQ(tabs.currentIndex(), int(TfMain::pgWhatsNew));

    // For a look by eye: the window as the user sees it, a row chosen.
    if (const QString folder = qEnvironmentVariable("MORVALEN_SCREENSHOT_DIR"); !folder.isEmpty()) {
        tabs.setCurrentIndex(TfMain::pgPopular);
        views.ListView(4).FocusApplication(views.ListView(4).Model().Application(2));
        ProcessEventsFor(1500);
        window->grab().save(folder + u"/main-window-popular.png"_s);
        views.GoToCategory(views.ListView(4).Model().Application(2));
        ProcessEventsFor(1500);
        window->grab().save(folder + u"/main-window-categories.png"_s);
    }

    // Refresh from the menu while nothing runs: all over again, and over again.
    QAction* refresh = MenuItem(*window, u"&Refresh"_s);
    ASSERT_NE(refresh, nullptr);
    refresh->trigger();
    EXPECT_EQ(window->StatusText(), kRetrieving);
    ASSERT_TRUE(WaitUntil([&] { return window->StatusText().isEmpty(); }, 30000));
}

TEST_F(MainCatalogTest, TheSampleCatalogTheProgramServesItselfIsSaidSoInTheStatusLine)
{
    StartServer();
    auto window = Create(m_server->BaseURL(), true);
    window->Start();
    ASSERT_TRUE(WaitUntil([&] { return window->StatusText() == kRetrieving; }, 20000));
    // Once the lists are in, the line says whose catalog they are, and stays so.
    ASSERT_TRUE(WaitUntil([&] { return window->StatusText().startsWith(u"Sample catalog"_s); }, 30000))
        << window->StatusText().toStdString();
}

TEST_F(MainCatalogTest, AFirstStartWithoutServerSaysSoAndStopsBeingBusy)
{
    StartServer();
    const QString address = m_server->BaseURL();
    ASSERT_TRUE(m_server->Stop());
    auto window = Create(address);
    window->Start();
    // "Retrieving" shows only until the refused connection is reported.
    ASSERT_TRUE(WaitUntil([&] { return window->StatusText() == kUnreachable; }, 20000));
    EXPECT_FALSE(window->CatalogViews().RefreshInProgress());
    for (int page = TfMain::pgWhatsNew; page <= TfMain::pgCategories; ++page)
        EXPECT_FALSE(window->MainTabs()->isTabVisible(page)) << page;
    EXPECT_EQ(window->StatusText(), kUnreachable);
    EXPECT_FALSE(window->Schedule().Busy());
    EXPECT_FALSE(window->BusyBar()->AnimationMode());
    EXPECT_TRUE(m_offered.empty());
    if (const QString folder = qEnvironmentVariable("MORVALEN_SCREENSHOT_DIR"); !folder.isEmpty())
        window->grab().save(folder + u"/main-window-offline.png"_s);

    // A search neither waits for ever nor keeps its tab from the next search.
    QTabWidget& tabs = *window->MainTabs();
    window->CatalogSearch().Search(u"mail"_s);
    const int tab = TfMain::pgInstalled + 1;
    ASSERT_TRUE(WaitUntil([&] { return tabs.tabText(tab) == u"Search: mail - not reached"_s; }));
    const auto& records = window->CatalogSearch().Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records.front()->Frame->Title().startsWith(u"The catalog server could not be reached."_s));
    window->CatalogSearch().Search(u"notes"_s);
    EXPECT_EQ(tabs.count(), tab + 1);
    EXPECT_EQ(tabs.tabText(tab), u"Searching: notes"_s);

    // Asked for, the version check says why nothing follows.
    QAction* check = MenuItem(*window, u"Check for updates..."_s);
    ASSERT_NE(check, nullptr);
    check->trigger();
    ASSERT_TRUE(WaitUntil([&] {
        return window->StatusText().contains(u"could not be reached"_s) &&
               window->StatusText().contains(u"version"_s);
    }));
    EXPECT_TRUE(m_latest.empty());
}

TEST_F(MainCatalogTest, ARefreshFromTheCacheSaysSoUntilTheServerAnswersAgain)
{
    StartServer();
    const int port = m_server->Port();
    auto window = Create(m_server->BaseURL());
    StartAndRefresh(*window);
    ASSERT_TRUE(m_server->Stop());

    window->RefreshCatalog();
    ASSERT_TRUE(WaitUntil([&] { return window->StatusText().startsWith(kUnreachable); }, 30000));
    // The catalog of the last visit stays, and the line names when it was fetched.
    EXPECT_TRUE(window->MainTabs()->isTabVisible(TfMain::pgWhatsNew));
    EXPECT_TRUE(window->StatusText().contains(u"Showing the catalog of"_s));
    EXPECT_FALSE(window->Schedule().Busy());

    m_server = std::make_unique<ServerProcess>(QString::fromUtf8(MORVALEN_SAMPLE_CATALOG),
                                               m_home.filePath(u"ratings.sqlite"_s),
                                               QStringList{u"--port"_s, QString::number(port)});
    ASSERT_EQ(m_server->Port(), port);
    window->RefreshCatalog();
    ASSERT_TRUE(WaitUntil([&] { return window->StatusText().isEmpty(); }, 30000));
}

TEST_F(MainCatalogTest, APageTheUserChoseStaysChosenThroughRefreshes)
{
    StartServer();
    auto window = Create(m_server->BaseURL());
    StartAndRefresh(*window);
    QTabWidget& tabs = *window->MainTabs();
    ASSERT_EQ(tabs.currentIndex(), int(TfMain::pgWhatsNew));
    const auto refresh = [&] {
        window->RefreshCatalog();
        ASSERT_TRUE(WaitUntil([&] { return window->StatusText().isEmpty(); }, 30000));
    };

    // From the View menu.
    QAction* popular = MenuItem(*window, u"Popular"_s);
    ASSERT_NE(popular, nullptr);
    popular->trigger();
    ASSERT_EQ(tabs.currentIndex(), int(TfMain::pgPopular));
    refresh();
    EXPECT_EQ(tabs.currentIndex(), int(TfMain::pgPopular));

    // With the keyboard.
    QTest::keyClick(&tabs, Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(tabs.currentIndex(), int(TfMain::pgHighestRated));
    refresh();
    EXPECT_EQ(tabs.currentIndex(), int(TfMain::pgHighestRated));
}

TEST_F(MainCatalogTest, ARefreshCollapsesOnlyTheNewestListsPanels)
{
    StartServer();
    auto window = Create(m_server->BaseURL());
    StartAndRefresh(*window);
    TCatalogViews& views = window->CatalogViews();
    // What's New, Recommended, Popular and Highest Rated by tag, each with its third row.
    std::map<int, TWebApplicationClass*> chosen;
    for (const int tag : {1, 2, 4, 5}) {
        TCatalogListView& list = views.ListView(tag);
        ASSERT_GT(list.Model().rowCount(), 2) << tag;
        chosen[tag] = list.Model().Application(2);
        ASSERT_TRUE(list.FocusApplication(chosen[tag]));
        ASSERT_FALSE(views.DetailsPanel(tag).IsCollapsed()) << tag;
    }
    window->RefreshCatalog();
    ASSERT_TRUE(WaitUntil([&] { return window->StatusText().isEmpty(); }, 30000));
    for (const int tag : {1, 2})
        EXPECT_TRUE(views.DetailsPanel(tag).IsCollapsed()) << tag;
    for (const int tag : {4, 5}) {
        EXPECT_FALSE(views.DetailsPanel(tag).IsCollapsed()) << tag;
        EXPECT_EQ(views.DetailsPanel(tag).Application(), chosen[tag]) << tag;
        EXPECT_EQ(views.ListView(tag).FocusedApplication(), chosen[tag]) << tag;
    }
}

TEST_F(MainCatalogTest, TheSearchTextShowsAsTypedInTheTabAndTheTitle)
{
    StartServer();
    auto window = Create(m_server->BaseURL());
    StartAndRefresh(*window);
    QTabWidget& tabs = *window->MainTabs();
    const QString text = u"q&a <b>x</b> <color clblue>"_s;
    window->CatalogSearch().Search(text);
    const int tab = TfMain::pgInstalled + 1;
    // The tab strip hides a lone "&" as a mnemonic: what it shows is the text as typed.
    EXPECT_EQ(MnemonicText::HideMnemonics(tabs.tabText(tab)), u"Searching: "_s + text);
    ASSERT_TRUE(WaitUntil([&] { return tabs.tabText(tab).endsWith(u" - not found"_s); }));
    EXPECT_EQ(MnemonicText::HideMnemonics(tabs.tabText(tab)), u"Search: "_s + text + u" - not found"_s);

    auto* title = window->findChild<THtmlLabel*>(u"lbSearchTitle"_s);
    ASSERT_NE(title, nullptr);
    // Shown: every phrase with its mnemonics hidden; the joiner that breaks a tag draws nothing.
    QString shown;
    QString red;
    for (const TStyledPhrase& phrase : title->Phrases()) {
        QString visible = MnemonicText::HideMnemonics(phrase.Text).remove(QChar(HtmlMarkup::kTagBreaker));
        shown += visible;
        if (phrase.HasColor && phrase.Color == clRed)
            red += visible;
        EXPECT_FALSE(phrase.Style & fsBold) << phrase.Text.toStdString();
    }
    EXPECT_EQ(shown, u"Nothing found for "_s + text + u"."_s);
    EXPECT_EQ(red, text);
    if (const QString folder = qEnvironmentVariable("MORVALEN_SCREENSHOT_DIR"); !folder.isEmpty()) {
        ProcessEventsFor(300);
        window->grab().save(folder + u"/main-window-search-text.png"_s);
    }
}

TEST_F(MainCatalogTest, TheSearchBoxSearchesLowerCaseInATabOfItsOwn)
{
    StartServer();
    auto window = Create(m_server->BaseURL());
    StartAndRefresh(*window);
    auto* edit = window->findChild<QLineEdit*>(u"edMainSearch"_s);
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, u"Mail"_s);
    EXPECT_EQ(edit->text(), u"mail"_s);
    QTest::keyClick(edit, Qt::Key_Return);
    QTabWidget& tabs = *window->MainTabs();
    ASSERT_EQ(tabs.count(), TfMain::pgInstalled + 2);
    EXPECT_EQ(tabs.currentIndex(), TfMain::pgInstalled + 1);
    ASSERT_TRUE(
        WaitUntil([&] { return tabs.tabText(TfMain::pgInstalled + 1).startsWith(u"Search: mail - "_s); }));

    // Enter again: the same tab.
    tabs.setCurrentIndex(TfMain::pgInstalled);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(tabs.count(), TfMain::pgInstalled + 2);
    EXPECT_EQ(tabs.currentIndex(), TfMain::pgInstalled + 1);
}

TEST_F(MainCatalogTest, TheVersionCheckIsSilentOrSaysLatestVersion)
{
    // The sample catalog announces this program's own version.
    StartServer();
    auto window = Create(m_server->BaseURL());
    window->Settings().SetLastUpdateCheck(window->Settings().Now() - 40);
    StartAndRefresh(*window);
    ASSERT_TRUE(
        WaitUntil([&] { return window->Settings().LastUpdateCheck() > window->Settings().Now() - 1; }));
    EXPECT_TRUE(m_offered.empty());
    EXPECT_TRUE(m_latest.empty());

    QAction* check = MenuItem(*window, u"Check for updates..."_s);
    ASSERT_NE(check, nullptr);
    check->trigger();
    ASSERT_TRUE(WaitUntil([&] { return !m_latest.empty(); }));
    EXPECT_EQ(m_latest.front(), VersionText(*ProgramVersion()));
    EXPECT_TRUE(m_offered.empty());
}

TEST_F(MainCatalogTest, TheVersionCheckOffersANewerVersion)
{
    // The test catalog announces 2.1.0.3.
    WriteFile(m_home.filePath(u"catalog.json"_s), kTestCatalog);
    StartServer(m_home.path());
    auto window = Create(m_server->BaseURL());
    window->Settings().SetLastUpdateCheck(window->Settings().Now() - 40);
    StartAndRefresh(*window);
    ASSERT_TRUE(WaitUntil([&] { return !m_offered.empty(); }));
    EXPECT_EQ(m_offered, std::vector<QString>{u"2.1.0.3"_s});
    EXPECT_TRUE(window->ConfigChanged());
}

TEST_F(MainCatalogTest, WithoutAMailProgramTheUserIsTold)
{
    // A desktop that names no program for mail addresses. (Web pages open in the program's
    // own windows.)
    ScopedEnvironment configDirs("XDG_CONFIG_DIRS", m_home.filePath(u"none"_s).toUtf8());
    ScopedEnvironment dataDirs("XDG_DATA_DIRS", m_home.filePath(u"none"_s).toUtf8());
    StartServer();
    auto window = Create(m_server->BaseURL());
    std::vector<QString> messages;
    window->ShowMessageHook = [&](const QString& text) {
        messages.push_back(text);
    };
    StartAndRefresh(*window);
    TCatalogViews& views = window->CatalogViews();
    TWebApplicationClass* application = views.ListView(1).Model().Application(0);
    ASSERT_NE(application, nullptr);
    ASSERT_TRUE(views.ListView(1).FocusApplication(application));

    views.TellAFriendFocused();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages.back().contains(u"No mail program"_s));
}

} // namespace
