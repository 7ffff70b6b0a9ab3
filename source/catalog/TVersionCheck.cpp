#include "TVersionCheck.h"

#include "CatalogAddresses.h"
#include "CatalogXml.h"
#include "ProgramVersion.h"
#include "TRemoteVersion.h"
#include "common/TReadQueue.h"
#include "settings/TApplicationsSettings.h"
#include "stores/TFileCacheManager.h"

using namespace Qt::Literals::StringLiterals;

TVersionCheck::TVersionCheck(TFileCacheManager& cache, TApplicationsSettings& settings, QString serverAddress)
    : OnGetProgramVersion(&ProgramVersion), m_cache(cache), m_settings(settings),
      m_serverAddress(std::move(serverAddress)), m_reads(std::make_unique<TReadQueue>())
{}

TVersionCheck::~TVersionCheck() = default;

bool TVersionCheck::Reading() const
{
    return m_reads->Pending() > 0;
}

QString TVersionCheck::VersionAddress() const
{
    return m_serverAddress + QString::fromUtf16(kVersionFilePath);
}

void TVersionCheck::CheckVersionAutomatically()
{
    if (!m_settings.IsUpdateCheckDue())
        return;
    std::weak_ptr<bool> alive = m_alive;
    m_cache.RequestFile(VersionAddress(), false, false, true,
                        [this, alive](const QString&, const QString& url, TCacheStatus status) {
                            if (!alive.expired())
                                AutomaticReport(url, status);
                        });
}

void TVersionCheck::CheckVersionOnDemand()
{
    std::weak_ptr<bool> alive = m_alive;
    m_cache.RequestFile(VersionAddress(), false, false, true,
                        [this, alive](const QString&, const QString& url, TCacheStatus status) {
                            if (!alive.expired())
                                OnDemandReport(url, status);
                        });
}

std::optional<uint32_t> TVersionCheck::ProgramVersionNow() const
{
    return OnGetProgramVersion ? OnGetProgramVersion() : std::nullopt;
}

struct TVersionCheck::FileRead
{
    TRemoteVersion Remote;
    // Refused before parsing.
    bool TooLarge = false;
};

void TVersionCheck::ReadCachedFile(const QString& url, std::function<void(const FileRead& read)> done)
{
    const QString fileName = m_cache.GetCachedFileName(url, true);
    if (fileName.isEmpty()) {
        done(FileRead());
        return;
    }
    m_reads->Read<FileRead>(
        [fileName] {
            FileRead read;
            read.TooLarge = CatalogXml::TooLarge(fileName);
            if (!read.TooLarge)
                read.Remote.LoadFromFile(fileName);
            return read;
        },
        [this, done = std::move(done)](FileRead& read) {
            if (read.TooLarge && OnFileRefused)
                OnFileRefused(
                    u"The catalog server sent a version file larger than %1 MB; it was not read."_s.arg(
                        CatalogXml::MaxFileSize / (1024 * 1024)));
            done(read);
        });
}

void TVersionCheck::AutomaticReport(const QString& url, TCacheStatus status)
{
    if (status == csFailed)
        return;
    const std::optional<uint32_t> program = ProgramVersionNow();
    if (!program)
        return;
    m_settings.MarkUpdateChecked();
    ReadCachedFile(url, [this, program](const FileRead& read) { AnnounceNewer(*program, read.Remote); });
}

void TVersionCheck::AnnounceNewer(uint32_t program, const TRemoteVersion& remote)
{
    if (remote.Found() && remote.Version() > program && OnNewVersion)
        OnNewVersion(program, remote);
}

void TVersionCheck::OnDemandReport(const QString& url, TCacheStatus status)
{
    if (status == csFailed) {
        if (OnServerUnreachable)
            OnServerUnreachable();
        return;
    }
    const std::optional<uint32_t> program = ProgramVersionNow();
    if (!program) {
        if (OnLatestVersion)
            OnLatestVersion(0);
        return;
    }
    m_settings.MarkUpdateChecked();
    ReadCachedFile(url, [this, program](const FileRead& read) {
        if (read.Remote.Found() && read.Remote.Version() > *program)
            AnnounceNewer(*program, read.Remote);
        // A refused file has said so; it is no answer that nothing is newer.
        else if (OnLatestVersion && !read.TooLarge)
            OnLatestVersion(*program);
    });
}
