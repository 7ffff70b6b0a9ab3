#include "TWindowChangeMonitor.h"

#include "PageTextLength.h"
#include "TCustomInternetBrowserWindow.h"
#include "TfrmInternetBrowser.h"

#include <QPointer>

TWindowChangeMonitor::TWindowChangeMonitor(TCustomInternetBrowserWindow& window)
    : QObject(&window), m_monitor([window = QPointer<TCustomInternetBrowserWindow>(&window)](
                                      std::function<void(int64_t)> answer) {
          // Without its watched tab the page has gone: nothing to measure, nothing to report.
          TBrowsingTabRec* tab = window ? window->MonitoredTab() : nullptr;
          if (!tab || !tab->Frame)
              return;
          tab->Frame->RunPageScript(PageTextLength::Script(), [answer](const QVariant& value) {
              answer(PageTextLength::FromResult(value));
          });
      })
{}

TWindowChangeMonitor* TWindowChangeMonitor::Attach(TCustomInternetBrowserWindow& window,
                                                   const TMonitorIntervals& intervals)
{
    if (!window.Monitor())
        return nullptr;
    auto* attached = new TWindowChangeMonitor(window);
    TBrowserChangeMonitor& monitor = attached->m_monitor;
    monitor.SetMonitorInterval(uint32_t(std::max(window.MonitorInterval(), 1)));
    if (intervals.BaselineDelayMs != 0 || intervals.IntervalMs != 0)
        monitor.SetIntervalsMs(intervals.BaselineDelayMs != 0 ? intervals.BaselineDelayMs
                                                              : monitor.BaselineDelayMs(),
                               intervals.IntervalMs != 0 ? intervals.IntervalMs : monitor.IntervalMs());
    monitor.SetWindowActive(window.WindowActive());
    window.OnMonitoredDocumentComplete = [&monitor](TCustomInternetBrowserWindow&, TfrmInternetBrowser&) {
        monitor.StartMonitor();
    };
    window.OnActivationChange = [&monitor](TCustomInternetBrowserWindow&, bool active) {
        monitor.SetWindowActive(active);
    };
    monitor.OnSiteChanged = [&window] {
        if (window.OnSiteChanged)
            window.OnSiteChanged(window);
    };
    return attached;
}
