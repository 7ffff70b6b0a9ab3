#pragma once

#include "browser/WebKitHostProtocol.h"

#include <glib.h>

#include <functional>
#include <string>

// The host's end of the local socket to the program: reads frames as they arrive and
// writes without blocking the GTK main loop. When the program goes away (end of stream,
// error, or a malformed frame) the host has no reason to live and onClosed runs.
class HostConnection final
{
public:
    using MessageHandler = std::function<void(const WebKitHostProtocol::Message&)>;

    HostConnection(int socket, MessageHandler onMessage, std::function<void()> onClosed);
    ~HostConnection();

    HostConnection(const HostConnection&) = delete;
    HostConnection& operator=(const HostConnection&) = delete;

    void Send(const WebKitHostProtocol::Message& message);

    // Connects to the program's socket at path; -1 on failure.
    static int Connect(const std::string& path);

private:
    static gboolean OnReadable(gint fd, GIOCondition condition, gpointer self);
    static gboolean OnWritable(gint fd, GIOCondition condition, gpointer self);
    void Flush();
    void Close();

    int m_socket;
    MessageHandler m_onMessage;
    std::function<void()> m_onClosed;
    WebKitHostProtocol::FrameReader m_reader;
    std::string m_pending;
    guint m_readWatch = 0;
    guint m_writeWatch = 0;
    bool m_closed = false;
};
