#pragma once

#include <cstdint>
#include <functional>

class Autostart;
class BinaryReader;
class BinaryWriter;

enum TBrowserEngine : uint8_t
{
    beInternetExplorer = 0,
    beFireFox = 1
};

// The user's program-wide preferences, stored as the 30-byte block at the head of
// MorvalenDesktop.cfg. Option lists are stored as indexes; the consumers map them.
class TApplicationsSettings final
{
public:
    static constexpr int kBlockSize = 30;

    // Defaults only; the autostart registration is not touched.
    explicit TApplicationsSettings(Autostart& autostart);

    // Reads the block from the reader's position (fields past the end of a short file keep
    // their defaults), then reconciles autostart and the news flag. Afterwards the reader
    // stands at the first byte that follows the block.
    void LoadFromStream(BinaryReader& reader);
    void SaveToStream(BinaryWriter& writer) const;

    bool RunWithWindows() const { return m_runWithWindows; }
    bool MinimizeOnStartup() const { return m_minimizeOnStartup; }
    bool HideOnClose() const { return m_hideOnClose; }
    bool OpenLinksLocally() const { return m_openLinksLocally; }
    int32_t DefaultRenderEngine() const { return m_defaultRenderEngine; }
    bool NewsFlag() const { return m_newsFlag; }
    int32_t CheckNewsInterval() const { return m_checkNewsInterval; }
    int32_t AutoUpdate() const { return m_autoUpdate; }
    bool ClearOldCache() const { return m_clearOldCache; }
    int32_t ClearOldCacheAge() const { return m_clearOldCacheAge; }
    double LastUpdateCheck() const { return m_lastUpdateCheck; }

    // Stores the value and registers or removes autostart at once.
    void SetRunWithWindows(bool value);
    void SetMinimizeOnStartup(bool value) { m_minimizeOnStartup = value; }
    void SetHideOnClose(bool value) { m_hideOnClose = value; }
    void SetOpenLinksLocally(bool value) { m_openLinksLocally = value; }
    void SetDefaultRenderEngine(int32_t value) { m_defaultRenderEngine = value; }
    void SetNewsFlag(bool value) { m_newsFlag = value; }
    void SetCheckNewsInterval(int32_t value) { m_checkNewsInterval = value; }
    void SetAutoUpdate(int32_t value) { m_autoUpdate = value; }
    void SetClearOldCache(bool value) { m_clearOldCache = value; }
    void SetClearOldCacheAge(int32_t value) { m_clearOldCacheAge = value; }
    void SetLastUpdateCheck(double value) { m_lastUpdateCheck = value; }

    bool IsAutostartRegistered() const;
    // "Run at startup" stays on only while the autostart entry exists (a first start has none).
    void ReconcileAutostart();
    void ApplyAutostart();

    // Whether the period chosen by AutoUpdate has passed since the last successful check.
    bool IsUpdateCheckDue() const;
    void MarkUpdateChecked();

    // Raises OnChange.
    void Changed();
    std::function<void(TApplicationsSettings&)> OnChange;

    // The clock, as a day count of local time; tests replace it.
    std::function<double()> Now;

    // Index tables. Indexes outside a table map like index 0.
    static int NewsIntervalMinutes(int32_t index);
    static int UpdateIntervalDays(int32_t index); // 0: no check
    static int CacheAgeDays(int32_t index);

private:
    Autostart& m_autostart;
    bool m_runWithWindows = true;
    bool m_minimizeOnStartup = false;
    bool m_hideOnClose = true;
    bool m_openLinksLocally = true;
    int32_t m_defaultRenderEngine = beInternetExplorer;
    bool m_newsFlag = false;
    int32_t m_checkNewsInterval = 0;
    int32_t m_autoUpdate = 2;
    bool m_clearOldCache = true;
    int32_t m_clearOldCacheAge = 0;
    double m_lastUpdateCheck = 0;
};
