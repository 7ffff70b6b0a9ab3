#pragma once

#include "CacheIndexFile.h"
#include "HttpTransfer.h"
#include "TCacheFileEvent.h"

#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TCacheTrashThread;
class TDownloadThread;

// The program's only way to fetch files from the web for display. A caller asks for an
// address and gets a report with the name of a local file in the cache folder once the
// file is there (at once when it is cached and no refresh was asked for). The manager keeps
// the index address -> file in Cache.dat, runs one download worker per request, checks
// what arrives, warns its owner when the disk is full and sweeps old files away in the
// background.
//
// Everything but the workers' network traffic runs on the main thread, reports included:
// every request that is not stopped ends with exactly one report.
class TFileCacheManager final
{
public:
    using Event = std::function<void(TFileCacheManager* sender)>;

    // Raised when storing a download failed and the disk has no room for it.
    Event OnDiskFull;
    // Raised at the first download stored after OnDiskFull.
    Event OnDiskSpaceRestored;
    // Raised once in a run, the first time a download could not be stored with room on the
    // disk (a read-only folder, a file in the way): message is the system's reason.
    std::function<void(TFileCacheManager* sender, const QString& message)> OnSaveFailed;

    TFileCacheManager();
    // Why the last download could not be stored; empty once one was stored.
    const QString& SaveError() const { return m_saveError; }
    // Stops the sweep and every download; nothing is reported after this.
    ~TFileCacheManager();

    TFileCacheManager(const TFileCacheManager&) = delete;
    TFileCacheManager& operator=(const TFileCacheManager&) = delete;

    // Kept with a trailing "/"; set before LoadIndex.
    void SetCacheFolder(const QString& folder);
    const QString& CacheFolder() const { return m_cacheFolder; }

    // Remembers the index file's name and reads it when it exists: the downloads stop, and
    // only the entries whose file is in the cache folder with the recorded size are kept.
    // Throws EMorvalenError "Invalid cache file format." for a wrong header (no entries are
    // kept then) and EFileError when the file cannot be read.
    void LoadIndex(const QString& fileName);
    // Replaces the index file, when its name is known; throws EFileError.
    void SaveIndex();

    // Asks for the file at url. Keep: never swept by age. NameFromURL: stored under the
    // address's own file name rather than a numbered one. Force: a cached copy is checked
    // against the server before it is used. The callback may be empty.
    void RequestFile(const QString& url, bool keep, bool nameFromURL, bool force, TCacheFileEvent callback);
    // The entry's file: with fullPath the path in the cache folder, empty when the file is
    // gone; without it the bare name. Empty when the address has no entry.
    QString GetCachedFileName(const QString& url, bool fullPath) const;

    // A download worker is running.
    bool Busy() const { return !m_downloads.empty(); }
    // Stops every download and waits for the workers; stopped requests report nothing.
    void StopDownloads();

    // Starts, restarts or stops the background sweep, which deletes the files of entries
    // that are not kept and at least maxAgeDays old, one entry per step.
    void SetSweep(bool enabled, int maxAgeDays);
    bool Sweeping() const { return m_sweeper != nullptr; }

    const std::vector<TCacheImageItemRec>& Items() const { return m_items; }

    // The part of url after its last "/" (one in the first place does not count) up to a
    // "?"; empty without a "/".
    static QString FileNameFromURL(const QString& url);
    // The first "Cache%5.5d.tmp" name that no file in the cache folder, no entry and no
    // running worker has.
    QString NewTempFileName() const;
    // Whether data may be stored under fileName: a ".jpg" or ".jpeg" must hold a JPEG.
    static bool IsValidImage(QByteArrayView data, const QString& fileName);
    // The cache folder's volume has more than size bytes free (true when it cannot tell).
    bool HasDiskSpace(qint64 size) const;

    // Test seams: the limits of the download workers, the sweep's timing, and the free-space
    // query of HasDiskSpace (bytes free for a folder, negative when unknown).
    void SetDownloadLimits(const HttpLimits& limits) { m_limits = limits; }
    void SetSweepTiming(unsigned startDelayMs, unsigned stepIntervalMs);
    void SetFreeSpaceQuery(std::function<qint64(const QString& folder)> query)
    {
        m_freeSpace = std::move(query);
    }

private:
    TCacheImageItemRec* FindEntry(const QString& key);
    const TCacheImageItemRec* FindEntry(const QString& key) const;
    void AppendEntry(TCacheImageItemRec entry);
    const QHash<QString, QString>& NameOwners() const;
    bool IsSafeFileName(const QString& name) const;
    bool NameHeldByOtherAddress(const QString& name, const QString& key) const;
    QString FileNameForAddress(const QString& key) const;
    void StartWorker(const QString& url, const QString& targetFileName, bool checkSizeFirst,
                     int32_t expectedSize, bool keep, TCacheFileEvent callback);
    void DownloadDone(TDownloadThread* worker);
    void WorkerEnded(TDownloadThread* worker);
    void SweepStep();

    QString m_cacheFolder;
    std::vector<TCacheImageItemRec> m_items;
    // Key -> position of its first entry in m_items.
    QHash<QString, size_t> m_positions;
    // Lower-cased file name -> key of an entry that has it; see NameOwners.
    mutable QHash<QString, QString> m_nameOwners;
    mutable bool m_nameOwnersStale = false;
    std::vector<TDownloadThread*> m_downloads;
    QString m_fileName;
    // The index file's own name, which no entry may take.
    QString m_indexName;
    std::unique_ptr<TCacheTrashThread> m_sweeper;
    // A sweeper whose round is over; it ends by itself.
    std::unique_ptr<TCacheTrashThread> m_finishedSweeper;
    int m_maxAgeDays = 0;
    qsizetype m_sweepIndex = 0;
    bool m_diskFull = false;
    bool m_saveFailureReported = false;
    QString m_saveError;

    HttpLimits m_limits;
    unsigned m_sweepStartDelay;
    unsigned m_sweepInterval;
    std::function<qint64(const QString& folder)> m_freeSpace;
    // Lets a report find out whether the manager was freed by the caller's callback.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
