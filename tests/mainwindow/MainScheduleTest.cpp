// The main window's background rhythm with the intervals shortened: one news "minute" is a
// few ticks of 100 ms here.

#include "mainwindow/TMainSchedule.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(MainSchedule, NewsCallsBackEveryOtherIntervalAndEndsOnZero)
{
    auto schedule = std::make_unique<TMainSchedule>();
    schedule->SetTicksPerMinute(2); // one minute: 2 ticks, a call after 3 ticks (300 ms)
    QElapsedTimer clock;
    std::vector<qint64> calls;
    schedule->OnNewsDue = [&] {
        calls.push_back(clock.elapsed());
        // The window refreshes after the hand-over, then lets one interval pass.
        QTimer::singleShot(0, [&] { schedule->NewsTickHandled(); });
    };
    clock.start();
    schedule->ConfigureNewsCheck(1);
    EXPECT_TRUE(schedule->NewsRunning());
    EXPECT_EQ(schedule->NewsIntervalTicks(), 2u);

    ASSERT_TRUE(WaitUntil([&] { return calls.size() >= 3; }, 20000));
    // The first call after one interval, the next ones only after two: the skipped
    // interval lies between them (a busy machine only makes the gaps longer).
    EXPECT_GE(calls[0], 250);
    EXPECT_GE(calls[1] - calls[0], 550);
    EXPECT_GE(calls[2] - calls[1], 550);

    // A new choice changes the running thread; "at start-up only" ends it.
    schedule->ConfigureNewsCheck(30);
    EXPECT_TRUE(schedule->NewsRunning());
    EXPECT_EQ(schedule->NewsIntervalTicks(), 60u);
    schedule->ConfigureNewsCheck(0);
    EXPECT_FALSE(schedule->NewsRunning());
    const size_t callsAtEnd = calls.size();
    ProcessEventsFor(700);
    EXPECT_EQ(calls.size(), callsAtEnd);

    // Choosing an interval again starts a new thread.
    schedule->ConfigureNewsCheck(1);
    EXPECT_TRUE(schedule->NewsRunning());
    ASSERT_TRUE(WaitUntil([&] { return calls.size() > callsAtEnd; }, 20000));
}

TEST(MainSchedule, ANewsTickLeftUnhandledDoesNotHoldTheEnd)
{
    // The window is closing while a tick waits: the suspended thread must still end.
    auto schedule = std::make_unique<TMainSchedule>();
    schedule->SetTicksPerMinute(1);
    int calls = 0;
    schedule->OnNewsDue = [&] {
        ++calls;
    };
    schedule->ConfigureNewsCheck(1);
    ASSERT_TRUE(WaitUntil([&] { return calls == 1; }));
    ProcessEventsFor(500);
    EXPECT_EQ(calls, 1); // held suspended until the tick is handled
    QElapsedTimer clock;
    clock.start();
    schedule.reset();
    EXPECT_LT(clock.elapsed(), 5000);
}

TEST(MainSchedule, BusyIndicatorRunsUntilThePendingJobsHaveCountedDown)
{
    TMainSchedule schedule;
    int starts = 0;
    int steps = 0;
    int stops = 0;
    schedule.OnBusyStart = [&] {
        ++starts;
    };
    schedule.OnBusyStep = [&] {
        ++steps;
    };
    schedule.OnBusyStop = [&] {
        ++stops;
    };

    schedule.StartBusy();
    schedule.StartBusy(); // a second refresh keeps the one ticker
    EXPECT_EQ(starts, 2);
    EXPECT_TRUE(schedule.Busy());
    ASSERT_TRUE(WaitUntil([&] { return steps >= 3; }));

    schedule.SetPending(5);
    for (int i = 0; i < 4; ++i)
        schedule.CountDown();
    EXPECT_EQ(schedule.Pending(), 1);
    EXPECT_EQ(stops, 0);
    EXPECT_TRUE(schedule.Busy());
    schedule.CountDown();
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(schedule.Busy());
    // Late count-downs of an earlier refresh do not stop anything again.
    EXPECT_EQ(schedule.Pending(), 99);
    schedule.CountDown();
    EXPECT_EQ(schedule.Pending(), 98);
    EXPECT_EQ(stops, 1);

    const int stepsAfterStop = steps;
    ProcessEventsFor(300);
    EXPECT_EQ(steps, stepsAfterStop);
}
