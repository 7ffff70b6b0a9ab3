#include "HostView.h"

#include <gdk/gdkx.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>

using namespace WebKitHostProtocol;

namespace {

constexpr const char* ViewIdKey = "morvalen-view-id";
constexpr const char* OwnDownloadKey = "morvalen-own-download";

// What an asynchronous answer needs after its view may have gone.
struct PendingAnswer
{
    HostView::Sender send;
    std::uint32_t view;
    std::int64_t request;
};

std::string TextOf(const char* text)
{
    return text ? std::string(text) : std::string();
}

// A page's text of any length, cut to what a dialog shows (at a character's start), so that
// its message always fits a frame.
std::string ShortTextOf(const char* text)
{
    constexpr std::size_t limit = 16 * 1024;
    std::string whole = TextOf(text);
    if (whole.size() <= limit)
        return whole;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(whole[end]) & 0xC0) == 0x80)
        --end;
    whole.resize(end);
    return whole;
}

// A picture of the engine's as the protocol carries it: premultiplied ARGB32 rows, no larger
// than limit on a side (else nothing).
bool PixelsOf(cairo_surface_t* surface, int limit, int& width, int& height, std::string& data)
{
    width = cairo_image_surface_get_width(surface);
    height = cairo_image_surface_get_height(surface);
    if (width <= 0 || height <= 0 || width > limit || height > limit ||
        std::size_t(width) * std::size_t(height) * 4 >= MaxFrameSize - 4096)
        return false;
    // The engine may hand back any kind of surface; an image surface of our own has the row
    // layout the program reads.
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(image);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(image);
    const int stride = cairo_image_surface_get_stride(image);
    const unsigned char* pixels = cairo_image_surface_get_data(image);
    if (pixels) {
        data.reserve(std::size_t(width) * std::size_t(height) * 4);
        for (int y = 0; y < height; ++y)
            data.append(reinterpret_cast<const char*>(pixels + std::size_t(y) * std::size_t(stride)),
                        std::size_t(width) * 4);
    }
    cairo_surface_destroy(image);
    return pixels != nullptr;
}

void OnSnapshotReady(GObject* source, GAsyncResult* result, gpointer data)
{
    std::unique_ptr<PendingAnswer> pending(static_cast<PendingAnswer*>(data));
    Message answer{MessageType::SnapshotReady, pending->view, {pending->request, 0, 0}, {}, {}};
    cairo_surface_t* surface = webkit_web_view_get_snapshot_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
    if (surface) {
        // At a GTK scale the snapshot has every pixel of the screen; copied one to one.
        cairo_surface_set_device_scale(surface, 1.0, 1.0);
        int width = 0;
        int height = 0;
        if (PixelsOf(surface, 16384, width, height, answer.data))
            answer.integers = {pending->request, width, height};
        else
            answer.data.clear();
        cairo_surface_destroy(surface);
    }
    pending->send(answer);
}

void OnEvaluated(GObject* source, GAsyncResult* result, gpointer data)
{
    std::unique_ptr<PendingAnswer> pending(static_cast<PendingAnswer*>(data));
    std::int64_t value = -1;
    std::string json;
    JSCValue* js = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
    if (js) {
        if (jsc_value_is_number(js)) {
            const double number = jsc_value_to_double(js);
            if (std::isfinite(number) && std::fabs(number) < 9.0e15)
                value = std::int64_t(number);
        }
        if (!jsc_value_is_undefined(js)) {
            if (gchar* text = jsc_value_to_json(js, 0)) {
                // A value too large for one frame is no value.
                if (std::strlen(text) <= MaxEvaluatedText)
                    json = text;
                g_free(text);
            }
        }
        g_object_unref(js);
    }
    pending->send(Message{MessageType::Evaluated, pending->view, {pending->request, value}, {json}, {}});
}

// A download the program asked for, until the engine lets go of it.
struct TDownload
{
    HostView::Sender send;
    std::uint32_t view = 0;
    std::string destination;
    gint64 lastReport = 0;
    DownloadOutcome outcome = DownloadOutcome::Succeeded;
    std::string error;
};

// Progress goes to the program this often at most, however small the engine's steps.
constexpr gint64 DownloadReportMicroseconds = 200000;

// The running downloads by view and destination, each with a reference, so that the program
// can cancel them.
std::map<std::pair<std::uint32_t, std::string>, WebKitDownload*>& RunningDownloads()
{
    static std::map<std::pair<std::uint32_t, std::string>, WebKitDownload*> downloads;
    return downloads;
}

void OnDownloadData(WebKitDownload* download, guint64, gpointer data)
{
    auto* state = static_cast<TDownload*>(data);
    const gint64 now = g_get_monotonic_time();
    if (now - state->lastReport < DownloadReportMicroseconds)
        return;
    state->lastReport = now;
    WebKitURIResponse* response = webkit_download_get_response(download);
    const guint64 length = response ? webkit_uri_response_get_content_length(response) : 0;
    state->send(Message{MessageType::DownloadProgress,
                        state->view,
                        {std::int64_t(webkit_download_get_received_data_length(download)),
                         length > 0 ? std::int64_t(length) : -1},
                        {state->destination},
                        {}});
}

// "failed" comes before "finished" for a failed or cancelled download, which reports once.
void OnDownloadFailed(WebKitDownload*, GError* error, gpointer data)
{
    auto* state = static_cast<TDownload*>(data);
    const bool cancelled =
        g_error_matches(error, WEBKIT_DOWNLOAD_ERROR, WEBKIT_DOWNLOAD_ERROR_CANCELLED_BY_USER);
    state->outcome = cancelled ? DownloadOutcome::Cancelled : DownloadOutcome::Failed;
    if (error && error->message)
        state->error = error->message;
}

void OnDownloadFinished(WebKitDownload* download, gpointer data)
{
    auto* state = static_cast<TDownload*>(data);
    state->send(Message{MessageType::DownloadFinished,
                        state->view,
                        {std::int64_t(state->outcome)},
                        {state->destination, state->error},
                        {}});
    auto& running = RunningDownloads();
    const auto found = running.find({state->view, state->destination});
    if (found != running.end() && found->second == download) {
        running.erase(found);
        // The signal holds its own reference: the state outlives this handler.
        g_object_unref(download);
    }
}

void OnDecideDestination(WebKitDownload* download, gchar*, gpointer data)
{
    const char* destination = static_cast<const char*>(data);
    gchar* uri = g_filename_to_uri(destination, nullptr, nullptr);
    if (uri) {
        webkit_download_set_allow_overwrite(download, TRUE);
        webkit_download_set_destination(download, uri);
        g_free(uri);
    } else {
        webkit_download_cancel(download);
    }
}

// Qt's key codes (qnamespace.h) of the keys a page acts on, as GDK key values.
guint KeyvalOfQtKey(std::int64_t key, const std::string& text)
{
    static const std::map<std::int64_t, guint> special{
        {0x01000000, GDK_KEY_Escape},    {0x01000001, GDK_KEY_Tab},    {0x01000002, GDK_KEY_ISO_Left_Tab},
        {0x01000003, GDK_KEY_BackSpace}, {0x01000004, GDK_KEY_Return}, {0x01000005, GDK_KEY_KP_Enter},
        {0x01000006, GDK_KEY_Insert},    {0x01000007, GDK_KEY_Delete}, {0x01000010, GDK_KEY_Home},
        {0x01000011, GDK_KEY_End},       {0x01000012, GDK_KEY_Left},   {0x01000013, GDK_KEY_Up},
        {0x01000014, GDK_KEY_Right},     {0x01000015, GDK_KEY_Down},   {0x01000016, GDK_KEY_Page_Up},
        {0x01000017, GDK_KEY_Page_Down}, {0x20, GDK_KEY_space},
    };
    if (const auto found = special.find(key); found != special.end())
        return found->second;
    if (key >= 0x01000030 && key <= 0x0100003B) // F1 to F12
        return guint(GDK_KEY_F1 + (key - 0x01000030));
    if (!text.empty()) {
        const gunichar character = g_utf8_get_char_validated(text.c_str(), gssize(text.size()));
        if (character != gunichar(-1) && character != gunichar(-2) && character >= 0x20)
            return gdk_unicode_to_keyval(character);
    }
    return 0;
}

// The Qt key code (qnamespace.h) of a GDK key value: what the program's shortcuts compare.
std::int64_t QtKeyOfKeyval(guint keyval)
{
    static const std::map<guint, std::int64_t> special{
        {GDK_KEY_Escape, 0x01000000},    {GDK_KEY_Tab, 0x01000001},       {GDK_KEY_ISO_Left_Tab, 0x01000002},
        {GDK_KEY_BackSpace, 0x01000003}, {GDK_KEY_Return, 0x01000004},    {GDK_KEY_KP_Enter, 0x01000005},
        {GDK_KEY_Insert, 0x01000006},    {GDK_KEY_Delete, 0x01000007},    {GDK_KEY_Home, 0x01000010},
        {GDK_KEY_End, 0x01000011},       {GDK_KEY_Left, 0x01000012},      {GDK_KEY_Up, 0x01000013},
        {GDK_KEY_Right, 0x01000014},     {GDK_KEY_Down, 0x01000015},      {GDK_KEY_Page_Up, 0x01000016},
        {GDK_KEY_Page_Down, 0x01000017}, {GDK_KEY_Shift_L, 0x01000020},   {GDK_KEY_Shift_R, 0x01000020},
        {GDK_KEY_Control_L, 0x01000021}, {GDK_KEY_Control_R, 0x01000021}, {GDK_KEY_Alt_L, 0x01000023},
        {GDK_KEY_Alt_R, 0x01000023},     {GDK_KEY_Super_L, 0x01000053},   {GDK_KEY_Super_R, 0x01000054},
        {GDK_KEY_KP_Add, 0x2b},          {GDK_KEY_KP_Subtract, 0x2d},     {GDK_KEY_KP_0, 0x30},
        {GDK_KEY_KP_Left, 0x01000012},   {GDK_KEY_KP_Right, 0x01000014},
    };
    if (const auto found = special.find(keyval); found != special.end())
        return found->second;
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12)
        return 0x01000030 + std::int64_t(keyval - GDK_KEY_F1);
    const gunichar character = gdk_keyval_to_unicode(keyval);
    if (character >= 0x20 && character != 0x7f)
        return std::int64_t(g_unichar_toupper(character));
    return 0;
}

std::int64_t StateToQtModifiers(guint state)
{
    std::int64_t modifiers = 0;
    if (state & GDK_SHIFT_MASK)
        modifiers |= 0x02000000;
    if (state & GDK_CONTROL_MASK)
        modifiers |= 0x04000000;
    if (state & GDK_MOD1_MASK)
        modifiers |= 0x08000000;
    if (state & GDK_SUPER_MASK)
        modifiers |= 0x10000000;
    return modifiers;
}

int QtModifiersToState(std::int64_t modifiers)
{
    int state = 0;
    if (modifiers & 0x02000000)
        state |= GDK_SHIFT_MASK;
    if (modifiers & 0x04000000)
        state |= GDK_CONTROL_MASK;
    if (modifiers & 0x08000000)
        state |= GDK_MOD1_MASK;
    return state;
}

// The program's scale, within what a screen can have.
double ClampedScale(std::int64_t thousandths)
{
    return std::clamp<double>(double(thousandths) / 1000.0, 0.5, 8.0);
}

} // namespace

HostView::HostView(std::uint32_t id, WebKitWebContext* context, int width, int height,
                   std::int64_t scaleThousandths, Sender send)
    : m_id(id), m_send(std::move(send)), m_scale(ClampedScale(scaleThousandths))
{
    // An override-redirect window: no window manager frames or places it before the program
    // takes it into its tab.
    m_window = gtk_window_new(GTK_WINDOW_POPUP);
    const int gtkScale = GtkScale();
    gtk_window_set_default_size(GTK_WINDOW(m_window), (width + gtkScale - 1) / gtkScale,
                                (height + gtkScale - 1) / gtkScale);
    gtk_window_move(GTK_WINDOW(m_window), -4 * width - 100, -4 * height - 100);

    m_webView = WEBKIT_WEB_VIEW(webkit_web_view_new_with_context(context));
    g_object_set_data(G_OBJECT(m_webView), ViewIdKey, GUINT_TO_POINTER(id));
    WebKitSettings* settings = webkit_web_view_get_settings(m_webView);
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
    webkit_settings_set_enable_developer_extras(settings, FALSE);

    // Focusable marks before and after the page: Tab past the page's last element (or
    // Shift+Tab before its first) lands on one, and the program moves on to its own controls.
    // They lie invisibly over the page's corner, so the page keeps the window's whole size.
    GtkWidget* overlay = gtk_overlay_new();
    gtk_container_add(GTK_CONTAINER(overlay), GTK_WIDGET(m_webView));
    m_before = gtk_event_box_new();
    m_after = gtk_event_box_new();
    for (GtkWidget* sentinel : {m_before, m_after}) {
        gtk_event_box_set_visible_window(GTK_EVENT_BOX(sentinel), FALSE);
        gtk_widget_set_can_focus(sentinel, TRUE);
        gtk_widget_set_size_request(sentinel, 1, 1);
        gtk_widget_set_halign(sentinel, GTK_ALIGN_START);
        gtk_widget_set_valign(sentinel, GTK_ALIGN_START);
        g_signal_connect(sentinel, "focus-in-event", G_CALLBACK(OnSentinelFocus), this);
        gtk_overlay_add_overlay(GTK_OVERLAY(overlay), sentinel);
        gtk_overlay_set_overlay_pass_through(GTK_OVERLAY(overlay), sentinel, TRUE);
    }
    // All three share one corner, so the order of the Tab chain has to be said.
    GList* chain = g_list_append(g_list_append(g_list_append(nullptr, m_before), m_webView), m_after);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_container_set_focus_chain(GTK_CONTAINER(overlay), chain);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_list_free(chain);
    gtk_container_add(GTK_CONTAINER(m_window), overlay);

    g_signal_connect(m_webView, "notify::title", G_CALLBACK(OnTitle), this);
    g_signal_connect(m_webView, "notify::estimated-load-progress", G_CALLBACK(OnProgress), this);
    g_signal_connect(m_webView, "notify::uri", G_CALLBACK(OnAddress), this);
    g_signal_connect(m_webView, "load-changed", G_CALLBACK(OnLoadChanged), this);
    g_signal_connect(webkit_web_view_get_back_forward_list(m_webView), "changed",
                     G_CALLBACK(OnBackForwardChanged), this);
    g_signal_connect(m_webView, "mouse-target-changed", G_CALLBACK(OnMouseTarget), this);
    g_signal_connect(m_webView, "create", G_CALLBACK(OnCreate), this);
    g_signal_connect(m_webView, "close", G_CALLBACK(OnClose), this);
    g_signal_connect(m_webView, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
    g_signal_connect(m_webView, "permission-request", G_CALLBACK(OnPermission), this);
    g_signal_connect(m_webView, "button-press-event", G_CALLBACK(OnButtonPress), this);
    g_signal_connect(m_webView, "show-notification", G_CALLBACK(OnShowNotification), this);
    g_signal_connect(m_webView, "notify::favicon", G_CALLBACK(OnFavicon), this);
    WebKitFindController* find = webkit_web_view_get_find_controller(m_webView);
    g_signal_connect(find, "found-text", G_CALLBACK(OnFoundText), this);
    g_signal_connect(find, "failed-to-find-text", G_CALLBACK(OnFindFailed), this);
    // The window system gives the page's window the keys while the pointer is over it; the
    // program's window has the focus and decides, as for every other key.
    g_signal_connect(m_window, "key-press-event", G_CALLBACK(OnWindowKey), this);
    g_signal_connect(m_window, "key-release-event", G_CALLBACK(OnWindowKey), this);
    // Answered by the program's tab, never by a window of the host's own.
    g_signal_connect(m_webView, "script-dialog", G_CALLBACK(OnScriptDialog), this);
    // A page that plays sound or captures is kept awake by the program.
    for (const char* property : {"notify::is-playing-audio", "notify::camera-capture-state",
                                 "notify::microphone-capture-state", "notify::display-capture-state"})
        g_signal_connect(m_webView, property, G_CALLBACK(OnMediaState), this);

    ApplyZoom();
    gtk_widget_show_all(m_window);
    gtk_widget_grab_focus(GTK_WIDGET(m_webView));
    const auto xid = std::int64_t(gdk_x11_window_get_xid(gtk_widget_get_window(m_window)));
    Report(MessageType::ViewCreated, {xid});
}

HostView::~HostView()
{
    for (auto& [request, permission] : m_permissions) {
        webkit_permission_request_deny(permission);
        g_object_unref(permission);
    }
    for (auto& [request, dialog] : m_dialogs) {
        webkit_script_dialog_close(dialog);
        webkit_script_dialog_unref(dialog);
    }
    for (auto& [id, notification] : m_notifications) {
        g_signal_handlers_disconnect_by_data(notification, this);
        g_object_unref(notification);
    }
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_find_controller(m_webView), this);
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_back_forward_list(m_webView), this);
    g_signal_handlers_disconnect_by_data(m_webView, this);
    g_signal_handlers_disconnect_by_data(m_before, this);
    g_signal_handlers_disconnect_by_data(m_after, this);
    g_signal_handlers_disconnect_by_data(m_window, this);
    gtk_widget_destroy(m_window);
}

int HostView::GtkScale() const
{
    return std::max(1, gtk_widget_get_scale_factor(m_window));
}

void HostView::ApplySize(std::int64_t width, std::int64_t height, std::int64_t scaleThousandths)
{
    const int gtkScale = GtkScale();
    const auto inGtkPixels = [gtkScale](std::int64_t device) {
        return int((std::clamp<std::int64_t>(device, 1, 16384) + gtkScale - 1) / gtkScale);
    };
    gtk_window_resize(GTK_WINDOW(m_window), inGtkPixels(width), inGtkPixels(height));
    const double scale = ClampedScale(scaleThousandths);
    if (scale != m_scale) {
        m_scale = scale;
        ApplyZoom();
    }
}

void HostView::ApplyZoom()
{
    webkit_web_view_set_zoom_level(m_webView, m_zoom * m_scale / GtkScale());
}

std::uint32_t HostView::IdOf(WebKitWebView* webView)
{
    return webView ? GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(webView), ViewIdKey)) : 0;
}

void HostView::Report(MessageType type, std::vector<std::int64_t> integers, std::vector<std::string> texts)
{
    m_send(Message{type, m_id, std::move(integers), std::move(texts), {}});
}

void HostView::Handle(const Message& message)
{
    switch (message.type) {
    case MessageType::Navigate:
        webkit_web_view_load_uri(m_webView, message.Text(0).c_str());
        break;
    case MessageType::GoBack:
        webkit_web_view_go_back(m_webView);
        break;
    case MessageType::GoForward:
        webkit_web_view_go_forward(m_webView);
        break;
    case MessageType::Reload:
        webkit_web_view_reload(m_webView);
        break;
    case MessageType::Stop:
        webkit_web_view_stop_loading(m_webView);
        break;
    case MessageType::Resize:
        ApplySize(message.Integer(0), message.Integer(1), message.Integer(2, 1000));
        break;
    case MessageType::Snapshot:
        Snapshot(message.Integer(0));
        break;
    case MessageType::Evaluate:
        Evaluate(message.Integer(0), message.Text(0));
        break;
    case MessageType::FocusPage:
        Focus(FocusDirection(message.Integer(0)));
        break;
    case MessageType::BlurPage:
        SetWindowFocus(false);
        break;
    case MessageType::Key:
        Key(message);
        break;
    case MessageType::PermissionAnswer:
        AnswerPermission(message.Integer(0), message.Integer(1) != 0);
        break;
    case MessageType::Download:
        Download(message.Text(0), message.Text(1));
        break;
    case MessageType::CancelDownload:
        CancelDownload(message.Text(0));
        break;
    case MessageType::SiteSettings:
        ApplySite(message);
        break;
    case MessageType::Zoom:
        // What the program's zoom steps allow, whatever the message says.
        m_zoom = std::clamp<double>(double(message.Integer(0, 1000)) / 1000.0, 0.25, 5.0);
        ApplyZoom();
        break;
    case MessageType::DialogAnswer:
        AnswerDialog(message.Integer(0), message.Integer(1) != 0, message.Text(0));
        break;
    case MessageType::Find:
        Find(message.Integer(0) != 0, message.Text(0));
        break;
    case MessageType::NotifyClicked:
        ClickNotification(message.Integer(0));
        break;
    default:
        break;
    }
}

void HostView::ApplySite(const Message& message)
{
    const std::string agent = message.Text(0);
    if (!agent.empty())
        webkit_settings_set_user_agent(webkit_web_view_get_settings(m_webView), agent.c_str());
    WebKitUserContentManager* content = webkit_web_view_get_user_content_manager(m_webView);
    webkit_user_content_manager_remove_all_style_sheets(content);
    webkit_user_content_manager_remove_all_scripts(content);
    if (const std::string style = message.Text(1); !style.empty()) {
        WebKitUserStyleSheet* sheet =
            webkit_user_style_sheet_new(style.c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                        WEBKIT_USER_STYLE_LEVEL_USER, nullptr, nullptr);
        webkit_user_content_manager_add_style_sheet(content, sheet);
        webkit_user_style_sheet_unref(sheet);
    }
    if (const std::string source = message.Text(2); !source.empty()) {
        WebKitUserScript* script =
            webkit_user_script_new(source.c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                   WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END, nullptr, nullptr);
        webkit_user_content_manager_add_script(content, script);
        webkit_user_script_unref(script);
    }
    // The host serves one window, so one site: its context's spelling is the site's.
    WebKitWebContext* context = webkit_web_view_get_context(m_webView);
    webkit_web_context_set_spell_checking_enabled(context, message.Integer(0, 1) != 0);
    std::vector<std::string> languages;
    std::string all = message.Text(3);
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t comma = std::min(all.find(',', start), all.size());
        std::string language = all.substr(start, comma - start);
        std::replace(language.begin(), language.end(), '-', '_');
        if (!language.empty())
            languages.push_back(language);
        start = comma + 1;
    }
    if (!languages.empty()) {
        std::vector<const char*> names;
        for (const std::string& language : languages)
            names.push_back(language.c_str());
        names.push_back(nullptr);
        webkit_web_context_set_spell_checking_languages(context, names.data());
    }
}

void HostView::ReportCommandState()
{
    Report(MessageType::CommandState, {webkit_web_view_can_go_back(m_webView) ? 1 : 0,
                                       webkit_web_view_can_go_forward(m_webView) ? 1 : 0});
}

void HostView::SetWindowFocus(bool in)
{
    // The program keeps the X input focus in its own window and hands the keys over, so the
    // page learns about focus from us, as an embedded window would from its embedder.
    GdkWindow* window = gtk_widget_get_window(m_window);
    if (!window)
        return;
    GdkEvent* event = gdk_event_new(GDK_FOCUS_CHANGE);
    event->focus_change.window = GDK_WINDOW(g_object_ref(window));
    event->focus_change.send_event = TRUE;
    event->focus_change.in = in ? TRUE : FALSE;
    gdk_event_set_device(event,
                         gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_window_get_display(window))));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

void HostView::Focus(FocusDirection direction)
{
    SetWindowFocus(true);
    if (direction == FocusDirection::Current) {
        if (!gtk_widget_has_focus(GTK_WIDGET(m_webView)))
            gtk_widget_grab_focus(GTK_WIDGET(m_webView));
        return;
    }
    // Coming in by keyboard: the engine moves to the page's first (or last) element on the
    // same Tab (or Shift+Tab) that brought the focus here.
    gtk_widget_grab_focus(GTK_WIDGET(m_webView));
    const bool forward = direction == FocusDirection::First;
    const int state = forward ? 0 : GDK_SHIFT_MASK;
    const guint keyval = forward ? GDK_KEY_Tab : GDK_KEY_ISO_Left_Tab;
    SendKey(true, keyval, 0, state, 0);
    SendKey(false, keyval, 0, state, 0);
}

void HostView::Key(const Message& message)
{
    GdkWindow* window = gtk_widget_get_window(m_window);
    if (!window)
        return;
    const bool pressed = message.Integer(0) != 0;
    const int keyCode = int(message.Integer(1));
    const int state = int(message.Integer(2));
    if (keyCode > 0 && keyCode <= 255) {
        guint keyval = 0;
        const int group = (state >> 13) & 3;
        if (gdk_keymap_translate_keyboard_state(gdk_keymap_get_for_display(gdk_window_get_display(window)),
                                                guint(keyCode), GdkModifierType(state), group, &keyval,
                                                nullptr, nullptr, nullptr))
            SendKey(pressed, keyval, keyCode, state, group);
        return;
    }
    // A key the window system did not make (a synthetic event): rebuild it from Qt's.
    if (const guint keyval = KeyvalOfQtKey(message.Integer(3), message.Text(0)))
        SendKey(pressed, keyval, 0, QtModifiersToState(message.Integer(4)), 0);
}

void HostView::SendKey(bool pressed, guint keyval, int keyCode, int state, int group)
{
    GdkWindow* window = gtk_widget_get_window(m_window);
    if (!window)
        return;
    GdkDisplay* display = gdk_window_get_display(window);
    if (keyCode == 0) {
        GdkKeymapKey* keys = nullptr;
        gint count = 0;
        if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(display), keyval, &keys, &count) &&
            count > 0) {
            keyCode = int(keys[0].keycode);
            group = keys[0].group;
        }
        g_free(keys);
    }
    GdkEvent* event = gdk_event_new(pressed ? GDK_KEY_PRESS : GDK_KEY_RELEASE);
    event->key.window = GDK_WINDOW(g_object_ref(window));
    event->key.send_event = TRUE;
    event->key.time = GDK_CURRENT_TIME;
    event->key.state = guint(state) & ~guint(0x6000);
    event->key.keyval = keyval;
    event->key.hardware_keycode = guint16(keyCode);
    event->key.group = guint8(group);
    event->key.is_modifier = 0;
    const gunichar character = gdk_keyval_to_unicode(keyval);
    char utf8[8] = {};
    if (character >= 0x20 && character != 0x7f)
        g_unichar_to_utf8(character, utf8);
    event->key.string = g_strdup(utf8);
    event->key.length = gint(std::strlen(utf8));
    gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(display)));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

void HostView::Snapshot(std::int64_t request)
{
    webkit_web_view_get_snapshot(m_webView, WEBKIT_SNAPSHOT_REGION_VISIBLE, WEBKIT_SNAPSHOT_OPTIONS_NONE,
                                 nullptr, &OnSnapshotReady, new PendingAnswer{m_send, m_id, request});
}

void HostView::Evaluate(std::int64_t request, const std::string& script)
{
    webkit_web_view_evaluate_javascript(m_webView, script.c_str(), gssize(script.size()), nullptr, nullptr,
                                        nullptr, &OnEvaluated, new PendingAnswer{m_send, m_id, request});
}

void HostView::AnswerPermission(std::int64_t request, bool granted)
{
    const auto found = m_permissions.find(request);
    if (found == m_permissions.end())
        return;
    if (granted)
        webkit_permission_request_allow(found->second);
    else
        webkit_permission_request_deny(found->second);
    g_object_unref(found->second);
    m_permissions.erase(found);
}

void HostView::AnswerDialog(std::int64_t request, bool accepted, const std::string& text)
{
    const auto found = m_dialogs.find(request);
    if (found == m_dialogs.end())
        return;
    WebKitScriptDialog* dialog = found->second;
    m_dialogs.erase(found);
    switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
        webkit_script_dialog_confirm_set_confirmed(dialog, accepted ? TRUE : FALSE);
        break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
        // Without a text the page's prompt() gives null, as after Cancel.
        if (accepted)
            webkit_script_dialog_prompt_set_text(dialog, text.c_str());
        break;
    default:
        break;
    }
    webkit_script_dialog_close(dialog);
    webkit_script_dialog_unref(dialog);
}

void HostView::Download(const std::string& address, const std::string& destination)
{
    WebKitDownload* download = webkit_web_view_download_uri(m_webView, address.c_str());
    g_object_set_data(G_OBJECT(download), OwnDownloadKey, GINT_TO_POINTER(1));
    g_signal_connect_data(
        download, "decide-destination", G_CALLBACK(OnDecideDestination), g_strdup(destination.c_str()),
        [](gpointer data, GClosure*) { g_free(data); }, GConnectFlags(0));
    auto* state = new TDownload{m_send, m_id, destination, 0, DownloadOutcome::Succeeded, {}};
    g_object_set_data_full(G_OBJECT(download), "morvalen-download", state,
                           [](gpointer data) { delete static_cast<TDownload*>(data); });
    g_signal_connect(download, "received-data", G_CALLBACK(OnDownloadData), state);
    g_signal_connect(download, "failed", G_CALLBACK(OnDownloadFailed), state);
    g_signal_connect(download, "finished", G_CALLBACK(OnDownloadFinished), state);
    // The list keeps the reference the engine gave; one to the same file already there is
    // simply not cancellable.
    if (!RunningDownloads().emplace(std::make_pair(m_id, destination), download).second)
        g_object_unref(download);
}

void HostView::CancelDownload(const std::string& destination)
{
    const auto found = RunningDownloads().find({m_id, destination});
    if (found != RunningDownloads().end())
        webkit_download_cancel(found->second);
}

void HostView::Find(bool backward, const std::string& text)
{
    WebKitFindController* find = webkit_web_view_get_find_controller(m_webView);
    if (text.empty()) {
        m_findText.clear();
        webkit_find_controller_search_finish(find);
        return;
    }
    const bool again = text == m_findText;
    m_findsPending.push_back(!again);
    if (again) {
        if (backward)
            webkit_find_controller_search_previous(find);
        else
            webkit_find_controller_search_next(find);
        return;
    }
    m_findText = text;
    guint options = WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND;
    if (backward)
        options |= WEBKIT_FIND_OPTIONS_BACKWARDS;
    webkit_find_controller_search(find, text.c_str(), options, G_MAXUINT);
}

void HostView::OnFoundText(WebKitFindController*, guint matches, HostView* self)
{
    const bool counted = self->m_findsPending.empty() || self->m_findsPending.front();
    if (!self->m_findsPending.empty())
        self->m_findsPending.pop_front();
    if (counted)
        self->m_findMatches = matches;
    // Only the answer to the latest search says what the page shows now.
    if (self->m_findsPending.empty())
        self->Report(MessageType::FindResult, {std::int64_t(std::max(self->m_findMatches, 1u))});
}

void HostView::OnFindFailed(WebKitFindController*, HostView* self)
{
    if (!self->m_findsPending.empty())
        self->m_findsPending.pop_front();
    self->m_findMatches = 0;
    if (self->m_findsPending.empty())
        self->Report(MessageType::FindResult, {0});
}

gboolean HostView::OnWindowKey(GtkWidget*, GdkEventKey* event, HostView* self)
{
    // Keys the program sends are marked as sent; they are the page's.
    if (event->send_event)
        return FALSE;
    const gunichar character = gdk_keyval_to_unicode(event->keyval);
    char utf8[8] = {};
    if (character >= 0x20 && character != 0x7f && !(event->state & GDK_CONTROL_MASK))
        g_unichar_to_utf8(character, utf8);
    self->Report(MessageType::PageKey,
                 {event->type == GDK_KEY_PRESS ? 1 : 0, std::int64_t(event->hardware_keycode),
                  std::int64_t(event->state), QtKeyOfKeyval(event->keyval), StateToQtModifiers(event->state)},
                 {utf8});
    return TRUE;
}

gboolean HostView::OnShowNotification(WebKitWebView* webView, WebKitNotification* notification,
                                      HostView* self)
{
    // The program shows it under the site's name and icon, and brings the site's window
    // forward on a click; the engine's own would carry the helper's name.
    const std::int64_t id = self->m_nextNotification++;
    self->m_notifications[id] = WEBKIT_NOTIFICATION(g_object_ref(notification));
    g_signal_connect(notification, "closed", G_CALLBACK(OnNotificationClosed), self);
    self->Report(MessageType::Notification, {id},
                 {ShortTextOf(webkit_notification_get_title(notification)),
                  ShortTextOf(webkit_notification_get_body(notification)),
                  TextOf(webkit_web_view_get_uri(webView))});
    return TRUE;
}

void HostView::OnNotificationClosed(WebKitNotification* notification, HostView* self)
{
    for (auto found = self->m_notifications.begin(); found != self->m_notifications.end(); ++found) {
        if (found->second == notification) {
            g_signal_handlers_disconnect_by_data(notification, self);
            g_object_unref(notification);
            self->m_notifications.erase(found);
            return;
        }
    }
}

void HostView::ClickNotification(std::int64_t id)
{
    const auto found = m_notifications.find(id);
    if (found != m_notifications.end())
        webkit_notification_clicked(found->second);
}

void HostView::OnFavicon(WebKitWebView* webView, GParamSpec*, HostView* self)
{
    Message message{MessageType::IconChanged, self->m_id, {0, 0}, {}, {}};
    if (cairo_surface_t* favicon = webkit_web_view_get_favicon(webView)) {
        int width = 0;
        int height = 0;
        if (PixelsOf(favicon, 512, width, height, message.data))
            message.integers = {width, height};
        else
            message.data.clear();
    }
    self->m_send(message);
}

void HostView::OnMediaState(WebKitWebView* webView, GParamSpec*, HostView* self)
{
    const bool capturing =
        webkit_web_view_get_camera_capture_state(webView) != WEBKIT_MEDIA_CAPTURE_STATE_NONE ||
        webkit_web_view_get_microphone_capture_state(webView) != WEBKIT_MEDIA_CAPTURE_STATE_NONE ||
        webkit_web_view_get_display_capture_state(webView) != WEBKIT_MEDIA_CAPTURE_STATE_NONE;
    self->Report(MessageType::MediaState,
                 {webkit_web_view_is_playing_audio(webView) ? 1 : 0, capturing ? 1 : 0});
}

void HostView::OnTitle(WebKitWebView* webView, GParamSpec*, HostView* self)
{
    self->Report(MessageType::TitleChanged, {}, {TextOf(webkit_web_view_get_title(webView))});
}

void HostView::OnProgress(WebKitWebView* webView, GParamSpec*, HostView* self)
{
    if (!self->m_loading)
        return;
    const auto progress =
        std::int64_t(std::lround(webkit_web_view_get_estimated_load_progress(webView) * 100.0));
    self->Report(MessageType::ProgressChanged, {progress, 100});
}

void HostView::OnAddress(WebKitWebView* webView, GParamSpec*, HostView* self)
{
    self->Report(MessageType::AddressChanged, {}, {TextOf(webkit_web_view_get_uri(webView))});
}

void HostView::OnLoadChanged(WebKitWebView* webView, WebKitLoadEvent event, HostView* self)
{
    switch (event) {
    case WEBKIT_LOAD_STARTED:
        self->m_loading = true;
        self->Report(MessageType::ProgressChanged, {0, 100});
        break;
    case WEBKIT_LOAD_COMMITTED:
        self->ReportCommandState();
        break;
    case WEBKIT_LOAD_FINISHED:
        self->m_loading = false;
        self->ReportCommandState();
        self->Report(MessageType::ProgressChanged, {100, 100});
        self->Report(MessageType::LoadFinished, {}, {TextOf(webkit_web_view_get_uri(webView))});
        break;
    default:
        break;
    }
}

void HostView::OnBackForwardChanged(WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer,
                                    HostView* self)
{
    self->ReportCommandState();
}

void HostView::OnMouseTarget(WebKitWebView*, WebKitHitTestResult* hit, guint, HostView* self)
{
    const char* link =
        webkit_hit_test_result_context_is_link(hit) ? webkit_hit_test_result_get_link_uri(hit) : nullptr;
    self->Report(MessageType::StatusText, {}, {TextOf(link)});
}

GtkWidget* HostView::OnCreate(WebKitWebView*, WebKitNavigationAction* action, HostView* self)
{
    // The program decides where a new window goes (a tab of its own or the desktop's
    // browser); the engine never opens a window by itself.
    WebKitURIRequest* request = webkit_navigation_action_get_request(action);
    self->Report(MessageType::NewWindow, {webkit_navigation_action_is_user_gesture(action) ? 1 : 0},
                 {TextOf(request ? webkit_uri_request_get_uri(request) : nullptr)});
    return nullptr;
}

void HostView::OnClose(WebKitWebView*, HostView* self)
{
    self->Report(MessageType::CloseRequested);
}

gboolean HostView::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                  WebKitPolicyDecisionType type, HostView* self)
{
    if (type != WEBKIT_POLICY_DECISION_TYPE_RESPONSE)
        return FALSE;
    auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
    if (webkit_response_policy_decision_is_mime_type_supported(response))
        return FALSE;
    // The program asks the user where to save it and then asks for the download.
    WebKitURIResponse* answer = webkit_response_policy_decision_get_response(response);
    self->Report(MessageType::DownloadRequested, {},
                 {TextOf(webkit_uri_response_get_uri(answer)),
                  TextOf(webkit_uri_response_get_suggested_filename(answer))});
    webkit_policy_decision_ignore(decision);
    return TRUE;
}

gboolean HostView::OnPermission(WebKitWebView* webView, WebKitPermissionRequest* request, HostView* self)
{
    PermissionKind kind = PermissionKind::Other;
    if (WEBKIT_IS_GEOLOCATION_PERMISSION_REQUEST(request))
        kind = PermissionKind::Geolocation;
    else if (WEBKIT_IS_NOTIFICATION_PERMISSION_REQUEST(request))
        kind = PermissionKind::Notifications;
    else if (WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request))
        kind = PermissionKind::Media;
    const std::int64_t id = self->m_nextPermission++;
    self->m_permissions[id] = WEBKIT_PERMISSION_REQUEST(g_object_ref(request));
    self->Report(MessageType::PermissionRequest, {id, std::int64_t(kind)},
                 {TextOf(webkit_web_view_get_uri(webView))});
    return TRUE;
}

gboolean HostView::OnScriptDialog(WebKitWebView* webView, WebKitScriptDialog* dialog, HostView* self)
{
    DialogKind kind = DialogKind::Alert;
    std::string defaultText;
    switch (webkit_script_dialog_get_dialog_type(dialog)) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
        kind = DialogKind::Confirm;
        break;
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
        kind = DialogKind::Prompt;
        defaultText = ShortTextOf(webkit_script_dialog_prompt_get_default_text(dialog));
        break;
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM:
        kind = DialogKind::BeforeUnload;
        break;
    default:
        break;
    }
    const std::int64_t id = self->m_nextDialog++;
    self->m_dialogs[id] = webkit_script_dialog_ref(dialog);
    self->Report(MessageType::ScriptDialog, {id, std::int64_t(kind)},
                 {ShortTextOf(webkit_script_dialog_get_message(dialog)), defaultText,
                  TextOf(webkit_web_view_get_uri(webView))});
    return TRUE;
}

gboolean HostView::OnButtonPress(GtkWidget*, GdkEvent*, HostView* self)
{
    self->Report(MessageType::FocusTaken);
    return FALSE;
}

gboolean HostView::OnSentinelFocus(GtkWidget* sentinel, GdkEvent*, HostView* self)
{
    const FocusDirection leaving = sentinel == self->m_after ? FocusDirection::First : FocusDirection::Last;
    self->Report(MessageType::FocusLeft, {std::int64_t(leaving)});
    return FALSE;
}
