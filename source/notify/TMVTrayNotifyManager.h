#pragma once

#include "TfTrayNotifyWin.h"

#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

// Gathers the reports of changed sites into one notification window and turns a click on a
// line back into the report's site. Reports that arrive while a window is open become lines
// of that window, in order of arrival; once it has closed, the next report opens a new one.
//
// A report names its browser window by an id the caller gives each window once and never
// again, so a click can never reach a window that closed meanwhile, even when a new window
// of the same site has opened since.
class TMVTrayNotifyManager final
{
public:
    using TEntryId = uint64_t;

    explicit TMVTrayNotifyManager(const TTrayNotifyTimings& timings = {});
    // Destroys an open window without calling back.
    ~TMVTrayNotifyManager();

    TMVTrayNotifyManager(const TMVTrayNotifyManager&) = delete;
    TMVTrayNotifyManager& operator=(const TMVTrayNotifyManager&) = delete;

    // Announces a site: the site's title, the changed page's title and the site's icon file.
    void Notify(TEntryId entry, const QString& siteTitle, const QString& pageTitle, const QString& iconFile);
    // Announces a page change the monitor found. A page that changes at every check (a
    // ticker, a clock) must not fill the window: a window already listing this entry's change
    // keeps its one line, which takes the newest page title and shows again in full.
    void NotifyChanged(TEntryId entry, const QString& siteTitle, const QString& pageTitle,
                       const QString& iconFile);
    // A click on line index of the window.
    void ItemClicked(int index);
    // The window closed (a click, its close button or the end of its display time).
    void NotifyWindowClosed();

    TfTrayNotifyWin* NotifyWindow() const { return m_window.data(); }
    // Line i of the window belongs to entry i.
    const std::vector<TEntryId>& Announced() const { return m_announced; }

    std::function<void(TEntryId entry)> OnItemClick;

private:
    TTrayNotifyTimings m_timings;
    QPointer<TfTrayNotifyWin> m_window;
    std::vector<TEntryId> m_announced;
    // The line of each entry's page change in the open window.
    std::map<TEntryId, int> m_changeLines;
};
