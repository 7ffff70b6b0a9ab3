#pragma once

#include "settings/TApplicationsSettings.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

class BinaryReader;
class BinaryWriter;

// Shortcut kinds: bit positions of ShortcutKinds, and the kind numbers LaunchArgument takes.
enum TShortcutKind : uint8_t
{
    skDesktop = 0,
    skQuickLaunch = 1,
    skWindowsStartup = 2,
    skStartMenu = 3
};

enum TWindowState : uint8_t
{
    wsNormal = 0,
    wsMinimized = 1,
    wsMaximized = 2
};

struct TWindowPlacementRec
{
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    uint8_t WindowState = wsMaximized;

    bool operator==(const TWindowPlacementRec&) const = default;
};

struct TMVScreenSizeRec
{
    int Width;
    int Height;
    const char* Name;
};

// Sizes of the off-screen browser that captures a site's thumbnail, by ThumbnailScreenSize.
inline constexpr std::array<TMVScreenSizeRec, 3> ScreenSizes{{
    {640, 480, "Small"},
    {800, 600, "Medium"},
    {1024, 768, "Large"},
}};

// Change-monitor periods in minutes, by MonitorInterval.
inline constexpr std::array<int32_t, 4> MonitorIntervals{5, 10, 15, 30};

// Engine names as the site dialog lists them, by engine code.
inline constexpr std::array<const char*, 2> BrowserEngineNames{"Chromium engine", "WebKit engine"};

// One installed site. In the data file it is a framed record: the 8-byte payload size,
// the 4-byte byte-sum of the payload, then the payload.
class TMorvalenBaseClass final
{
public:
    TMorvalenBaseClass();

    TMorvalenBaseClass(const TMorvalenBaseClass&) = delete;
    TMorvalenBaseClass& operator=(const TMorvalenBaseClass&) = delete;

    uint8_t BrowserEngine() const { return m_browserEngine; }
    uint8_t ShortcutKinds() const { return m_shortcutKinds; }
    const QString& Title() const { return m_title; }
    const QString& URL() const { return m_url; }
    const QString& FavIconFileName() const { return m_favIconFileName; }
    const QString& Description() const { return m_description; }
    bool RunAsTrayIcon() const { return m_runAsTrayIcon; }
    uint8_t ThumbnailScreenSize() const { return m_thumbnailScreenSize; }
    const TWindowPlacementRec& WindowPlacement() const { return m_windowPlacement; }
    const QString& ElementId() const { return m_elementId; }
    int32_t RunCount() const { return m_runCount; }
    const QStringList& TabURLs() const { return m_tabURLs; }
    float UserRating() const { return m_userRating; }
    bool CanRate() const { return m_canRate; }
    int32_t CatalogId() const { return m_catalogId; }
    bool MonitorChanges() const { return m_monitorChanges; }
    uint8_t MonitorInterval() const { return m_monitorInterval; }

    // These store the value and notify nobody.
    void SetBrowserEngine(uint8_t value) { m_browserEngine = value; }
    void SetShortcutKinds(uint8_t value) { m_shortcutKinds = value; }
    void SetTitle(const QString& value) { m_title = value; }
    void SetURL(const QString& value) { m_url = value; }
    void SetFavIconFileName(const QString& value) { m_favIconFileName = value; }
    void SetDescription(const QString& value) { m_description = value; }
    void SetRunAsTrayIcon(bool value) { m_runAsTrayIcon = value; }
    void SetThumbnailScreenSize(uint8_t value) { m_thumbnailScreenSize = value; }
    void SetElementId(const QString& value) { m_elementId = value; }
    void SetTabURLs(const QStringList& value) { m_tabURLs = value; }
    void SetUserRating(float value) { m_userRating = value; }
    void SetCanRate(bool value) { m_canRate = value; }
    void SetCatalogId(int32_t value) { m_catalogId = value; }
    void SetMonitorChanges(bool value) { m_monitorChanges = value; }
    void SetMonitorInterval(uint8_t value) { m_monitorInterval = value; }

    // Stores the value only when it is above 0.
    void SetRunCount(int32_t value);
    // Stores the placement, then raises OnChange.
    void SetWindowPlacement(int32_t left, int32_t top, int32_t width, int32_t height, uint8_t windowState);
    // Raises OnChange: whoever changed what the data file keeps says so once.
    void Changed();

    // The record's one change signal: raised when the window placement was set or a change
    // was announced; the owner saves the data file there.
    std::function<void(TMorvalenBaseClass&)> OnChange;

    // Reads one framed record. A record whose checksum does not match raises
    // "Invalid check sum detected!" and keeps the previous values; either way the reader
    // then stands after the record's payload.
    void LoadFromStream(BinaryReader& reader);
    void SaveToStream(BinaryWriter& writer) const;
    // A new record read from one framed record; throws as LoadFromStream does.
    static std::unique_ptr<TMorvalenBaseClass> FromStream(BinaryReader& reader);

    // Twenty characters of 0-9 and A-F from the system's random source.
    static QString NewElementId();

private:
    struct WithoutElementId
    {};
    explicit TMorvalenBaseClass(WithoutElementId);

    void ReadPayload(BinaryReader& payload);
    void WritePayload(BinaryWriter& payload) const;

    uint8_t m_browserEngine = beInternetExplorer;
    uint8_t m_shortcutKinds = 0;
    QString m_title;
    QString m_url;
    QString m_favIconFileName;
    QString m_description;
    bool m_runAsTrayIcon = false;
    uint8_t m_thumbnailScreenSize = 2;
    TWindowPlacementRec m_windowPlacement;
    QString m_elementId;
    int32_t m_runCount = 0;
    QStringList m_tabURLs;
    float m_userRating = 0.0f;
    bool m_canRate = false;
    int32_t m_catalogId = 0;
    bool m_monitorChanges = false;
    uint8_t m_monitorInterval = 2;
};

// The byte sum of the data, modulo 2^32.
int32_t StreamCheckSum(QByteArrayView data);

// The quoted command-line argument that opens the site: "Element=<id>", with
// " RunMinimized" for the Windows-startup shortcut.
QString LaunchArgument(const TMorvalenBaseClass& record, TShortcutKind kind);
