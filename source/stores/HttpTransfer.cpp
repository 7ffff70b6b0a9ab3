#include "HttpTransfer.h"

#include "CurlLibrary.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <memory>
#include <mutex>

using namespace Qt::Literals::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;

// How often a waiting transfer looks at its stop request and its stall clock; data that
// arrives wakes it at once.
constexpr int kPollMs = 20;
// libcurl's receive buffer; larger than its default so that a big file costs fewer calls.
constexpr long kReceiveBufferSize = 256 * 1024;

struct EasyDeleter
{
    void operator()(CURL* easy) const { CurlLibrary::Get()->easy_cleanup(easy); }
};
struct MultiDeleter
{
    void operator()(CURLM* multi) const { CurlLibrary::Get()->multi_cleanup(multi); }
};
struct HeaderListDeleter
{
    void operator()(curl_slist* list) const { CurlLibrary::Get()->slist_free_all(list); }
};

// A Content-Length value: digits only, nothing else; -1 for anything a number cannot be
// read from.
qint64 ParseContentLength(QByteArrayView value)
{
    value = value.trimmed();
    if (value.isEmpty() || value.size() > 18)
        return -1;
    qint64 length = 0;
    for (const char c : value) {
        if (c < '0' || c > '9')
            return -1;
        length = length * 10 + (c - '0');
    }
    return length;
}

// State shared with libcurl's callbacks while one transfer runs.
struct TransferState
{
    const HttpLimits* limits = nullptr;
    QByteArray* body = nullptr; // null: headers only
    HttpResult* result = nullptr;
    Clock::time_point lastActivity;
    bool headersDone = false;
    bool chunked = false;

    static size_t OnHeader(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<TransferState*>(user);
        const size_t length = size * count;
        self->lastActivity = Clock::now();
        const QByteArrayView line(data, qsizetype(length));
        HttpResult& result = *self->result;

        if (line.startsWith("HTTP/")) {
            // A new answer begins (an interim 1xx answer may come before the real one).
            const qsizetype space = line.indexOf(' ');
            const QByteArrayView code =
                space > 0 ? line.sliced(space + 1, std::min<qsizetype>(3, line.size() - space - 1))
                          : QByteArrayView();
            result.status = int(ParseContentLength(code));
            result.contentLength = -1;
            self->chunked = false;
            return length;
        }
        if (line.trimmed().isEmpty()) {
            if (result.status >= 200 || result.status < 100) {
                self->headersDone = true;
                result.answered = true;
                if (!self->body)
                    return 0; // stop before the body
                if (result.contentLength > 0)
                    self->body->reserve(std::min(result.contentLength, self->limits->maxBodySize));
            }
            return length;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return length;
        const QByteArrayView name = line.first(colon).trimmed();
        const QByteArrayView value = line.sliced(colon + 1);
        if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            result.contentLength = ParseContentLength(value);
        else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0)
            self->chunked = QByteArray(value.data(), value.size()).toLower().contains("chunked");
        return length;
    }

    static size_t OnBody(char* data, size_t size, size_t count, void* user)
    {
        auto* self = static_cast<TransferState*>(user);
        const size_t length = size * count;
        self->lastActivity = Clock::now();
        if (!self->body)
            return 0;
        if (qint64(length) > self->limits->maxBodySize - self->body->size()) {
            self->result->tooLarge = true;
            return 0;
        }
        self->body->append(data, qsizetype(length));
        return length;
    }
};

} // namespace

HttpTransfer::HttpTransfer(HttpLimits limits, StopCheck stopRequested)
    : m_limits(limits), m_stopRequested(std::move(stopRequested))
{}

HttpResult HttpTransfer::FetchHeaders(const QString& url)
{
    return Run(url, nullptr);
}

HttpResult HttpTransfer::Fetch(const QString& url, QByteArray& body)
{
    body.clear();
    HttpResult result = Run(url, &body);
    if (result.tooLarge)
        body.clear();
    return result;
}

HttpResult HttpTransfer::Run(const QString& url, QByteArray* body)
{
    HttpResult result;
    const CurlLibrary* curl = CurlLibrary::Get();
    if (!curl) {
        result.error = u"The HTTP client library (libcurl) cannot be loaded."_s;
        return result;
    }
    const std::unique_ptr<CURL, EasyDeleter> easy(curl->easy_init());
    const std::unique_ptr<CURLM, MultiDeleter> multi(curl->multi_init());
    if (!easy || !multi) {
        result.error = u"The HTTP client cannot be set up."_s;
        return result;
    }

    TransferState state;
    state.limits = &m_limits;
    state.body = body;
    state.result = &result;

    // WinINet's "no cache" request: a proxy must not answer from its cache either.
    curl_slist* headers = curl->slist_append(nullptr, "Pragma: no-cache");
    const std::unique_ptr<curl_slist, HeaderListDeleter> headerList(headers);

    const QByteArray address = url.toUtf8();
    CURL* handle = easy.get();
    curl->easy_setopt(handle, CURLOPT_URL, address.constData());
    curl->easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl->easy_setopt(handle, CURLOPT_USERAGENT, kUserAgent);
    curl->easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    curl->easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
    curl->easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl->easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, long(m_limits.connectTimeoutMs));
    curl->easy_setopt(handle, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
    curl->easy_setopt(handle, CURLOPT_HEADERFUNCTION, &TransferState::OnHeader);
    curl->easy_setopt(handle, CURLOPT_HEADERDATA, &state);
    curl->easy_setopt(handle, CURLOPT_WRITEFUNCTION, &TransferState::OnBody);
    curl->easy_setopt(handle, CURLOPT_WRITEDATA, &state);
    // No cookie engine is switched on, so no cookie is sent or kept.

    if (curl->multi_add_handle(multi.get(), handle) != CURLM_OK) {
        result.error = u"The HTTP client cannot be set up."_s;
        return result;
    }

    const auto stallTimeout = std::chrono::milliseconds(m_limits.stallTimeoutMs);
    state.lastActivity = Clock::now();
    CURLcode code = CURLE_OK;
    bool finished = false;
    while (!finished) {
        int running = 0;
        if (curl->multi_perform(multi.get(), &running) != CURLM_OK) {
            result.error = u"The HTTP client failed."_s;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl->multi_info_read(multi.get(), &queued)) {
            if (message->msg == CURLMSG_DONE) {
                code = message->data.result;
                finished = true;
            }
        }
        if (finished)
            break;
        if (m_stopRequested && m_stopRequested()) {
            result.stopped = true;
            break;
        }
        if (Clock::now() - state.lastActivity >= stallTimeout) {
            result.stalled = true;
            break;
        }
        curl->multi_poll(multi.get(), nullptr, 0, kPollMs, nullptr);
    }
    curl->multi_remove_handle(multi.get(), handle);

    if (finished && code != CURLE_OK) {
        const bool stoppedOnPurpose =
            code == CURLE_WRITE_ERROR && ((!body && state.headersDone) || result.tooLarge);
        if (code == CURLE_PARTIAL_FILE)
            result.truncated = true;
        else if (!stoppedOnPurpose)
            result.error = QString::fromUtf8(curl->easy_strerror(code));
    }
    // A stalled body is known to be cut when the server said how it would end; one that
    // ends with the connection may be whole.
    if (result.stalled && body && state.headersDone &&
        (state.chunked || (result.contentLength >= 0 && body->size() < result.contentLength)))
        result.truncated = true;
    if (result.stalled && !result.answered)
        result.error = u"The server did not answer."_s;
    return result;
}
