#include "TFileCacheManager.h"

#include "TCacheTrashThread.h"
#include "TDownloadThread.h"
#include "common/DateTime.h"
#include "common/Errors.h"
#include "common/FileUtils.h"
#include "platform/FolderFileSizes.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <cmath>
#include <thread>

using namespace Qt::Literals::StringLiterals;

namespace {

// Room for the temporary name a replacing write uses beside the file.
constexpr qsizetype kMaxCacheFileNameBytes = 200;
constexpr char kIndexFileName[] = "Cache.dat";
// From this many entries on, loading the index checks their files from two threads.
constexpr size_t kParallelCheckEntries = 2000;

qint64 FreeSpaceOf(const QString& folder)
{
    const QStorageInfo storage(folder);
    return storage.isValid() ? storage.bytesAvailable() : -1;
}

// Only a whole, successful answer may take the place of what is cached: an error page, a
// redirect notice or a body known to be cut short is not the file asked for, and the last
// good copy stays in use instead.
bool IsStorableAnswer(const HttpResult& result)
{
    return result.answered && result.status >= 200 && result.status < 300 && !result.truncated &&
           !result.tooLarge && result.error.isEmpty();
}

} // namespace

TFileCacheManager::TFileCacheManager()
    : m_sweepStartDelay(TCacheTrashThread::kStartDelayMs),
      m_sweepInterval(TCacheTrashThread::kStepIntervalMs), m_freeSpace(FreeSpaceOf)
{}

TFileCacheManager::~TFileCacheManager()
{
    m_sweeper.reset();
    m_finishedSweeper.reset();
    m_alive.reset();
    StopDownloads();
}

void TFileCacheManager::SetCacheFolder(const QString& folder)
{
    m_cacheFolder = folder;
    if (!m_cacheFolder.isEmpty() && !m_cacheFolder.endsWith(u'/'))
        m_cacheFolder += u'/';
}

void TFileCacheManager::SetSweepTiming(unsigned startDelayMs, unsigned stepIntervalMs)
{
    m_sweepStartDelay = startDelayMs;
    m_sweepInterval = stepIntervalMs;
}

TCacheImageItemRec* TFileCacheManager::FindEntry(const QString& key)
{
    const auto found = m_positions.constFind(key);
    return found == m_positions.cend() ? nullptr : &m_items[*found];
}

const TCacheImageItemRec* TFileCacheManager::FindEntry(const QString& key) const
{
    const auto found = m_positions.constFind(key);
    return found == m_positions.cend() ? nullptr : &m_items[*found];
}

void TFileCacheManager::AppendEntry(TCacheImageItemRec entry)
{
    // Lookups find the first entry of a key, as a search through the list would.
    if (!m_positions.contains(entry.URL))
        m_positions.insert(entry.URL, m_items.size());
    if (!m_nameOwnersStale) {
        const QString name = entry.FileName.toLower();
        if (!m_nameOwners.contains(name))
            m_nameOwners.insert(name, entry.URL);
    }
    m_items.push_back(std::move(entry));
}

const QHash<QString, QString>& TFileCacheManager::NameOwners() const
{
    if (m_nameOwnersStale) {
        m_nameOwners.clear();
        m_nameOwners.reserve(qsizetype(m_items.size()));
        for (const TCacheImageItemRec& entry : m_items)
            m_nameOwners.insert(entry.FileName.toLower(), entry.URL);
        m_nameOwnersStale = false;
    }
    return m_nameOwners;
}

void TFileCacheManager::LoadIndex(const QString& fileName)
{
    m_fileName = fileName;
    m_indexName = QFileInfo(fileName).fileName();
    // Saves killed before their rename leave temporaries beside the index and in the folder,
    // which only this store writes.
    FileUtils::RemoveStaleTemporaryFiles(QFileInfo(fileName).path(), {QFileInfo(fileName).fileName()});
    FileUtils::RemoveStaleTemporaryFiles(m_cacheFolder);
    if (!QFileInfo::exists(fileName))
        return;
    StopDownloads();
    m_items.clear();
    m_positions.clear();
    m_nameOwners.clear();
    // Built when a new name is first chosen: loading stays quick for a large index.
    m_nameOwnersStale = true;

    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(fileName);
    if (!data)
        throw EFileError(u"Cannot read file \"%1\"."_s.arg(fileName));
    CacheIndexFile::ParseResult parsed = CacheIndexFile::Parse(*data);
    if (!parsed.headerValid)
        throw EMorvalenError(u"Invalid cache file format."_s);

    // A name from the file is not trusted: it must stay inside the cache folder. Asking the
    // file system for every file is most of the work, so a large index asks from two threads.
    std::vector<TCacheImageItemRec>& entries = parsed.entries;
    std::vector<char> present(entries.size(), 0);
    const auto check = [&](size_t from, size_t to) {
        const FolderFileSizes files(m_cacheFolder);
        for (size_t i = from; i < to; ++i)
            present[i] =
                IsSafeFileName(entries[i].FileName) && files.SizeOf(entries[i].FileName) == entries[i].Size;
    };
    if (entries.size() >= kParallelCheckEntries) {
        std::thread helper(check, entries.size() / 2, entries.size());
        check(0, entries.size() / 2);
        helper.join();
    } else {
        check(0, entries.size());
    }

    m_items.reserve(entries.size());
    m_positions.reserve(qsizetype(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        if (present[i])
            AppendEntry(std::move(entries[i]));
    }
}

void TFileCacheManager::SaveIndex()
{
    if (!m_fileName.isEmpty())
        FileUtils::WriteFileAtomically(m_fileName, CacheIndexFile::Serialize(m_items));
}

void TFileCacheManager::RequestFile(const QString& url, bool keep, bool nameFromURL, bool force,
                                    TCacheFileEvent callback)
{
    const QString key = url.toLower();
    if (const TCacheImageItemRec* entry = FindEntry(key)) {
        const bool present = QFileInfo::exists(m_cacheFolder + entry->FileName);
        if (force || !present) {
            StartWorker(url, entry->FileName, present, entry->Size, keep, std::move(callback));
        } else if (callback) {
            // Copies: the callback may request files and so move the entries.
            const QString fileName = entry->FileName;
            const QString address = entry->URL;
            callback(fileName, address, csCurrent);
        }
        return;
    }
    StartWorker(url, nameFromURL ? FileNameForAddress(key) : NewTempFileName(), false, 0, keep,
                std::move(callback));
}

QString TFileCacheManager::GetCachedFileName(const QString& url, bool fullPath) const
{
    const TCacheImageItemRec* entry = FindEntry(url.toLower());
    if (!entry)
        return {};
    if (!fullPath)
        return entry->FileName;
    const QString path = m_cacheFolder + entry->FileName;
    return QFileInfo::exists(path) ? path : QString();
}

QString TFileCacheManager::FileNameFromURL(const QString& url)
{
    const qsizetype slash = url.lastIndexOf(u'/');
    if (slash <= 0)
        return {};
    QString name = url.mid(slash + 1);
    if (const qsizetype query = name.indexOf(u'?'); query >= 0)
        name.truncate(query);
    return name;
}

bool TFileCacheManager::IsSafeFileName(const QString& name) const
{
    if (name.isEmpty() || name == "."_L1 || name == ".."_L1)
        return false;
    // Counted as UTF-8, the way the name reaches the file system.
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c == u'/' || c == u'\\' || c.category() == QChar::Other_Control)
            return false;
        if (c.isHighSurrogate() && i + 1 < name.size() && name.at(i + 1).isLowSurrogate()) {
            bytes += 4;
            ++i;
        } else if (c.isSurrogate()) {
            return false; // a lone half of a pair has no file name
        } else {
            bytes += c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3;
        }
    }
    if (bytes > kMaxCacheFileNameBytes)
        return false;
    // The index lives in the cache folder too.
    return name.compare(QLatin1StringView(kIndexFileName), Qt::CaseInsensitive) != 0 &&
           (m_indexName.isEmpty() || name.compare(m_indexName, Qt::CaseInsensitive) != 0);
}

bool TFileCacheManager::NameHeldByOtherAddress(const QString& name, const QString& key) const
{
    // Asked only for an address without an entry, so any owner is another address.
    const QHash<QString, QString>& owners = NameOwners();
    if (const auto owner = owners.constFind(name.toLower()); owner != owners.cend() && *owner != key)
        return true;
    for (const TDownloadThread* worker : m_downloads) {
        if (worker->TargetFileName().compare(name, Qt::CaseInsensitive) == 0 &&
            worker->URL().toLower() != key)
            return true;
    }
    return false;
}

QString TFileCacheManager::FileNameForAddress(const QString& key) const
{
    const QString name = FileNameFromURL(key);
    if (!IsSafeFileName(name))
        return NewTempFileName();
    if (!NameHeldByOtherAddress(name, key))
        return name;
    // Another address has this name already: number this one, keeping the extension.
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot > 0 ? name.left(dot) : name;
    const QString extension = dot > 0 ? name.mid(dot) : QString();
    for (int n = 2; n < 10000; ++n) {
        const QString numbered = base + u'(' + QString::number(n) + u')' + extension;
        if (IsSafeFileName(numbered) && !NameHeldByOtherAddress(numbered, key))
            return numbered;
    }
    return NewTempFileName();
}

QString TFileCacheManager::NewTempFileName() const
{
    for (int n = 1;; ++n) {
        const QString name = u"Cache%1.tmp"_s.arg(n, 5, 10, QChar(u'0'));
        const bool held =
            std::any_of(m_downloads.cbegin(), m_downloads.cend(), [&](const TDownloadThread* worker) {
                return worker->TargetFileName().compare(name, Qt::CaseInsensitive) == 0;
            });
        // An entry whose file the sweep deleted still owns its name.
        const bool indexed = NameOwners().contains(name.toLower());
        if (!held && !indexed && !QFileInfo::exists(m_cacheFolder + name))
            return name;
    }
}

bool TFileCacheManager::IsValidImage(QByteArrayView data, const QString& fileName)
{
    const QString extension = QFileInfo(fileName).suffix().toUpper();
    if (extension != "JPG"_L1 && extension != "JPEG"_L1)
        return true;
    // Every JPEG begins with a start-of-image marker and the marker of its first segment,
    // whether that is JFIF, Exif or another one.
    return data.startsWith("\xFF\xD8\xFF");
}

bool TFileCacheManager::HasDiskSpace(qint64 size) const
{
    const qint64 free = m_freeSpace ? m_freeSpace(m_cacheFolder) : -1;
    return free < 0 || free > size;
}

void TFileCacheManager::StartWorker(const QString& url, const QString& targetFileName, bool checkSizeFirst,
                                    int32_t expectedSize, bool keep, TCacheFileEvent callback)
{
    auto* worker = new TDownloadThread(url, [this](TDownloadThread* sender) { DownloadDone(sender); });
    worker->SetKeep(keep);
    worker->SetCacheCallback(std::move(callback));
    worker->SetTargetFileName(targetFileName);
    worker->SetCheckSizeFirst(checkSizeFirst);
    worker->SetExpectedSize(expectedSize);
    worker->SetLimits(m_limits);
    // With the worker as context the notice is dropped when the worker is freed first.
    QObject::connect(worker, &QThread::finished, worker, [this, worker] { WorkerEnded(worker); });
    m_downloads.push_back(worker);
    worker->Start();
}

void TFileCacheManager::DownloadDone(TDownloadThread* worker)
{
    // Everything needed is taken now: the caller's callback may stop the downloads, which
    // frees this worker, or free the manager itself.
    const QString key = worker->URL().toLower();
    const TCacheFileEvent callback = worker->CacheCallback();
    const bool keep = worker->Keep();
    QString fileName = worker->TargetFileName();
    TCacheStatus status = csFailed;
    bool diskFull = false;
    QString saveFailure;
    bool spaceRestored = false;

    TCacheImageItemRec* entry = FindEntry(key);
    const auto refresh = [keep](TCacheImageItemRec& item) {
        item.Keep = keep;
        item.Updated = item.AgeBase = DateTime::Now();
    };

    if (worker->Outcome() == TDownloadThread::doUnchanged) {
        if (entry) {
            refresh(*entry);
            fileName = entry->FileName;
            status = csCurrent;
        }
    } else if (worker->Outcome() == TDownloadThread::doDownloaded && !worker->Data().isEmpty() &&
               IsStorableAnswer(worker->Result())) {
        const QByteArray& data = worker->Data();
        // An entry made meanwhile by another request for the address keeps its file.
        if (entry)
            fileName = entry->FileName;
        if (IsValidImage(data, fileName)) {
            try {
                if (m_cacheFolder.isEmpty() || !IsSafeFileName(fileName))
                    throw EFileError(u"No place to store \"%1\"."_s.arg(key));
                FileUtils::WriteFileAtomically(m_cacheFolder + fileName, data);
                if (entry) {
                    refresh(*entry);
                    entry->Size = int32_t(data.size());
                } else {
                    TCacheImageItemRec added;
                    added.URL = key;
                    added.FileName = fileName;
                    refresh(added);
                    added.Size = int32_t(data.size());
                    AppendEntry(std::move(added));
                }
                status = csDownloaded;
                m_saveError.clear();
                spaceRestored = std::exchange(m_diskFull, false);
            } catch (const EMorvalenError& error) {
                m_saveError = error.Message();
                if (!HasDiskSpace(data.size())) {
                    m_diskFull = true;
                    diskFull = true;
                } else if (!std::exchange(m_saveFailureReported, true)) {
                    saveFailure = error.Message();
                }
            }
        }
    }

    // A failed request changed no entry: the index on disk is still right.
    if (status != csFailed) {
        try {
            SaveIndex();
        } catch (const EMorvalenError&) {
            // The entries stay in memory; the next save writes the whole index again.
        }
    }

    const std::weak_ptr<bool> alive = m_alive;
    if (callback)
        callback(fileName, key, status);
    if (alive.expired())
        return;
    if (spaceRestored && OnDiskSpaceRestored)
        OnDiskSpaceRestored(this);
    if (diskFull && OnDiskFull)
        OnDiskFull(this);
    if (!saveFailure.isEmpty() && OnSaveFailed)
        OnSaveFailed(this, saveFailure);
}

void TFileCacheManager::WorkerEnded(TDownloadThread* worker)
{
    std::erase(m_downloads, worker);
    worker->deleteLater();
}

void TFileCacheManager::StopDownloads()
{
    const std::vector<TDownloadThread*> workers = std::exchange(m_downloads, {});
    // All are told first, so that they end side by side.
    for (TDownloadThread* worker : workers)
        worker->Stop();
    for (TDownloadThread* worker : workers) {
        worker->wait();
        delete worker;
    }
}

void TFileCacheManager::SetSweep(bool enabled, int maxAgeDays)
{
    m_finishedSweeper.reset();
    if (!enabled) {
        m_sweeper.reset();
        return;
    }
    const bool created = !m_sweeper;
    if (created)
        m_sweeper =
            std::make_unique<TCacheTrashThread>([this] { SweepStep(); }, m_sweepStartDelay, m_sweepInterval);
    m_maxAgeDays = maxAgeDays;
    m_sweepIndex = 0;
    if (created)
        m_sweeper->Resume();
}

void TFileCacheManager::SweepStep()
{
    if (!m_sweeper)
        return;
    if (m_sweepIndex < 0 || m_sweepIndex >= qsizetype(m_items.size())) {
        // The round is over. This runs inside the sweeper's own call, so it cannot be waited
        // for here: it ends by itself and is freed later.
        m_sweeper->Terminate();
        m_finishedSweeper = std::move(m_sweeper);
        return;
    }
    const TCacheImageItemRec& entry = m_items[size_t(m_sweepIndex)];
    const double age = std::trunc(std::fabs(DateTime::Now() - entry.AgeBase));
    // The entry stays: it is dropped at the next load, or refilled by the next request.
    if (!entry.Keep && age >= double(m_maxAgeDays))
        QFile::remove(m_cacheFolder + entry.FileName);
    ++m_sweepIndex;
}
