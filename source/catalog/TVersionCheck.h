#pragma once

#include "stores/TCacheFileEvent.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class TApplicationsSettings;
class TFileCacheManager;
class TReadQueue;
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

    // Whether a version file is being read.
    bool Reading() const;

    // The program's own version, packed; empty when it cannot be told. Tests set their own.
    std::function<std::optional<uint32_t>()> OnGetProgramVersion;
    // A newer version is available: the program's version and the announcement.
    std::function<void(uint32_t programVersion, const TRemoteVersion& remote)> OnNewVersion;
    // Nothing newer (on demand only): the program's version, 0 when it cannot be told.
    std::function<void(uint32_t programVersion)> OnLatestVersion;
    // The check on demand got no answer from the server (the user asked and must hear why
    // nothing follows).
    std::function<void()> OnServerUnreachable;
    // The version file was not read (too large): what the status line says (markup).
    std::function<void(const QString& text)> OnFileRefused;

private:
    QString VersionAddress() const;
    void AutomaticReport(const QString& url, TCacheStatus status);
    void OnDemandReport(const QString& url, TCacheStatus status);
    std::optional<uint32_t> ProgramVersionNow() const;
    struct FileRead;
    // Reads the cached version file off this thread and hands it to done (not Found when there
    // is none or it was not read).
    void ReadCachedFile(const QString& url, std::function<void(const FileRead& read)> done);
    void AnnounceNewer(uint32_t program, const TRemoteVersion& remote);

    TFileCacheManager& m_cache;
    TApplicationsSettings& m_settings;
    QString m_serverAddress;
    // Reports that arrive after this object is gone find it expired.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    // Last: it goes first, with the reads whose results would come back here.
    std::unique_ptr<TReadQueue> m_reads;
};
