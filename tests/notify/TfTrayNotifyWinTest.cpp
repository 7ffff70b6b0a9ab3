#include "notify/TfTrayNotifyWin.h"
#include "notify/TMVTrayNotifyManager.h"

#include "markup/HtmlLabel.h"
#include "support/TestSupport.h"

#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr uint32_t kNever = 3'600'000;

// The screen of the tests: 1024 x 768 with a 30-pixel panel at the bottom.
TTrayNotifyTimings ManualTimings(bool autoHide = false)
{
    TTrayNotifyTimings timings;
    timings.FadeStepMs = kNever;
    timings.DisplayMs = kNever;
    timings.Screen = [autoHide](QRect& screen, TrayNotifyPlacement::TPanelInfo& panel) {
        screen = QRect(0, 0, 1024, 768);
        panel = {TrayNotifyPlacement::peBottom, QRect(0, 738, 1024, 30), autoHide};
    };
    return timings;
}

void ClickLink(THtmlLabel* label)
{
    ASSERT_NE(label, nullptr);
    ASSERT_FALSE(label->LinkRegions().empty());
    QTest::mouseClick(label, Qt::LeftButton, {}, label->LinkRegions().front().Bounds.center());
}

} // namespace

TEST(TfTrayNotifyWin, OneSiteSitsAtTheCornerAboveTheBottomPanel)
{
    for (const bool autoHide : {false, true}) {
        auto* window = new TfTrayNotifyWin(ManualTimings(autoHide));
        QPointer<TfTrayNotifyWin> alive(window);
        window->AddSite(u"Mail"_s, u"Inbox (3)"_s, 0, QString());
        window->ShowNotification();

        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->width(), 260);
        ASSERT_EQ(window->Sites().size(), 1u);
        const QRect frame = window->geometry();
        EXPECT_EQ(frame.right(), 1023);
        // Above the panel's top edge, or 2 pixels off the screen's edge when it hides.
        EXPECT_EQ(frame.bottom(), autoHide ? 765 : 737);
        // The line lies inside the window.
        THtmlLabel* line = window->Sites()[0]->LineLabel;
        ASSERT_NE(line, nullptr);
        const QRect lineRect(line->mapTo(window, QPoint(0, 0)), line->size());
        EXPECT_TRUE(window->rect().contains(lineRect));
        EXPECT_TRUE(window->testAttribute(Qt::WA_ShowWithoutActivating));
        EXPECT_TRUE(window->windowFlags() & Qt::Tool);
        window->CloseNotification();
        EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));
    }
}

TEST(TfTrayNotifyWin, FadesInStaysFadesOutAndALineAddedWhileFadingOutReturnsToFullOpacity)
{
    auto* window = new TfTrayNotifyWin(ManualTimings());
    QPointer<TfTrayNotifyWin> alive(window);
    int closed = 0;
    window->OnClose = [&](TfTrayNotifyWin&) {
        ++closed;
    };
    window->AddSite(u"Mail"_s, u"Inbox"_s, 0, QString());
    window->ShowNotification();
    EXPECT_EQ(window->NotifyState(), TfTrayNotifyWin::nsFadingIn);
    EXPECT_EQ(window->Opacity(), 0);

    int ticks = 0;
    while (window->NotifyState() == TfTrayNotifyWin::nsFadingIn && ticks < 100) {
        window->TimerTick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 26);
    EXPECT_EQ(window->NotifyState(), TfTrayNotifyWin::nsShown);
    EXPECT_EQ(window->Opacity(), 255);

    const int oneLineHeight = window->height();
    window->TimerTick();
    EXPECT_EQ(window->NotifyState(), TfTrayNotifyWin::nsFadingOut);
    for (int i = 0; i < 5; ++i)
        window->TimerTick();
    EXPECT_EQ(window->Opacity(), 205);

    window->AddSite(u"News"_s, u"Front page"_s, 1, QString());
    EXPECT_EQ(window->NotifyState(), TfTrayNotifyWin::nsShown);
    EXPECT_EQ(window->Opacity(), 255);
    EXPECT_EQ(window->Sites().size(), 2u);
    EXPECT_EQ(window->height(), oneLineHeight + 24);
    // Still standing on the panel after growing.
    EXPECT_EQ(window->geometry().bottom(), 737);

    // The display time ends, the window fades out and closes itself once.
    window->TimerTick();
    EXPECT_EQ(window->NotifyState(), TfTrayNotifyWin::nsFadingOut);
    ticks = 0;
    while (closed == 0 && ticks < 100) {
        window->TimerTick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 26);
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));
}

TEST(TfTrayNotifyWin, ALineAddedWhileFadingInLetsTheFadeFinish)
{
    auto* window = new TfTrayNotifyWin(ManualTimings());
    QPointer<TfTrayNotifyWin> alive(window);
    window->AddSite(u"Mail"_s, u"Inbox"_s, 0, QString());
    window->ShowNotification();
    window->TimerTick();
    window->AddSite(u"News"_s, u"Front page"_s, 1, QString());
    EXPECT_EQ(window->NotifyState(), TfTrayNotifyWin::nsFadingIn);
    EXPECT_EQ(window->Opacity(), 10);
    window->CloseNotification();
    EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));
}

TEST(TfTrayNotifyWin, TitleLinkReportsItsLineAndTheCloseButtonDoesNot)
{
    auto* window = new TfTrayNotifyWin(ManualTimings());
    QPointer<TfTrayNotifyWin> alive(window);
    std::vector<int> clicked;
    int closed = 0;
    window->OnItemClick = [&](int index) {
        clicked.push_back(index);
    };
    window->OnClose = [&](TfTrayNotifyWin&) {
        ++closed;
    };
    window->AddSite(u"Mail"_s, u"Inbox"_s, 4, QString());
    window->AddSite(u"News"_s, u"Front"_s, 7, QString());
    window->ShowNotification();
    ClickLink(window->Sites()[1]->LineLabel);
    EXPECT_EQ(clicked, std::vector<int>{7});
    EXPECT_EQ(closed, 1);
    EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));

    window = new TfTrayNotifyWin(ManualTimings());
    alive = window;
    window->OnItemClick = [&](int index) {
        clicked.push_back(index);
    };
    window->OnClose = [&](TfTrayNotifyWin&) {
        ++closed;
    };
    window->AddSite(u"Mail"_s, u"Inbox"_s, 0, QString());
    window->ShowNotification();
    QTest::mouseClick(window, Qt::LeftButton, {}, window->CloseButtonRect().center());
    EXPECT_EQ(clicked.size(), 1u);
    EXPECT_EQ(closed, 2);
    EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));
}

TEST(TfTrayNotifyWin, TitlesFromPagesAreTextNotMarkup)
{
    auto* window = new TfTrayNotifyWin(ManualTimings());
    QPointer<TfTrayNotifyWin> alive(window);
    std::vector<int> clicked;
    window->OnItemClick = [&](int index) {
        clicked.push_back(index);
    };
    window->AddSite(u"Mail"_s, u"<a 1>Click</a> <b>me"_s, 0, QString());
    window->AddSite(u"News"_s, u"Front"_s, 1, QString());
    window->ShowNotification();
    THtmlLabel* line = window->Sites()[0]->LineLabel;
    // Only the site title is a link, and the page title's text shows as it came.
    ASSERT_EQ(line->LinkRegions().size(), 1u);
    EXPECT_EQ(line->LinkRegions().front().Target, u"0"_s);
    QString shown;
    for (const TStyledPhrase& phrase : line->Phrases())
        shown += phrase.Text;
    shown.remove(QChar(0x200B));
    EXPECT_TRUE(shown.endsWith(u"<a 1>Click</a> <b>me"_s)) << shown.toStdString();
    window->CloseNotification();
    EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));
}

TEST(TfTrayNotifyWin, ItsOwnTimerRunsTheWholeShowAndFreesTheWindow)
{
    TTrayNotifyTimings timings = ManualTimings();
    timings.FadeStepMs = 1;
    timings.DisplayMs = 1;
    auto* window = new TfTrayNotifyWin(timings);
    QPointer<TfTrayNotifyWin> alive(window);
    bool closed = false;
    window->OnClose = [&](TfTrayNotifyWin&) {
        closed = true;
    };
    window->AddSite(u"Mail"_s, u"Inbox"_s, 0, QString());
    window->ShowNotification();
    EXPECT_TRUE(WaitUntil([&] { return alive.isNull(); }));
    EXPECT_TRUE(closed);
}

TEST(TMVTrayNotifyManager, ReportsWithinTheDisplayTimeShareOneWindowAndAClickNamesItsEntry)
{
    TMVTrayNotifyManager manager(ManualTimings());
    std::vector<TMVTrayNotifyManager::TEntryId> clicked;
    manager.OnItemClick = [&](TMVTrayNotifyManager::TEntryId entry) {
        clicked.push_back(entry);
    };

    manager.Notify(11, u"Mail"_s, u"Inbox"_s, QString());
    QPointer<TfTrayNotifyWin> first = manager.NotifyWindow();
    ASSERT_FALSE(first.isNull());
    manager.Notify(22, u"News"_s, u"Front page"_s, QString());
    EXPECT_EQ(manager.NotifyWindow(), first.data());
    ASSERT_EQ(first->Sites().size(), 2u);
    EXPECT_EQ(first->Sites()[1]->SiteTitle, u"News"_s);

    ClickLink(first->Sites()[1]->LineLabel);
    EXPECT_EQ(clicked, std::vector<TMVTrayNotifyManager::TEntryId>{22});
    EXPECT_EQ(manager.NotifyWindow(), nullptr);
    EXPECT_TRUE(manager.Announced().empty());
    EXPECT_TRUE(WaitUntil([&] { return first.isNull(); }));

    // The next report opens a new window whose first line is line 0 again.
    manager.Notify(33, u"Chat"_s, u"Lobby"_s, QString());
    ASSERT_NE(manager.NotifyWindow(), nullptr);
    ClickLink(manager.NotifyWindow()->Sites()[0]->LineLabel);
    EXPECT_EQ(clicked, (std::vector<TMVTrayNotifyManager::TEntryId>{22, 33}));

    // Out of range lines reach nobody.
    manager.ItemClicked(5);
    manager.ItemClicked(-1);
    EXPECT_EQ(clicked.size(), 2u);
}

TEST(TMVTrayNotifyManager, DestroysAnOpenWindowWithoutCallingBack)
{
    QPointer<TfTrayNotifyWin> window;
    {
        TMVTrayNotifyManager manager(ManualTimings());
        manager.Notify(1, u"Mail"_s, u"Inbox"_s, QString());
        window = manager.NotifyWindow();
        ASSERT_FALSE(window.isNull());
    }
    EXPECT_TRUE(window.isNull());
}
