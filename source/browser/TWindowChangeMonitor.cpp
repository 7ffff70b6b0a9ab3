#include "TWindowChangeMonitor.h"

#include "PageTextLength.h"
#include "TBrowserTab.h"
#include "TCustomInternetBrowserWindow.h"
#include "TfrmInternetBrowser.h"

#include <QPointer>

TWindowChangeMonitor::TWindowChangeMonitor(TCustomInternetBrowserWindow& window)
    : QObject(&window), m_monitor([window = QPointer<TCustomInternetBrowserWindow>(&window)](
                                      std::function<void(int64_t)> answer) {
          // Without its watched tab the page has gone: nothing to measure, nothing to report.
          TBrowserTab* tab = window ? window->MonitoredTab() : nullptr;
          if (!tab)
              return;
          tab->Frame()->RunPageScript(PageTextLength::Script(), [answer](const QVariant& value) {
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
    connect(&window, &TCustomInternetBrowserWindow::MonitoredDocumentCompleted, attached,
            [&monitor] { monitor.StartMonitor(); });
    connect(&window, &TCustomInternetBrowserWindow::ActivationChanged, attached,
            [&monitor](bool active) { monitor.SetWindowActive(active); });
    monitor.OnSiteChanged = [&window] {
        emit window.SiteChanged();
    };
    return attached;
}
