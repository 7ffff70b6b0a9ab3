#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class TIntervalThread;

// Watches a site's home page for changes while the user is away from its window: 30 seconds
// after each completed top-level load it measures the length of the page's text (the
// baseline), then measures again at the site's interval. A length that differs from the
// baseline while the window is inactive is a change; each time the window is deactivated
// the page as the user leaves it becomes the baseline. Nothing reloads the page.
//
// The page answers a measure later (page scripts run asynchronously); an answer that arrives
// after the monitor moved on (a new load, a new baseline, the end) is dropped.
class TBrowserChangeMonitor final
{
public:
    enum TMonitorState
    {
        msIdle = 0,
        msWaitingForBaseline = 1,
        msWatching = 2
    };

    static constexpr uint32_t kBaselineDelayMs = 30'000;

    // Asks the page for its text length; answer gets it, -1 when the page could not be read.
    using TMeasure = std::function<void(std::function<void(int64_t length)> answer)>;

    explicit TBrowserChangeMonitor(TMeasure measure);
    // Stops the timer and waits for it.
    ~TBrowserChangeMonitor();

    TBrowserChangeMonitor(const TBrowserChangeMonitor&) = delete;
    TBrowserChangeMonitor& operator=(const TBrowserChangeMonitor&) = delete;

    // The site's interval in minutes.
    void SetMonitorInterval(uint32_t minutes) { m_intervalMs = minutes * 60'000; }
    // Tests shorten the waits here; a user's choice is the interval in minutes.
    void SetIntervalsMs(uint32_t baselineDelayMs, uint32_t intervalMs);
    uint32_t BaselineDelayMs() const { return m_baselineDelayMs; }
    uint32_t IntervalMs() const { return m_intervalMs; }

    // A top-level document of the watched page completed: the wait for the baseline starts
    // (over).
    void StartMonitor();
    void TakeBaseline();
    void CheckForChange();
    // Every activation change of the window.
    void SetWindowActive(bool active);
    // The watched page went (its tab closed): no more measures.
    void Stop();
    // Measures at once instead of at the next tick ("Check for changes now"); done learns
    // whether the page changed since the last measure (false while there is no baseline yet).
    // A change is reported as a tick's would be.
    void CheckNow(const std::function<void(bool changed)>& done);

    TMonitorState MonitorState() const { return m_state; }
    int64_t BaselineLength() const { return m_baseline; }
    bool WindowActive() const { return m_windowActive; }

    // The page changed while the window was inactive.
    std::function<void()> OnSiteChanged;

private:
    void Arm(uint32_t periodMs, void (TBrowserChangeMonitor::*tick)());

    TMeasure m_measure;
    uint32_t m_baselineDelayMs = kBaselineDelayMs;
    uint32_t m_intervalMs = 5 * 60'000;
    TMonitorState m_state = msIdle;
    int64_t m_baseline = 0;
    bool m_windowActive = false;
    // Raised by every new baseline and every state change; answers carry the value they
    // were asked under.
    uint64_t m_generation = 0;
    TIntervalThread* m_timer = nullptr;
    // Tells the answers of an ended monitor that it is gone.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
