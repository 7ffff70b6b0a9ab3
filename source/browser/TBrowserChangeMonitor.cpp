#include "TBrowserChangeMonitor.h"

#include "common/TimerThreads.h"

TBrowserChangeMonitor::TBrowserChangeMonitor(TMeasure measure) : m_measure(std::move(measure)) {}

TBrowserChangeMonitor::~TBrowserChangeMonitor()
{
    *m_alive = false;
    m_state = msIdle;
    if (m_timer) {
        m_timer->Stop();
        m_timer->Resume();
        delete m_timer;
    }
}

void TBrowserChangeMonitor::SetIntervalsMs(uint32_t baselineDelayMs, uint32_t intervalMs)
{
    m_baselineDelayMs = baselineDelayMs;
    m_intervalMs = intervalMs;
}

void TBrowserChangeMonitor::Arm(uint32_t periodMs, void (TBrowserChangeMonitor::*tick)())
{
    if (!m_timer)
        m_timer = new TIntervalThread;
    m_timer->SetCallback([this, tick](TSyncThread*) { (this->*tick)(); });
    m_timer->SetInterval(periodMs);
    m_timer->Restart();
}

void TBrowserChangeMonitor::StartMonitor()
{
    ++m_generation;
    m_state = msWaitingForBaseline;
    Arm(m_baselineDelayMs, &TBrowserChangeMonitor::TakeBaseline);
}

void TBrowserChangeMonitor::TakeBaseline()
{
    if (m_state == msIdle)
        return;
    const uint64_t generation = ++m_generation;
    m_state = msWatching;
    Arm(m_intervalMs, &TBrowserChangeMonitor::CheckForChange);
    m_measure([this, alive = m_alive, generation](int64_t length) {
        if (!*alive || generation != m_generation)
            return;
        // An unreadable page counts as empty, as one with nothing readable in it.
        m_baseline = std::max<int64_t>(length, 0);
    });
}

void TBrowserChangeMonitor::CheckForChange()
{
    CheckNow({});
}

void TBrowserChangeMonitor::CheckNow(const std::function<void(bool changed)>& done)
{
    if (m_state != msWatching) {
        if (done)
            done(false);
        return;
    }
    const uint64_t generation = m_generation;
    m_measure([this, alive = m_alive, generation, done](int64_t length) {
        if (!*alive || generation != m_generation || m_state != msWatching)
            return;
        length = std::max<int64_t>(length, 0);
        const bool changed = length != m_baseline;
        m_baseline = length;
        if (changed && !m_windowActive && OnSiteChanged)
            OnSiteChanged();
        if (done)
            done(changed);
    });
}

void TBrowserChangeMonitor::SetWindowActive(bool active)
{
    m_windowActive = active;
    if (!active && m_state == msWatching)
        TakeBaseline();
}

void TBrowserChangeMonitor::Stop()
{
    ++m_generation;
    m_state = msIdle;
    if (m_timer)
        m_timer->Suspend();
}
