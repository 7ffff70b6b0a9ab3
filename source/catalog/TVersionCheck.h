#pragma once

#include "stores/TCacheFileEvent.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class TApplicationsSettings;
class TFileCacheManager;
class TRemoteVersion;

// Asks the catalog server for the newest program version and tells the user about it: after
// start-up only when the settings say a check is due and only when there is something newer,
// on demand always ("Latest version" when nothing is newer).
class TVersionCheck final
{
public:
    TVersionCheck(TFileCacheManager& cache, TApplicationsSettings& settings, QString serverAddress);
    ~TVersionCheck();

    TVersionCheck(const TVersionCheck&) = delete;
    TVersionCheck& operator=(const TVersionCheck&) = delete;

    // After start-up: requests the version file when a check is due.
    void CheckVersionAutomatically();
    // "Check for updates...".
    void CheckVersionOnDemand();

    // The program's own version, packed; empty when it cannot be told. Tests set their own.
    std::function<std::optional<uint32_t>()> OnGetProgramVersion;
    // A newer version is available: the program's version and the announcement.
    std::function<void(uint32_t programVersion, const TRemoteVersion& remote)> OnNewVersion;
    // Nothing newer (on demand only): the program's version, 0 when it cannot be told.
    std::function<void(uint32_t programVersion)> OnLatestVersion;
    // The check on demand got no answer from the server (the user asked and must hear why
    // nothing follows).
    std::function<void()> OnServerUnreachable;

private:
    QString VersionAddress() const;
    void AutomaticReport(const QString& url, TCacheStatus status);
    void OnDemandReport(const QString& url, TCacheStatus status);
    std::optional<uint32_t> ProgramVersionNow() const;
    // Reads the cached version file; null when there is none.
    std::unique_ptr<TRemoteVersion> ReadCachedFile(const QString& url) const;

    TFileCacheManager& m_cache;
    TApplicationsSettings& m_settings;
    QString m_serverAddress;
    // Reports that arrive after this object is gone find it expired.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
