#include "TVersionCheck.h"

#include "CatalogAddresses.h"
#include "ProgramVersion.h"
#include "TRemoteVersion.h"
#include "settings/TApplicationsSettings.h"
#include "stores/TFileCacheManager.h"

TVersionCheck::TVersionCheck(TFileCacheManager& cache, TApplicationsSettings& settings, QString serverAddress)
    : OnGetProgramVersion(&ProgramVersion), m_cache(cache), m_settings(settings),
      m_serverAddress(std::move(serverAddress))
{}

TVersionCheck::~TVersionCheck() = default;

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

std::unique_ptr<TRemoteVersion> TVersionCheck::ReadCachedFile(const QString& url) const
{
    const QString fileName = m_cache.GetCachedFileName(url, true);
    if (fileName.isEmpty())
        return nullptr;
    auto remote = std::make_unique<TRemoteVersion>();
    remote->LoadFromFile(fileName);
    return remote;
}

void TVersionCheck::AutomaticReport(const QString& url, TCacheStatus status)
{
    if (status == csFailed)
        return;
    const std::optional<uint32_t> program = ProgramVersionNow();
    if (!program)
        return;
    m_settings.MarkUpdateChecked();
    const std::unique_ptr<TRemoteVersion> remote = ReadCachedFile(url);
    if (!remote)
        return;
    if (remote->Found() && remote->Version() > *program && OnNewVersion)
        OnNewVersion(*program, *remote);
}

void TVersionCheck::OnDemandReport(const QString& url, TCacheStatus status)
{
    if (status == csFailed) {
        if (OnServerUnreachable)
            OnServerUnreachable();
        return;
    }
    const std::optional<uint32_t> program = ProgramVersionNow();
    bool newer = false;
    if (program) {
        m_settings.MarkUpdateChecked();
        if (const std::unique_ptr<TRemoteVersion> remote = ReadCachedFile(url))
            newer = remote->Found() && remote->Version() > *program;
    }
    if (newer)
        AutomaticReport(url, status);
    else if (OnLatestVersion)
        OnLatestVersion(program.value_or(0));
}
