#include "TDownloadThread.h"

#include <limits>

TDownloadThread::TDownloadThread(const QString& url, DoneEvent onDone, QObject* parent)
    : TSyncThread(true, parent), m_url(url)
{
    if (onDone)
        SetCallback([onDone = std::move(onDone)](TSyncThread* sender) {
            onDone(static_cast<TDownloadThread*>(sender));
        });
}

TDownloadThread::~TDownloadThread()
{
    TerminateAndWait();
}

int32_t TDownloadThread::AnnouncedSize(const HttpResult& headers)
{
    if (!headers.answered)
        return 0;
    if (headers.contentLength < 0)
        return 1;
    return int32_t(std::min<qint64>(headers.contentLength, std::numeric_limits<int32_t>::max()));
}

void TDownloadThread::Execute()
{
    HttpTransfer transfer(m_limits, [this] { return Terminated(); });
    bool fetch = true;
    if (m_checkSizeFirst) {
        // The whole answer is asked for, as for the download, but only its headers are read.
        m_result = transfer.FetchHeaders(m_url);
        const int32_t size = AnnouncedSize(m_result);
        if (size == 0) {
            m_outcome = doNotReachable;
            fetch = false;
        } else if (size == m_expectedSize) {
            m_outcome = doUnchanged;
            fetch = false;
        }
    }
    if (fetch && !Terminated()) {
        m_result = transfer.Fetch(m_url, m_data);
        m_outcome = doDownloaded;
        // A stalled or cut transfer keeps what arrived; any other failure leaves nothing.
        if (!m_result.answered || m_result.stopped || !m_result.error.isEmpty())
            m_data.clear();
    }
    if (!Terminated())
        DoCallback();
}
