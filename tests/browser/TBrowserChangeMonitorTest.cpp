#include "browser/TBrowserChangeMonitor.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A page whose text length the test sets; it answers at once or when told to.
struct TestPage
{
    int64_t Length = 100;
    bool Deferred = false;
    std::vector<std::function<void(int64_t)>> Pending;
    int Measures = 0;

    TBrowserChangeMonitor::TMeasure Measure()
    {
        return [this](std::function<void(int64_t)> answer) {
            ++Measures;
            if (Deferred)
                Pending.push_back(std::move(answer));
            else
                answer(Length);
        };
    }
    void AnswerAll()
    {
        auto pending = std::move(Pending);
        Pending.clear();
        for (auto& answer : pending)
            answer(Length);
    }
};

constexpr uint32_t kNever = 3'600'000;

} // namespace

TEST(TBrowserChangeMonitor, ReportsOnlyChangesMadeWhileTheWindowIsInactive)
{
    TestPage page;
    TBrowserChangeMonitor monitor(page.Measure());
    monitor.SetIntervalsMs(kNever, kNever);
    int changes = 0;
    monitor.OnSiteChanged = [&] {
        ++changes;
    };

    monitor.SetWindowActive(true);
    monitor.StartMonitor();
    EXPECT_EQ(monitor.MonitorState(), TBrowserChangeMonitor::msWaitingForBaseline);
    EXPECT_EQ(page.Measures, 0);
    monitor.TakeBaseline();
    EXPECT_EQ(monitor.MonitorState(), TBrowserChangeMonitor::msWatching);
    EXPECT_EQ(monitor.BaselineLength(), 100);

    // Changed while the user looks at it: no report, but the page as it is now counts.
    page.Length = 120;
    monitor.CheckForChange();
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(monitor.BaselineLength(), 120);

    // The user leaves: a new baseline, then a change is one report, and no change none.
    page.Length = 125;
    monitor.SetWindowActive(false);
    EXPECT_EQ(monitor.BaselineLength(), 125);
    page.Length = 140;
    monitor.CheckForChange();
    EXPECT_EQ(changes, 1);
    monitor.CheckForChange();
    EXPECT_EQ(changes, 1);
    // Shorter counts as well.
    page.Length = 90;
    monitor.CheckForChange();
    EXPECT_EQ(changes, 2);

    // A new top-level load waits for its own baseline; checks meanwhile measure nothing.
    monitor.StartMonitor();
    const int measures = page.Measures;
    monitor.CheckForChange();
    EXPECT_EQ(page.Measures, measures);
    EXPECT_EQ(monitor.MonitorState(), TBrowserChangeMonitor::msWaitingForBaseline);

    // Deactivating before the first baseline takes none.
    monitor.SetWindowActive(false);
    EXPECT_EQ(page.Measures, measures);
}

TEST(TBrowserChangeMonitor, DropsAnswersThatArriveAfterTheMonitorMovedOn)
{
    TestPage page;
    page.Deferred = true;
    int changes = 0;
    {
        TBrowserChangeMonitor monitor(page.Measure());
        monitor.SetIntervalsMs(kNever, kNever);
        monitor.OnSiteChanged = [&] {
            ++changes;
        };
        monitor.StartMonitor();
        monitor.TakeBaseline();
        page.AnswerAll();
        EXPECT_EQ(monitor.BaselineLength(), 100);

        // A check is asked, then the user leaves before the page answers: the answer of the
        // check must not count against the new baseline.
        page.Length = 150;
        monitor.CheckForChange();
        monitor.SetWindowActive(false);
        page.AnswerAll();
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(monitor.BaselineLength(), 150);

        // A new load while a check is out.
        page.Length = 170;
        monitor.CheckForChange();
        monitor.StartMonitor();
        page.AnswerAll();
        EXPECT_EQ(changes, 0);

        // The tab closes while a check is out.
        monitor.TakeBaseline();
        page.AnswerAll();
        page.Length = 10;
        monitor.CheckForChange();
        monitor.Stop();
        page.AnswerAll();
        EXPECT_EQ(changes, 0);
        EXPECT_EQ(monitor.MonitorState(), TBrowserChangeMonitor::msIdle);

        // An unreadable page counts as empty.
        monitor.StartMonitor();
        monitor.TakeBaseline();
        page.Length = -1;
        page.AnswerAll();
        EXPECT_EQ(monitor.BaselineLength(), 0);
        monitor.CheckForChange();
    }
    // The monitor has gone; its last question is answered late.
    page.AnswerAll();
    EXPECT_EQ(changes, 0);
}

TEST(TBrowserChangeMonitor, ItsTimerTakesTheBaselineAndChecksByItself)
{
    TestPage page;
    TBrowserChangeMonitor monitor(page.Measure());
    monitor.SetIntervalsMs(1, 1);
    int changes = 0;
    monitor.OnSiteChanged = [&] {
        ++changes;
    };
    monitor.StartMonitor();
    ASSERT_TRUE(WaitUntil([&] { return monitor.MonitorState() == TBrowserChangeMonitor::msWatching; }));
    ASSERT_TRUE(WaitUntil([&] { return page.Measures >= 3; }));
    EXPECT_EQ(changes, 0);
    page.Length = 300;
    ASSERT_TRUE(WaitUntil([&] { return changes == 1; }));
    monitor.Stop();
}
