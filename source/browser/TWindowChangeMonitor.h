#pragma once

#include "TBrowserChangeMonitor.h"

#include <QObject>

#include <cstdint>

class TCustomInternetBrowserWindow;

// Waits shorter than a user can choose, for tests; 0 keeps the usual wait.
struct TMonitorIntervals
{
    uint32_t BaselineDelayMs = 0;
    uint32_t IntervalMs = 0;
};

// The change monitor of one site window: the window's document-complete and activation
// reports drive it, it measures the watched tab's page with a page script, and a change
// goes to the window's OnSiteChanged. A child of the window, so it ends with it.
class TWindowChangeMonitor final : public QObject
{
    Q_OBJECT

public:
    // Attaches a monitor to a window whose site is watched; none for the others.
    static TWindowChangeMonitor* Attach(TCustomInternetBrowserWindow& window,
                                        const TMonitorIntervals& intervals = TMonitorIntervals());

    TBrowserChangeMonitor& Monitor() { return m_monitor; }

private:
    explicit TWindowChangeMonitor(TCustomInternetBrowserWindow& window);

    TBrowserChangeMonitor m_monitor;
};
