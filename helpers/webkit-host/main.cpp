// morvalen-webkit-host: runs the WebKit engine for one browser window of Morvalen Desktop.
// The program starts it with the path of a local socket to connect to and the profile
// folder; every page of the window is a view here, shown in an X11 window the program
// embeds. The host ends when the program closes the socket or dies.

#include "HostConnection.h"
#include "HostView.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <csignal>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>

using namespace WebKitHostProtocol;

namespace {

struct Options
{
    std::string socket;
    std::string profile;
};

bool ReadOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--socket=", 0) == 0)
            options.socket = argument.substr(9);
        else if (argument.rfind("--profile=", 0) == 0)
            options.profile = argument.substr(10);
        else
            return false;
    }
    return !options.socket.empty() && !options.profile.empty();
}

WebKitWebContext* CreateContext(const std::string& profile)
{
    // Persistent like the program's other engine: cookies, storage and cache survive.
    const std::string data = profile + "/Data";
    const std::string cache = profile + "/Cache";
    WebKitWebsiteDataManager* manager = webkit_website_data_manager_new(
        "base-data-directory", data.c_str(), "base-cache-directory", cache.c_str(), nullptr);
    WebKitWebContext* context = webkit_web_context_new_with_website_data_manager(manager);
    const std::string cookies = profile + "/Cookies.sqlite";
    webkit_cookie_manager_set_persistent_storage(webkit_website_data_manager_get_cookie_manager(manager),
                                                 cookies.c_str(), WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    g_object_unref(manager);
    // The pages' icons, which the program gives a site that has none of its own.
    const std::string favicons = profile + "/Favicons";
    webkit_web_context_set_favicon_database_directory(context, favicons.c_str());
    return context;
}

class Host final
{
public:
    Host(int socket, std::string profile)
        : m_profile(std::move(profile)),
          m_connection(
              socket, [this](const Message& message) { Handle(message); }, [] { gtk_main_quit(); })
    {}

    ~Host()
    {
        m_views.clear();
        if (m_context) {
            g_signal_handlers_disconnect_by_data(m_context, this);
            g_object_unref(m_context);
        }
    }

    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

private:
    void Send(const Message& message) { m_connection.Send(message); }

    // Made with the first page, so that the hello is answered as soon as the display is open.
    WebKitWebContext* Context()
    {
        if (!m_context) {
            m_context = CreateContext(m_profile);
            // A download a page starts by itself goes the same way as one it links to: the
            // program asks the user first.
            g_signal_connect(m_context, "download-started", G_CALLBACK(OnDownloadStarted), this);
        }
        return m_context;
    }

    void Handle(const Message& message)
    {
        switch (message.type) {
        case MessageType::Hello:
            Send(Message{MessageType::HelloReply, 0, {Version, std::int64_t(getpid())}, {}, {}});
            break;
        case MessageType::Ping:
            Send(Message{MessageType::Pong, 0, {message.Integer(0)}, {}, {}});
            break;
        case MessageType::CreateView:
            if (message.view != 0 && !m_views.count(message.view)) {
                const int width = int(std::clamp<std::int64_t>(message.Integer(0, 800), 1, 16384));
                const int height = int(std::clamp<std::int64_t>(message.Integer(1, 600), 1, 16384));
                m_views[message.view] = std::make_unique<HostView>(message.view, Context(), width, height,
                                                                   message.Integer(2, 1000),
                                                                   [this](const Message& m) { Send(m); });
            }
            break;
        case MessageType::CloseView:
            m_views.erase(message.view);
            break;
        default:
            if (const auto found = m_views.find(message.view); found != m_views.end())
                found->second->Handle(message);
            break;
        }
    }

    static void OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, Host* self)
    {
        if (g_object_get_data(G_OBJECT(download), "morvalen-own-download"))
            return;
        WebKitURIRequest* request = webkit_download_get_request(download);
        const std::uint32_t view = HostView::IdOf(webkit_download_get_web_view(download));
        const char* address = request ? webkit_uri_request_get_uri(request) : nullptr;
        webkit_download_cancel(download);
        if (view && address)
            self->Send(Message{MessageType::DownloadRequested, view, {}, {address, std::string()}, {}});
    }

    std::string m_profile;
    WebKitWebContext* m_context = nullptr;
    HostConnection m_connection;
    std::map<std::uint32_t, std::unique_ptr<HostView>> m_views;
};

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ReadOptions(argc, argv, options)) {
        std::fprintf(stderr, "Usage: morvalen-webkit-host --socket=PATH --profile=DIR\n");
        return 2;
    }
    // Never outlive the program: the socket closing ends us, and so does the parent's death.
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        return 0;
    std::signal(SIGPIPE, SIG_IGN);

    // The program embeds X11 windows; GTK must not pick Wayland even where both are there.
    gdk_set_allowed_backends("x11");
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "morvalen-webkit-host: no X11 display\n");
        return 3;
    }
    const int socket = HostConnection::Connect(options.socket);
    if (socket < 0) {
        std::fprintf(stderr, "morvalen-webkit-host: cannot connect to %s\n", options.socket.c_str());
        return 4;
    }
    {
        Host host(socket, options.profile);
        gtk_main();
    }
    return 0;
}
