#include "common/TimerThreads.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

#include <atomic>

// Timing is never a pass condition here: the limits only keep a broken thread from
// hanging the suite.

TEST(TDelayThread, ZeroDelayCallsBackOnceOnTheMainThread)
{
    int calls = 0;
    bool onMainThread = false;
    TDelayThread thread(0, false, [&](TSyncThread*) {
        ++calls;
        onMainThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    ASSERT_TRUE(WaitUntil([&] { return calls > 0; }));
    thread.wait();
    ProcessEventsFor(50);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(onMainThread);
}

TEST(TDelayThread, TerminatedBeforeTheDelayMakesNoCall)
{
    int calls = 0;
    TDelayThread thread(60000, false, [&](TSyncThread*) { ++calls; });
    thread.TerminateAndWait();
    ProcessEventsFor(50);
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(thread.isFinished());
}

TEST(TDelayThread, FreesItselfAfterItsCallWhenAskedTo)
{
    int calls = 0;
    QPointer<TDelayThread> thread = new TDelayThread(0, true, [&](TSyncThread*) { ++calls; });
    EXPECT_TRUE(WaitUntil([&] { return thread.isNull(); }));
    EXPECT_EQ(calls, 1);
}

TEST(TExecuteThread, RunsTheStepAfterTheCurrentEvent)
{
    int calls = 0;
    TExecuteThread thread(false, [&](TSyncThread*) { ++calls; });
    EXPECT_TRUE(WaitUntil([&] { return calls == 1; }));
}

TEST(TSyncThread, ThreadTerminatedWhileItsHandOverIsPendingEndsWithoutTheCall)
{
    std::atomic<int> calls = 0;
    TExecuteThread thread(false, [&](TSyncThread*) { ++calls; });
    // The main thread processes no events, so the hand-over stays pending; waiting for
    // the thread must not dead-lock.
    QThread::msleep(50);
    thread.TerminateAndWait();
    EXPECT_TRUE(thread.isFinished());
    ProcessEventsFor(50);
    EXPECT_EQ(calls, 0);
}

TEST(TSyncThread, ACallbackMayWaitForItsOwnThread)
{
    // The thread is told to end from inside its own hand-over: neither side may wait
    // for the other for ever.
    bool finishedInside = false;
    TIntervalThread thread;
    thread.SetInterval(0);
    thread.SetCallback([&](TSyncThread* sender) {
        sender->TerminateAndWait();
        finishedInside = sender->isFinished();
    });
    thread.Restart();
    EXPECT_TRUE(WaitUntil([&] { return finishedInside; }));
}

TEST(TSyncThread, ExceptionsFromTheCallbackAreSwallowedAndTheThreadGoesOn)
{
    int calls = 0;
    TIntervalThread thread;
    thread.SetInterval(1);
    thread.SetCallback([&](TSyncThread*) {
        ++calls;
        throw std::runtime_error("callback failed");
    });
    thread.Restart();
    EXPECT_TRUE(WaitUntil([&] { return calls >= 3; }));
    thread.Stop();
}

TEST(TIntervalThread, SleepStepFollowsShortIntervalsAndOtherwiseReturnsTo100)
{
    TIntervalThread thread;
    EXPECT_EQ(thread.SleepStep(), 100u);
    thread.SetInterval(30);
    EXPECT_EQ(thread.SleepStep(), 30u);
    thread.SetInterval(60); // not below the current step of 30
    EXPECT_EQ(thread.SleepStep(), 100u);
    EXPECT_EQ(thread.Interval(), 60u);
    thread.SetInterval(500);
    EXPECT_EQ(thread.SleepStep(), 100u);
}

TEST(TIntervalThread, CallsBackRepeatedlyUntilStoppedAndNeverAfter)
{
    int calls = 0;
    TIntervalThread thread;
    thread.SetInterval(10);
    thread.SetCallback([&](TSyncThread*) { ++calls; });
    EXPECT_TRUE(thread.Suspended()); // created suspended
    thread.Restart();
    ASSERT_TRUE(WaitUntil([&] { return calls >= 3; }));
    thread.Stop();
    thread.wait();
    const int callsAtStop = calls;
    ProcessEventsFor(100);
    EXPECT_EQ(calls, callsAtStop);
}

TEST(TIntervalThread, RestartStartsTheWaitOver)
{
    int calls = 0;
    TIntervalThread thread;
    thread.SetInterval(60000);
    thread.SetCallback([&](TSyncThread*) { ++calls; });
    thread.Restart();
    // Restarting a long wait does not make a call; a short interval afterwards does.
    thread.Restart();
    ProcessEventsFor(50);
    EXPECT_EQ(calls, 0);
    thread.SetInterval(20);
    thread.Restart();
    EXPECT_TRUE(WaitUntil([&] { return calls >= 1; }));
}

TEST(TIntervalThread, SuspendedThreadMakesNoCallsUntilResumed)
{
    std::atomic<int> calls = 0;
    TIntervalThread thread;
    thread.SetInterval(5);
    thread.SetCallback([&](TSyncThread* sender) {
        ++calls;
        sender->Suspend();
    });
    thread.Restart();
    ASSERT_TRUE(WaitUntil([&] { return calls == 1; }));
    ProcessEventsFor(100);
    EXPECT_EQ(calls, 1);
    thread.Resume();
    EXPECT_TRUE(WaitUntil([&] { return calls == 2; }));
}

TEST(TCheckNewsThread, IntervalIsInTicksOf100ms)
{
    TCheckNewsThread thread([](TSyncThread*) {});
    EXPECT_EQ(thread.IntervalTicks(), 1000u);
    thread.SetInterval(15);
    EXPECT_EQ(thread.IntervalTicks(), 9000u);
    EXPECT_TRUE(thread.Suspended());
}

TEST(TCheckNewsThread, SkipOnceLetsOneIntervalPassWithoutACall)
{
    // Interval 0 minutes: one tick of 100 ms per round.
    int calls = 0;
    TCheckNewsThread thread([&](TSyncThread* sender) {
        ++calls;
        sender->Suspend();
    });
    thread.SetInterval(0);
    thread.Resume();
    ASSERT_TRUE(WaitUntil([&] { return calls == 1; }));
    // As the news tick handler does: skip the next round, then call again.
    thread.SkipOnceAndResume();
    ASSERT_TRUE(WaitUntil([&] { return calls == 2; }));
    thread.TerminateAndWait();
}

TEST(TCheckNewsThread, TerminatingASuspendedThreadEndsIt)
{
    int calls = 0;
    TCheckNewsThread thread([&](TSyncThread* sender) {
        ++calls;
        sender->Suspend();
    });
    thread.SetInterval(0);
    thread.Resume();
    ASSERT_TRUE(WaitUntil([&] { return calls == 1; }));
    thread.TerminateAndWait();
    EXPECT_TRUE(thread.isFinished());
}

TEST(TIterateThread, TicksUntilStoppedThenFreesItself)
{
    int calls = 0;
    QPointer<TIterateThread> thread = new TIterateThread([&](TSyncThread*) { ++calls; });
    ASSERT_TRUE(WaitUntil([&] { return calls >= 2; }));
    thread->Stop();
    EXPECT_TRUE(WaitUntil([&] { return thread.isNull(); }));
}
