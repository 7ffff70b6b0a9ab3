#pragma once

#include "HttpTransfer.h"
#include "TCacheFileEvent.h"
#include "common/TSyncThread.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

// Fetches one address into memory on a thread of its own, optionally asking the server for
// the size first so that an unchanged cached copy is not fetched again, and hands the
// result to its owner on the main thread. A worker that was told to stop reports nothing.
//
// Made suspended with the address and the owner's completion handler; the owner sets the
// other fields and calls Start. The worker's fields are its own until it reports; during
// the report the owner may read them, since the worker waits.
class TDownloadThread final : public TSyncThread
{
    Q_OBJECT

public:
    enum TOutcome : uint8_t
    {
        // The server could not be reached, or the size query failed.
        doNotReachable = 0,
        // The server reported the size of the cached copy.
        doUnchanged = 1,
        // The answer was fetched into Data (which may be empty when that failed).
        doDownloaded = 2,
    };

    using DoneEvent = std::function<void(TDownloadThread* worker)>;

    TDownloadThread(const QString& url, DoneEvent onDone, QObject* parent = nullptr);
    ~TDownloadThread() override;

    void SetKeep(bool keep) { m_keep = keep; }
    void SetCacheCallback(TCacheFileEvent callback) { m_cacheCallback = std::move(callback); }
    void SetTargetFileName(const QString& name) { m_targetFileName = name; }
    void SetCheckSizeFirst(bool check) { m_checkSizeFirst = check; }
    void SetExpectedSize(int32_t size) { m_expectedSize = size; }
    void SetLimits(const HttpLimits& limits) { m_limits = limits; }

    void Start() { Resume(); }
    // Ends a running transfer within a few tens of milliseconds; the worker then reports
    // nothing.
    void Stop() { Terminate(); }

    const QByteArray& Data() const { return m_data; }
    const QString& URL() const { return m_url; }
    bool Keep() const { return m_keep; }
    const TCacheFileEvent& CacheCallback() const { return m_cacheCallback; }
    const QString& TargetFileName() const { return m_targetFileName; }
    bool CheckSizeFirst() const { return m_checkSizeFirst; }
    int32_t ExpectedSize() const { return m_expectedSize; }
    TOutcome Outcome() const { return m_outcome; }
    // How the download went: the HTTP status and whether the body is whole.
    const HttpResult& Result() const { return m_result; }

    // The size an answer's headers announce: its Content-Length (at most the largest
    // 32-bit number), 1 when it announces none, 0 when there was no answer.
    static int32_t AnnouncedSize(const HttpResult& headers);

private:
    void Execute() override;

    const QString m_url;
    QByteArray m_data;
    bool m_keep = false;
    TCacheFileEvent m_cacheCallback;
    QString m_targetFileName;
    bool m_checkSizeFirst = false;
    int32_t m_expectedSize = 0;
    HttpLimits m_limits;
    TOutcome m_outcome = doDownloaded;
    HttpResult m_result;
};
