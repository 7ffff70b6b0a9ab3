#pragma once

#include "TSyncThread.h"

#include <atomic>
#include <cstdint>

// The small timing threads of the program. Each waits on its own thread in short steps,
// so that it reacts to Terminate within a step, and hands its callback to the main thread.

// One call after a delay. The delay is slept in steps of 100 ms while the slept time is
// below it (a delay of 250 ms sleeps 300 ms); a thread terminated before then makes no call.
class TDelayThread final : public TSyncThread
{
    Q_OBJECT

public:
    TDelayThread(uint32_t delayMs, bool freeOnTerminate, Callback callback, QObject* parent = nullptr);
    ~TDelayThread() override;

private:
    void Execute() override;

    const uint32_t m_delay;
};

// One deferred call: runs a step on the main thread after the current event has been handled.
class TExecuteThread final : public TSyncThread
{
    Q_OBJECT

public:
    TExecuteThread(bool freeOnTerminate, Callback callback, QObject* parent = nullptr);
    ~TExecuteThread() override;

private:
    void Execute() override;
};

// The periodic "Check for news". Created suspended; waits interval + 1 ticks of 100 ms,
// then calls back unless its skip-once flag was set, which it clears instead.
class TCheckNewsThread final : public TSyncThread
{
    Q_OBJECT

public:
    explicit TCheckNewsThread(Callback callback, QObject* parent = nullptr);
    ~TCheckNewsThread() override;

    void SetInterval(uint32_t minutes) { m_interval = minutes * 600; }
    // The interval in ticks of 100 ms (tests shorten the wait with it).
    void SetIntervalTicks(uint32_t ticks) { m_interval = ticks; }
    uint32_t IntervalTicks() const { return m_interval; }
    void SkipOnceAndResume();

private:
    void Execute() override;

    std::atomic<uint32_t> m_interval{1000};
    std::atomic<bool> m_skipOnce{false};
};

// A restartable periodic call. Created suspended; its users set the interval and the
// callback, then Restart it. An interval of 0 calls back again and again without sleeping.
class TIntervalThread final : public TSyncThread
{
    Q_OBJECT

public:
    explicit TIntervalThread(QObject* parent = nullptr);
    ~TIntervalThread() override;

    // The sleep step follows short intervals down and returns to 100 ms otherwise.
    void SetInterval(uint32_t ms);
    uint32_t Interval() const { return m_interval; }
    uint32_t SleepStep() const { return m_step; }
    // Starts the current wait over (and resumes a suspended thread).
    void Restart();
    // Clears the callback and asks the thread to end.
    void Stop();

private:
    void Execute() override;

    std::atomic<uint32_t> m_interval{0};
    std::atomic<uint32_t> m_step{100};
    std::atomic<bool> m_restart{false};
};

// The busy bar's ticker: calls back every 50 ms until stopped, then frees itself.
class TIterateThread final : public TSyncThread
{
    Q_OBJECT

public:
    explicit TIterateThread(Callback callback, QObject* parent = nullptr);
    ~TIterateThread() override;

    // Clears the callback and asks the thread to end; it frees itself.
    void Stop();

private:
    void Execute() override;
};
