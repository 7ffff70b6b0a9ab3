#pragma once

#include <QIcon>
#include <QImage>
#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

class TApplicationsSettings;
class TCustomInternetBrowserWindow;
class TMorvalenBaseClass;
class TSiteSettings;

// One open site window and its site. Id tells entries apart across their whole run, so that a
// late click on a notification never reaches a later window by mistake.
struct TBrowserEntry
{
    TMorvalenBaseClass* Site = nullptr;
    TCustomInternetBrowserWindow* Window = nullptr;
    uint64_t Id = 0;
};

// Keeps the browser windows of the installed sites: at most one per site record. It opens a
// site's window (or brings back the open one), closes one or all, minimizes or hides all,
// and writes what a window learns into its site record (placement, pages to remember), which
// raises the record's one change signal. Whether a site has a window is the manager's to
// say: SiteWindowChanged tells its tile. Standalone windows are not kept here.
class TBrowserManager final : public QObject
{
    Q_OBJECT

public:
    explicit TBrowserManager(QObject* parent = nullptr);
    // Closes every window, saving its placement.
    ~TBrowserManager() override;

    void SetSettings(TApplicationsSettings* settings) { m_settings = settings; }
    TApplicationsSettings* Settings() const { return m_settings; }
    // How each site browses (session, zoom, user agent, permission answers); none: alike.
    void SetSiteSettings(TSiteSettings* settings) { m_siteSettings = settings; }
    TSiteSettings* SiteSettings() const { return m_siteSettings; }

    int Count() const { return int(m_entries.size()); }
    TBrowserEntry* Entry(int index) const { return m_entries.at(size_t(index)).get(); }
    TBrowserEntry* FindBySite(const TMorvalenBaseClass* site) const;
    TBrowserEntry* FindByWindow(const TCustomInternetBrowserWindow* window) const;
    TBrowserEntry* FindById(uint64_t id) const;
    TCustomInternetBrowserWindow* WindowOfSite(const TMorvalenBaseClass* site) const;
    bool HasBrowser(const TMorvalenBaseClass* site) const { return FindBySite(site) != nullptr; }

    // The site's window, opened with the site's icon or brought back; none when it could not
    // be made.
    TCustomInternetBrowserWindow* OpenBrowser(TMorvalenBaseClass& site, const QIcon& icon, bool runMinimized);
    // Returns whether a window was closed.
    bool CloseBrowser(TMorvalenBaseClass& site);
    // The site is about to go: its window closes without writing into it.
    void DiscardBrowser(TMorvalenBaseClass& site);
    void CloseAll();
    void MinimizeAll(bool toTray);
    void SaveWindowPlacement(TMorvalenBaseClass& site, TCustomInternetBrowserWindow& window);
    // An edited site's open window takes the new title.
    void SiteEdited(TMorvalenBaseClass& site);
    // A click on a notification of the entry with this id.
    void HandleNotifyClick(uint64_t entryId);

signals:
    // After every change of the set of windows.
    void Changed();
    // A site's window opened or went.
    void SiteWindowChanged(TMorvalenBaseClass* site, bool open);
    // A site's page changed while its window was inactive; the notifications show it.
    void SiteChanged(const TBrowserEntry& entry);
    // A site's window has a tab asleep, or none any more: what its tile shows.
    void SiteSleepingChanged(TMorvalenBaseClass* site, bool sleeping);
    // A window captured its page for the site's thumbnail.
    void ThumbnailCaptured(TMorvalenBaseClass* site, const QImage& page);
    // A window of a site without an icon of its own took its page's icon.
    void PageIconTaken(TMorvalenBaseClass* site, const QIcon& icon);
    // For every window it makes, after configuring and before showing it (the change
    // monitor attaches itself there).
    void WindowCreated(TCustomInternetBrowserWindow* window);

private:
    void Configure(TCustomInternetBrowserWindow& window, TMorvalenBaseClass& site, const QIcon& icon);
    void Wire(TCustomInternetBrowserWindow& window);
    void DestroyWindow(TCustomInternetBrowserWindow* window);
    // Takes the entry out; returns its window.
    TCustomInternetBrowserWindow* RemoveEntry(const TBrowserEntry* entry);
    void HandleWindowClosed(TCustomInternetBrowserWindow& window);

    TApplicationsSettings* m_settings = nullptr;
    TSiteSettings* m_siteSettings = nullptr;
    std::vector<std::unique_ptr<TBrowserEntry>> m_entries;
    uint64_t m_nextId = 1;
};
