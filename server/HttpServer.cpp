#include "HttpServer.h"

#include "common/Errors.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <strings.h>
#include <utility>

using namespace Qt::Literals::StringLiterals;

// One request from its request line to its end: MHD hands it back to every callback.
struct HttpServer::Exchange
{
    HttpServer* server = nullptr;
    QByteArray target;
    bool headersSeen = false;
    size_t bodyBytes = 0;

    static void* Begin(void* server, const char* uri, MHD_Connection*)
    {
        auto* exchange = new Exchange;
        exchange->server = static_cast<HttpServer*>(server);
        exchange->target = uri != nullptr ? QByteArray(uri) : QByteArray();
        return exchange;
    }

    static void End(void*, MHD_Connection*, void** state, MHD_RequestTerminationCode)
    {
        delete static_cast<Exchange*>(*state);
        *state = nullptr;
    }

    static MHD_Result Queue(MHD_Connection* connection, const HttpResponse& answer)
    {
        MHD_Response* response = MHD_create_response_from_buffer(
            size_t(answer.body.size()), const_cast<char*>(answer.body.constData()), MHD_RESPMEM_MUST_COPY);
        if (response == nullptr)
            return MHD_NO;
        if (!answer.contentType.isEmpty())
            MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, answer.contentType.constData());
        for (const auto& [name, value] : answer.headers)
            MHD_add_response_header(response, name.constData(), value.constData());
        const MHD_Result queued = MHD_queue_response(connection, unsigned(answer.status), response);
        MHD_destroy_response(response);
        return queued;
    }

    static QString ClientAddress(MHD_Connection* connection)
    {
        const MHD_ConnectionInfo* info =
            MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
        if (info == nullptr || info->client_addr == nullptr)
            return {};
        char text[INET6_ADDRSTRLEN] = {};
        if (info->client_addr->sa_family == AF_INET) {
            const auto* address = reinterpret_cast<const sockaddr_in*>(info->client_addr);
            inet_ntop(AF_INET, &address->sin_addr, text, sizeof text);
        } else if (info->client_addr->sa_family == AF_INET6) {
            const auto* address = reinterpret_cast<const sockaddr_in6*>(info->client_addr);
            inet_ntop(AF_INET6, &address->sin6_addr, text, sizeof text);
        }
        QString result = QString::fromLatin1(text);
        // One client is one voter whichever socket it reached.
        if (result.startsWith(u"::ffff:"_s) && result.contains(u'.'))
            result.remove(0, 7);
        return result;
    }

    // The values of the headers an answer depends on, each list joined as HTTP reads it.
    static MHD_Result CollectHeader(void* cls, MHD_ValueKind, const char* key, const char* value)
    {
        auto* request = static_cast<HttpRequest*>(cls);
        if (key == nullptr || value == nullptr)
            return MHD_YES;
        QByteArray* target = nullptr;
        if (strcasecmp(key, MHD_HTTP_HEADER_IF_NONE_MATCH) == 0)
            target = &request->ifNoneMatch;
        else if (strcasecmp(key, "X-Forwarded-For") == 0)
            target = &request->forwardedFor;
        else if (strcasecmp(key, MHD_HTTP_HEADER_IF_MODIFIED_SINCE) == 0 && request->ifModifiedSince.isNull())
            target = &request->ifModifiedSince;
        if (target == nullptr)
            return MHD_YES;
        if (target->isNull())
            *target = QByteArray(value, qsizetype(std::strlen(value)));
        else
            *target += ", " + QByteArray(value);
        // A null value stays "absent"; an empty header is present.
        if (target->isNull())
            *target = QByteArray("");
        return MHD_YES;
    }

    static MHD_Result Handle(void*, MHD_Connection* connection, const char*, const char* method, const char*,
                             const char*, size_t* uploadSize, void** state)
    {
        auto* exchange = static_cast<Exchange*>(*state);
        if (exchange == nullptr)
            return MHD_NO;
        const Settings& settings = exchange->server->m_settings;
        if (!exchange->headersSeen) {
            // A refusal goes out at once, and the connection closes after it; a request that is
            // answered waits for its end, so that the connection can carry the next one.
            exchange->headersSeen = true;
            const int headers = MHD_get_connection_values(connection, MHD_HEADER_KIND, nullptr, nullptr);
            if (headers > settings.maxHeaders)
                return Queue(connection, ErrorResponse(MHD_HTTP_REQUEST_HEADER_FIELDS_TOO_LARGE));
            if (const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND,
                                                                 MHD_HTTP_HEADER_CONTENT_LENGTH)) {
                bool ok = false;
                const qulonglong bytes = QByteArray(length).trimmed().toULongLong(&ok);
                if (!ok || bytes > settings.maxBodyBytes)
                    return Queue(connection, ErrorResponse(MHD_HTTP_CONTENT_TOO_LARGE));
            }
            if (std::strcmp(method, "GET") != 0 && std::strcmp(method, "HEAD") != 0)
                return Queue(connection, ErrorResponse(MHD_HTTP_NOT_FOUND));
            return MHD_YES;
        }
        if (*uploadSize != 0) {
            // A body a GET carries is read and dropped; a chunked one beyond the limit ends the
            // connection.
            exchange->bodyBytes += *uploadSize;
            *uploadSize = 0;
            return exchange->bodyBytes > settings.maxBodyBytes ? MHD_NO : MHD_YES;
        }

        HttpRequest request;
        request.method = QByteArray(method);
        request.target = exchange->target;
        request.host =
            QByteArray(MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_HOST));
        request.clientAddress = ClientAddress(connection);
        MHD_get_connection_values(connection, MHD_HEADER_KIND, &CollectHeader, &request);
        HttpResponse answer;
        try {
            answer = exchange->server->m_handler(request);
        } catch (const std::exception&) {
            answer = ErrorResponse(MHD_HTTP_INTERNAL_SERVER_ERROR);
        }
        return Queue(connection, answer);
    }
};

namespace {

// The listening socket is made here, so that the backlog and a port of 0 are in our hands.
int Listen(const QString& bindAddress, int port, int backlog, int& boundPort)
{
    sockaddr_storage address{};
    socklen_t addressLength = 0;
    const QByteArray host = bindAddress.toLatin1();
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    if (inet_pton(AF_INET, host.constData(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(uint16_t(port));
        addressLength = sizeof(sockaddr_in);
    } else if (inet_pton(AF_INET6, host.constData(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(uint16_t(port));
        addressLength = sizeof(sockaddr_in6);
    } else {
        return -1;
    }
    const int socket = ::socket(address.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0)
        return -1;
    const int on = 1;
    setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(socket, reinterpret_cast<const sockaddr*>(&address), addressLength) != 0 ||
        listen(socket, backlog) != 0 ||
        getsockname(socket, reinterpret_cast<sockaddr*>(&address), &addressLength) != 0) {
        close(socket);
        return -1;
    }
    boundPort = ntohs(address.ss_family == AF_INET ? v4->sin_port : v6->sin6_port);
    return socket;
}

} // namespace

HttpServer::HttpServer(const Settings& settings, Handler handler)
    : m_settings(settings), m_handler(std::move(handler))
{
    m_listenSocket = Listen(settings.bindAddress, settings.port, settings.backlog, m_port);
    if (m_listenSocket < 0)
        throw EMorvalenError(u"Cannot listen on %1 port %2"_s.arg(settings.bindAddress).arg(settings.port));
    const unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL |
                           (settings.bindAddress.contains(u':') ? MHD_USE_IPv6 : 0);
    m_daemon = MHD_start_daemon(
        flags, 0, nullptr, nullptr, &Exchange::Handle, this, MHD_OPTION_LISTEN_SOCKET, m_listenSocket,
        MHD_OPTION_THREAD_POOL_SIZE, unsigned(settings.threads), MHD_OPTION_CONNECTION_TIMEOUT,
        settings.idleTimeoutSeconds, MHD_OPTION_CONNECTION_LIMIT, settings.connectionLimit,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, settings.connectionsPerAddress,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, settings.headerBytes, MHD_OPTION_URI_LOG_CALLBACK,
        &Exchange::Begin, this, MHD_OPTION_NOTIFY_COMPLETED, &Exchange::End, this, MHD_OPTION_END);
    if (m_daemon == nullptr) {
        close(m_listenSocket);
        throw EMorvalenError(
            u"Cannot start the HTTP server on %1 port %2"_s.arg(settings.bindAddress).arg(m_port));
    }
}

HttpServer::~HttpServer()
{
    Stop();
}

void HttpServer::Stop()
{
    // The daemon closes the listening socket it was given, once its threads have ended.
    if (MHD_Daemon* daemon = std::exchange(m_daemon, nullptr))
        MHD_stop_daemon(daemon);
}

HttpResponse HttpServer::ErrorResponse(int status)
{
    return {status,
            "text/plain; charset=utf-8",
            "Error " + QByteArray::number(status) + '\n',
            {{"Cache-Control", "no-store"}}};
}
