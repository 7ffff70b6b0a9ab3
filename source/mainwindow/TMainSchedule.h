#pragma once

#include <QObject>

#include <cstdint>
#include <functional>

class TCheckNewsThread;
class TIterateThread;
class TSyncThread;

// The main window's background rhythm: the news thread that asks for a catalog refresh
// every other interval, the busy indicator's ticker and the count of catalog jobs still
// pending. Everything here runs on the main thread; the threads only wait and hand over.
class TMainSchedule final : public QObject
{
    Q_OBJECT

public:
    explicit TMainSchedule(QObject* parent = nullptr);
    // Stops the ticker and ends the news thread, waiting for it.
    ~TMainSchedule() override;

    // Raised inside the news thread's hand-over, with the thread suspended; the owner posts
    // itself the news tick and calls NewsTickHandled once it has refreshed.
    std::function<void()> OnNewsDue;
    // The busy indicator: start animating, advance one step (every 50 ms), and stop (with
    // the status text cleared) when the last pending job has counted down.
    std::function<void()> OnBusyStart;
    std::function<void()> OnBusyStep;
    std::function<void()> OnBusyStop;

    // 0 minutes ends the news thread; otherwise it waits minutes * 600 + 1 ticks of 100 ms.
    void ConfigureNewsCheck(int minutes);
    // After the refresh of a news tick: the next interval passes without a call.
    void NewsTickHandled();
    bool NewsRunning() const { return m_news != nullptr; }
    // The news thread's interval in 100 ms ticks, 0 without a thread (for tests).
    uint32_t NewsIntervalTicks() const;
    // Test seam: the length of one news minute in ticks (600 normally).
    void SetTicksPerMinute(uint32_t ticks) { m_ticksPerMinute = ticks; }

    void StartBusy();
    bool Busy() const { return m_ticker != nullptr; }
    void SetPending(int32_t count);
    void CountDown() { SetPending(m_pending - 1); }
    int32_t Pending() const { return m_pending; }

private:
    void NewsCallback(TSyncThread* sender);
    void StopTicker();
    void EndNewsThread();

    TCheckNewsThread* m_news = nullptr;
    TIterateThread* m_ticker = nullptr;
    int32_t m_pending = 0;
    uint32_t m_ticksPerMinute = 600;
};
