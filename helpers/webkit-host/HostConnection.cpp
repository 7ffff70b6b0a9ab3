#include "HostConnection.h"

#include <glib-unix.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace WebKitHostProtocol;

HostConnection::HostConnection(int socket, MessageHandler onMessage, std::function<void()> onClosed)
    : m_socket(socket), m_onMessage(std::move(onMessage)), m_onClosed(std::move(onClosed))
{
    fcntl(m_socket, F_SETFL, fcntl(m_socket, F_GETFL) | O_NONBLOCK);
    m_readWatch = g_unix_fd_add(m_socket, GIOCondition(G_IO_IN | G_IO_HUP | G_IO_ERR), &OnReadable, this);
}

HostConnection::~HostConnection()
{
    if (m_readWatch)
        g_source_remove(m_readWatch);
    if (m_writeWatch)
        g_source_remove(m_writeWatch);
    close(m_socket);
}

int HostConnection::Connect(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path))
        return -1;
    std::memcpy(address.sun_path, path.data(), path.size());
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

void HostConnection::Send(const Message& message)
{
    if (m_closed)
        return;
    m_pending += Encode(message);
    Flush();
}

void HostConnection::Flush()
{
    while (!m_pending.empty()) {
        const ssize_t written = send(m_socket, m_pending.data(), m_pending.size(), MSG_NOSIGNAL);
        if (written > 0) {
            m_pending.erase(0, std::size_t(written));
            continue;
        }
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!m_writeWatch)
                m_writeWatch = g_unix_fd_add(m_socket, G_IO_OUT, &OnWritable, this);
            return;
        }
        Close();
        return;
    }
}

gboolean HostConnection::OnWritable(gint, GIOCondition, gpointer self)
{
    auto* connection = static_cast<HostConnection*>(self);
    connection->m_writeWatch = 0;
    connection->Flush();
    return G_SOURCE_REMOVE;
}

gboolean HostConnection::OnReadable(gint, GIOCondition, gpointer self)
{
    auto* connection = static_cast<HostConnection*>(self);
    char buffer[65536];
    for (;;) {
        const ssize_t got = recv(connection->m_socket, buffer, sizeof(buffer), 0);
        if (got > 0) {
            connection->m_reader.Append(buffer, std::size_t(got));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        // End of stream: the program has gone.
        connection->m_readWatch = 0;
        connection->Close();
        return G_SOURCE_REMOVE;
    }
    Message message;
    for (;;) {
        const FrameReader::State state = connection->m_reader.Take(message);
        if (state == FrameReader::State::NeedMore)
            break;
        if (state == FrameReader::State::Malformed) {
            connection->m_readWatch = 0;
            connection->Close();
            return G_SOURCE_REMOVE;
        }
        connection->m_onMessage(message);
        if (connection->m_closed) {
            connection->m_readWatch = 0;
            return G_SOURCE_REMOVE;
        }
    }
    return G_SOURCE_CONTINUE;
}

void HostConnection::Close()
{
    if (m_closed)
        return;
    m_closed = true;
    if (m_onClosed)
        m_onClosed();
}
