#include "sites/TileGeometry.h"
#include "sites/TFlashThread.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QThread>

#include <gtest/gtest.h>

using namespace TileGeometry;
using namespace Qt::Literals::StringLiterals;

TEST(TileGeometry, FullTileWithThumbnailIconAndButton)
{
    const TTileLayout layout = Layout(QSize(280, 90), {true, true, true, 32});
    EXPECT_EQ(layout.Card, QRect(0, 0, 278, 88));
    EXPECT_EQ(layout.Inner, QRect(1, 1, 276, 86));
    EXPECT_EQ(layout.Header, QRect(1, 1, 276, 28));
    EXPECT_EQ(layout.ButtonPos, QPoint(255, 8));
    EXPECT_EQ(layout.ButtonZone, QRect(255, 7, 17, 16));
    EXPECT_EQ(layout.ThumbnailPos, QPoint(4, 4));
    EXPECT_EQ(layout.ShortcutPos, QPoint(1, 55));
    // The icon sits where the title would start; the title moves past it, one pixel lower
    // band, and keeps 25 pixels off the button.
    EXPECT_EQ(layout.IconPos, QPoint(114, 7));
    EXPECT_EQ(layout.Title, QRect(134, 1, 117, 27));
    EXPECT_EQ(layout.Address, QRect(114, 36, 163, 16));
    EXPECT_EQ(layout.Description, QRect(114, 52, 161, 33));
}

TEST(TileGeometry, WithoutThumbnailTextsStartAtTheCardsEdge)
{
    const TTileLayout layout = Layout(QSize(280, 90), {false, false, false, 32});
    EXPECT_EQ(layout.IconPos, QPoint(6, 7));
    EXPECT_EQ(layout.Title, QRect(6, 1, 270, 28));
    EXPECT_EQ(layout.Address, QRect(6, 37, 271, 16));
    EXPECT_EQ(layout.Description, QRect(6, 53, 269, 32));

    // Another size moves everything that hangs on the right and bottom edges.
    const TTileLayout wide = Layout(QSize(300, 100), {false, true, true, 20});
    EXPECT_EQ(wide.ButtonZone, QRect(275, 7, 17, 16));
    EXPECT_EQ(wide.ShortcutPos, QPoint(1, 97 - 20));
    EXPECT_EQ(wide.Title, QRect(26, 1, 245, 27));
}

TEST(TileGeometry, AddressCountsTheSitesTabs)
{
    EXPECT_EQ(AddressText(u"http://example.com/"_s, 0), u"http://example.com/"_s);
    EXPECT_EQ(AddressText(u"http://example.com/"_s, 1), u"(2) http://example.com/"_s);
    EXPECT_EQ(AddressText(u"http://example.com/"_s, 2), u"(3) http://example.com/"_s);
}

TEST(TileGeometry, DragStartsAtTwentyPixelsInEitherDirection)
{
    const QPoint from(50, 50);
    EXPECT_FALSE(DragThresholdReached(from, QPoint(69, 50)));
    EXPECT_TRUE(DragThresholdReached(from, QPoint(70, 50)));
    EXPECT_FALSE(DragThresholdReached(from, QPoint(31, 69)));
    EXPECT_TRUE(DragThresholdReached(from, QPoint(30, 50)));
    EXPECT_TRUE(DragThresholdReached(from, QPoint(50, 30)));
    EXPECT_FALSE(DragThresholdReached(from, QPoint(69, 31)));
}

TEST(TFlashThread, TicksOnTheMainThreadThenEnds)
{
    int ticks = 0;
    bool offMainThread = false;
    QElapsedTimer clock;
    clock.start();
    TFlashThread worker(20, 5, [&](TSyncThread*) {
        ++ticks;
        offMainThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
    });
    EXPECT_EQ(worker.Interval(), 20u);
    EXPECT_EQ(worker.TickCount(), 5);
    ASSERT_TRUE(WaitUntil([&] { return worker.isFinished(); }));
    EXPECT_EQ(ticks, 5);
    EXPECT_FALSE(offMainThread);
    // Every tick waits its interval first.
    EXPECT_GE(clock.elapsed(), 5 * 20);
}

TEST(TFlashThread, DestroyedWorkerTicksNoMore)
{
    int ticks = 0;
    auto* worker = new TFlashThread(30, 5, [&](TSyncThread*) { ++ticks; });
    ASSERT_TRUE(WaitUntil([&] { return ticks >= 1; }));
    delete worker;
    const int seen = ticks;
    ProcessEventsFor(250);
    EXPECT_EQ(ticks, seen);
    EXPECT_LT(seen, 5);
}
