#include "TMainSchedule.h"

#include "common/TimerThreads.h"

TMainSchedule::TMainSchedule(QObject* parent) : QObject(parent) {}

TMainSchedule::~TMainSchedule()
{
    StopTicker();
    EndNewsThread();
}

void TMainSchedule::ConfigureNewsCheck(int minutes)
{
    if (m_news) {
        if (minutes <= 0) {
            EndNewsThread();
            return;
        }
        // The current wait continues with the new length.
        m_news->Suspend();
        m_news->SetIntervalTicks(uint32_t(minutes) * m_ticksPerMinute);
        m_news->Resume();
        return;
    }
    if (minutes <= 0)
        return;
    m_news = new TCheckNewsThread([this](TSyncThread* sender) { NewsCallback(sender); });
    m_news->SetIntervalTicks(uint32_t(minutes) * m_ticksPerMinute);
    m_news->Resume();
}

void TMainSchedule::NewsCallback(TSyncThread* sender)
{
    // Held until the tick has been handled, so that a slow refresh never stacks ticks.
    sender->Suspend();
    if (OnNewsDue)
        OnNewsDue();
}

void TMainSchedule::NewsTickHandled()
{
    if (m_news)
        m_news->SkipOnceAndResume();
}

uint32_t TMainSchedule::NewsIntervalTicks() const
{
    return m_news ? m_news->IntervalTicks() : 0;
}

void TMainSchedule::EndNewsThread()
{
    if (!m_news)
        return;
    // Terminate also releases a thread that a news tick left suspended.
    m_news->TerminateAndWait();
    delete m_news;
    m_news = nullptr;
}

void TMainSchedule::StartBusy()
{
    if (OnBusyStart)
        OnBusyStart();
    if (!m_ticker) {
        m_ticker = new TIterateThread([this](TSyncThread*) {
            if (OnBusyStep)
                OnBusyStep();
        });
    } else if (m_ticker->Suspended()) {
        m_ticker->Resume();
    }
}

void TMainSchedule::SetPending(int32_t count)
{
    m_pending = count;
    if (count != 0)
        return;
    if (OnBusyStop)
        OnBusyStop();
    StopTicker();
    // Late count-downs must not reach 0 again before the next refresh sets its count.
    m_pending = 99;
}

void TMainSchedule::StopTicker()
{
    if (!m_ticker)
        return;
    // The ticker frees itself once it has ended.
    m_ticker->Stop();
    m_ticker = nullptr;
}
