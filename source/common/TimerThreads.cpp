#include "TimerThreads.h"

#include <algorithm>

namespace {

constexpr unsigned kStepMs = 100;
constexpr unsigned kTickerStepMs = 50;

} // namespace

// Every subclass waits for its thread in its own destructor: the base destructor would
// be too late, the thread could still be running code of the subclass.

TDelayThread::TDelayThread(uint32_t delayMs, bool freeOnTerminate, Callback callback, QObject* parent)
    : TSyncThread(true, parent), m_delay(delayMs)
{
    SetCallback(std::move(callback));
    SetFreeOnTerminate(freeOnTerminate);
    Resume();
}

TDelayThread::~TDelayThread()
{
    TerminateAndWait();
}

void TDelayThread::Execute()
{
    uint32_t slept = 0;
    while (!Terminated() && slept < m_delay) {
        Sleep(kStepMs);
        slept += kStepMs;
    }
    if (!Terminated())
        DoCallback();
}

TExecuteThread::TExecuteThread(bool freeOnTerminate, Callback callback, QObject* parent)
    : TSyncThread(true, parent)
{
    SetCallback(std::move(callback));
    SetFreeOnTerminate(freeOnTerminate);
    Resume();
}

TExecuteThread::~TExecuteThread()
{
    TerminateAndWait();
}

void TExecuteThread::Execute()
{
    DoCallback();
}

TCheckNewsThread::TCheckNewsThread(Callback callback, QObject* parent) : TSyncThread(true, parent)
{
    SetCallback(std::move(callback));
}

TCheckNewsThread::~TCheckNewsThread()
{
    TerminateAndWait();
}

void TCheckNewsThread::SkipOnceAndResume()
{
    m_skipOnce = true;
    Resume();
}

void TCheckNewsThread::Execute()
{
    while (!Terminated()) {
        // The interval is read on every tick: a new one set while waiting applies at once.
        for (uint32_t tick = 0; uint64_t(tick) < uint64_t(m_interval) + 1 && !Terminated(); ++tick)
            Sleep(kStepMs);
        if (Terminated())
            break;
        if (m_skipOnce.exchange(false))
            continue;
        DoCallback();
        // The callback suspends this thread until its news tick has been handled.
        WaitWhileSuspended();
    }
}

TIntervalThread::TIntervalThread(QObject* parent) : TSyncThread(true, parent) {}

TIntervalThread::~TIntervalThread()
{
    TerminateAndWait();
}

void TIntervalThread::SetInterval(uint32_t ms)
{
    m_interval = ms;
    m_step = ms < m_step ? ms : kStepMs;
}

void TIntervalThread::Restart()
{
    m_restart = true;
    Wake();
    if (Suspended())
        Resume();
}

void TIntervalThread::Stop()
{
    ClearCallback();
    Terminate();
}

void TIntervalThread::Execute()
{
    while (!Terminated()) {
        WaitWhileSuspended();
        m_restart = false;
        uint32_t sum = 0;
        while (!Terminated() && sum < m_interval && !m_restart) {
            const uint32_t step = std::max<uint32_t>(m_step, 1);
            Sleep(step, [this] { return m_restart.load(); });
            sum += step;
        }
        if (!Terminated() && !m_restart)
            DoCallback();
    }
}

TIterateThread::TIterateThread(Callback callback, QObject* parent) : TSyncThread(true, parent)
{
    SetCallback(std::move(callback));
    SetFreeOnTerminate(true);
    Resume();
}

TIterateThread::~TIterateThread()
{
    TerminateAndWait();
}

void TIterateThread::Stop()
{
    ClearCallback();
    Terminate();
}

void TIterateThread::Execute()
{
    while (!Terminated()) {
        Sleep(kTickerStepMs);
        if (!Terminated())
            DoCallback();
    }
}
