#pragma once

#include <QImage>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QWidget;
class TApplicationsSettings;
class TCustomInternetBrowserWindow;
class TMVWebElement;

// One open site window: its tile and its window. Id tells entries apart across their whole
// run, so that a late click on a notification never reaches a later window by mistake.
struct TBrowserEntry
{
    TMVWebElement* Tile = nullptr;
    TCustomInternetBrowserWindow* Window = nullptr;
    uint64_t Id = 0;
};

// Keeps the browser windows of the installed sites: at most one per tile. It opens a site's
// window (or brings back the open one), closes one or all, minimizes or hides all, writes
// each window's placement back into its site record, and turns the windows' requests
// (thumbnail, pages to remember, site changed) into changes of the record, the thumbnail
// store and notifications. Standalone windows are not kept here.
class TBrowserManager final
{
public:
    TBrowserManager();
    // Closes every window, saving its placement.
    ~TBrowserManager();

    TBrowserManager(const TBrowserManager&) = delete;
    TBrowserManager& operator=(const TBrowserManager&) = delete;

    void SetSettings(TApplicationsSettings* settings) { m_settings = settings; }
    TApplicationsSettings* Settings() const { return m_settings; }

    int Count() const { return int(m_entries.size()); }
    TBrowserEntry* Entry(int index) const { return m_entries.at(size_t(index)).get(); }
    TBrowserEntry* FindByTile(const TMVWebElement* tile) const;
    TBrowserEntry* FindByWindow(const TCustomInternetBrowserWindow* window) const;
    TBrowserEntry* FindById(uint64_t id) const;
    TCustomInternetBrowserWindow* WindowOfTile(const TMVWebElement* tile) const;

    // The tile's window, opened or brought back; none when it could not be made.
    TCustomInternetBrowserWindow* OpenBrowser(TMVWebElement& tile, bool runMinimized);
    // Returns whether a window was closed; the tile's mark is left to the caller.
    bool CloseBrowser(TMVWebElement& tile);
    void CloseAll();
    void MinimizeAll(bool toTray);
    void SaveWindowPlacement(TMVWebElement& tile, TCustomInternetBrowserWindow& window);

    // The handlers each window gets.
    void HandleWindowClosed(TCustomInternetBrowserWindow& window);
    void HandleThumbnail(TCustomInternetBrowserWindow& window, const QImage& bitmap);
    void HandleRememberPages(TCustomInternetBrowserWindow& window, const QStringList& addresses);
    void HandleSiteChanged(TCustomInternetBrowserWindow& window);
    // A click on a notification of the entry with this id.
    void HandleNotifyClick(uint64_t entryId);

    // Raised after every change of the set of windows.
    std::function<void(TBrowserManager& sender)> OnChange;
    // A site's page changed while its window was inactive; the notifications show it.
    std::function<void(TBrowserManager& sender, TBrowserEntry& entry)> OnSiteChanged;
    // Raised for every window it makes, after configuring and before showing it (the
    // change monitor attaches itself there).
    std::function<void(TBrowserManager& sender, TCustomInternetBrowserWindow& window)> OnWindowCreated;

private:
    void Configure(TCustomInternetBrowserWindow& window, TMVWebElement& tile);
    void DestroyWindow(TCustomInternetBrowserWindow* window);
    void RemoveEntry(const TBrowserEntry* entry);

    TApplicationsSettings* m_settings = nullptr;
    std::vector<std::unique_ptr<TBrowserEntry>> m_entries;
    uint64_t m_nextId = 1;
};
