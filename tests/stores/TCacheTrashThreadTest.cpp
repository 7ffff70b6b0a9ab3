#include "stores/TCacheTrashThread.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

TEST(TCacheTrashThread, StepsOnTheMainThreadUntilStopped)
{
    int steps = 0;
    bool allOnMainThread = true;
    TCacheTrashThread thread(
        [&] {
            ++steps;
            allOnMainThread =
                allOnMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
        },
        0, 1);
    thread.Resume();
    ASSERT_TRUE(WaitUntil([&] { return steps >= 3; }));
    thread.TerminateAndWait();
    const int stepsAtStop = steps;
    ProcessEventsFor(30);
    EXPECT_EQ(steps, stepsAtStop);
    EXPECT_TRUE(allOnMainThread);
}

TEST(TCacheTrashThread, AStopEndsItsWaitAtOnce)
{
    int steps = 0;
    TCacheTrashThread thread([&] { ++steps; }, 60000, 60000);
    thread.Resume();
    QElapsedTimer timer;
    timer.start();
    thread.TerminateAndWait();
    // Far below the minute it would otherwise wait.
    EXPECT_LT(timer.elapsed(), 10000);
    EXPECT_EQ(steps, 0);
}
