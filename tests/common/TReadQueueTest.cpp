#include "common/TReadQueue.h"
#include "support/TestSupport.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace {

TEST(TReadQueue, ReadsOffTheOwnersThreadAndHandsBackInOrderOnIt)
{
    TReadQueue queue;
    QThread* owner = QThread::currentThread();
    std::vector<int> order;
    bool readOnOwner = false;
    bool handedBackElsewhere = false;
    for (int i = 0; i < 20; ++i) {
        queue.Read<std::unique_ptr<int>>(
            [i, owner, &readOnOwner] {
                readOnOwner = readOnOwner || QThread::currentThread() == owner;
                // The first read takes longest: the later ones must still come after it.
                if (i == 0)
                    QThread::msleep(200);
                return std::make_unique<int>(i);
            },
            [&, owner](std::unique_ptr<int>& value) {
                handedBackElsewhere = handedBackElsewhere || QThread::currentThread() != owner;
                order.push_back(*value);
            });
    }
    bool after = false;
    queue.AfterReads([&] { after = order.size() == 20; });
    EXPECT_EQ(queue.Pending(), 21);
    ASSERT_TRUE(WaitUntil([&] { return queue.Pending() == 0; }));
    EXPECT_FALSE(readOnOwner);
    EXPECT_FALSE(handedBackElsewhere);
    std::vector<int> expected(20);
    for (int i = 0; i < 20; ++i)
        expected[size_t(i)] = i;
    EXPECT_EQ(order, expected);
    EXPECT_TRUE(after);
}

TEST(TReadQueue, WhatIsReadWhenTheQueueGoesIsNeverHandedBack)
{
    std::atomic<int> reads = 0;
    int handedBack = 0;
    {
        TReadQueue queue;
        for (int i = 0; i < 3; ++i) {
            queue.Read<int>(
                [&reads] {
                    QThread::msleep(100);
                    return ++reads;
                },
                [&handedBack](int&) { ++handedBack; });
        }
        // The first read runs meanwhile; the queue waits for it and drops the rest.
        QThread::msleep(20);
    }
    ProcessEventsFor(300);
    EXPECT_EQ(handedBack, 0);
    EXPECT_LT(reads.load(), 3);
}

} // namespace
