// The "Site windows" view over real Chromium windows: what it says each costs comes from
// the engine's own processes.

#include "BrowserTestFixture.h"

#include "browser/TBrowserManager.h"
#include "browser/TBrowserTab.h"
#include "browser/TfSiteWindows.h"
#include "browser/TfrmInternetBrowser.h"
#include "support/TestSupport.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

class TfSiteWindowsTest : public BrowserTest
{};

QPushButton* RowButton(TfSiteWindows& view, int row, const QString& name)
{
    auto* table = view.findChild<QTableWidget*>(u"tvSiteWindows"_s);
    QWidget* commands = table ? table->cellWidget(row, TfSiteWindows::colCommands) : nullptr;
    return commands ? commands->findChild<QPushButton*>(name) : nullptr;
}

} // namespace

TEST_F(TfSiteWindowsTest, ListsEachOpenSiteWithItsMemoryAndStateAndPutsItToSleepOrClosesIt)
{
    TBrowserManager manager;
    manager.SetSettings(&m_settings);
    TSite mail = MakeSite(u"Mail"_s, Url(u"/one"_s));
    TSite news = MakeSite(u"News"_s, Url(u"/two"_s));
    TCustomInternetBrowserWindow* mailWindow = manager.OpenBrowser(*mail.Record, {}, false);
    TCustomInternetBrowserWindow* newsWindow = manager.OpenBrowser(*news.Record, {}, false);
    ASSERT_TRUE(mailWindow && newsWindow);
    ASSERT_TRUE(WaitUntil([&] { return mailWindow->PagesOpened() && newsWindow->PagesOpened(); }, 30000));
    ASSERT_TRUE(WaitForTitle(*mailWindow->Tab(0)->Frame(), u"Page one"_s));
    ASSERT_TRUE(WaitForTitle(*newsWindow->Tab(0)->Frame(), u"Page two"_s));
    const uint64_t mailId = manager.FindBySite(mail.Record.get())->Id;
    const uint64_t newsId = manager.FindBySite(news.Record.get())->Id;

    TfSiteWindows view(manager);
    view.show();
    // Every open site is listed, each with what its renderer costs: megabytes, not nothing.
    for (const uint64_t id : {mailId, newsId}) {
        EXPECT_TRUE(WaitUntil(
            [&] {
                view.Refresh();
                return view.Text(id, TfSiteWindows::colMemory).endsWith(u"MiB"_s);
            },
            30000))
            << view.Text(id, TfSiteWindows::colMemory).toStdString();
        EXPECT_EQ(view.Text(id, TfSiteWindows::colState), u"Active"_s);
    }
    EXPECT_EQ(view.Text(mailId, TfSiteWindows::colSite), u"Mail"_s);
    EXPECT_GT(TfSiteWindows::MemoryKb(*manager.FindById(mailId)), 1024);

    // "Put to sleep" lets the page go although its window was on screen; the row says so and
    // the renderer's memory is no longer the site's.
    QPushButton* sleep = RowButton(view, 0, u"btnSleep"_s);
    ASSERT_NE(sleep, nullptr);
    QTest::mouseClick(sleep, Qt::LeftButton);
    EXPECT_TRUE(WaitUntil([&] { return mailWindow->Tab(0)->Frame()->EngineAsleep(); }, 10000));
    EXPECT_EQ(view.Text(mailId, TfSiteWindows::colState), u"Sleeping"_s);
    EXPECT_FALSE(sleep->isEnabled());
    EXPECT_TRUE(WaitUntil(
        [&] {
            view.Refresh();
            return view.Text(mailId, TfSiteWindows::colMemory) == u"\u2014"_s;
        },
        10000))
        << view.Text(mailId, TfSiteWindows::colMemory).toStdString();
    EXPECT_EQ(view.Text(newsId, TfSiteWindows::colState), u"Active"_s);

    // "Close" closes the site's window and its row goes.
    QPushButton* close = RowButton(view, 1, u"btnClose"_s);
    ASSERT_NE(close, nullptr);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(manager.Count(), 1);
    EXPECT_EQ(manager.FindBySite(news.Record.get()), nullptr);
    EXPECT_TRUE(view.Text(newsId, TfSiteWindows::colSite).isEmpty());
    EXPECT_EQ(view.Text(mailId, TfSiteWindows::colSite), u"Mail"_s);
}
