#pragma once

#include "browser/WebKitHostProtocol.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>

// One page of a browser window: a WebKitWebView in a plain X11 window of its own, which the
// program embeds into the tab. Reports what the page does and carries out the program's
// requests for it.
class HostView final
{
public:
    using Sender = std::function<void(const WebKitHostProtocol::Message&)>;

    // width and height in device pixels; the device pixels to a page pixel in thousandths.
    HostView(std::uint32_t id, WebKitWebContext* context, int width, int height,
             std::int64_t scaleThousandths, Sender send);
    ~HostView();

    HostView(const HostView&) = delete;
    HostView& operator=(const HostView&) = delete;

    void Handle(const WebKitHostProtocol::Message& message);

    // The view a download of the shared context belongs to, or 0.
    static std::uint32_t IdOf(WebKitWebView* webView);

private:
    void Report(WebKitHostProtocol::MessageType type, std::vector<std::int64_t> integers = {},
                std::vector<std::string> texts = {});
    void ReportCommandState();
    void Focus(WebKitHostProtocol::FocusDirection direction);
    void SetWindowFocus(bool in);
    void Key(const WebKitHostProtocol::Message& message);
    // keyCode 0: the first key of the keyboard that makes keyval.
    void SendKey(bool pressed, guint keyval, int keyCode, int state, int group);
    void Snapshot(std::int64_t request);
    void Evaluate(std::int64_t request, const std::string& script);
    void AnswerPermission(std::int64_t request, bool granted);
    // The site's user agent, style sheet, script and spelling.
    void ApplySite(const WebKitHostProtocol::Message& message);
    void AnswerDialog(std::int64_t request, bool accepted, const std::string& text);
    void Download(const std::string& address, const std::string& destination);
    // The same text again goes on to the next (or previous) match; a new one starts over.
    void Find(bool backward, const std::string& text);
    void ClickNotification(std::int64_t id);
    // GTK counts in its own scale's pixels; the view's zoom carries what that scale leaves out.
    int GtkScale() const;
    void ApplySize(std::int64_t width, std::int64_t height, std::int64_t scaleThousandths);
    void ApplyZoom();
    void CancelDownload(const std::string& destination);

    static void OnTitle(WebKitWebView*, GParamSpec*, HostView* self);
    static void OnProgress(WebKitWebView*, GParamSpec*, HostView* self);
    static void OnAddress(WebKitWebView*, GParamSpec*, HostView* self);
    static void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, HostView* self);
    static void OnBackForwardChanged(WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer,
                                     HostView* self);
    static void OnMouseTarget(WebKitWebView*, WebKitHitTestResult* hit, guint, HostView* self);
    static GtkWidget* OnCreate(WebKitWebView*, WebKitNavigationAction* action, HostView* self);
    static void OnClose(WebKitWebView*, HostView* self);
    static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                   WebKitPolicyDecisionType type, HostView* self);
    static gboolean OnPermission(WebKitWebView*, WebKitPermissionRequest* request, HostView* self);
    static gboolean OnScriptDialog(WebKitWebView*, WebKitScriptDialog* dialog, HostView* self);
    static void OnMediaState(WebKitWebView*, GParamSpec*, HostView* self);
    static gboolean OnButtonPress(GtkWidget*, GdkEvent*, HostView* self);
    static gboolean OnSentinelFocus(GtkWidget* sentinel, GdkEvent*, HostView* self);
    static gboolean OnWindowKey(GtkWidget*, GdkEventKey* event, HostView* self);
    static void OnFoundText(WebKitFindController*, guint matches, HostView* self);
    static void OnFindFailed(WebKitFindController*, HostView* self);
    static gboolean OnShowNotification(WebKitWebView*, WebKitNotification* notification, HostView* self);
    static void OnNotificationClosed(WebKitNotification* notification, HostView* self);
    static void OnFavicon(WebKitWebView* webView, GParamSpec*, HostView* self);

    std::uint32_t m_id;
    Sender m_send;
    GtkWidget* m_window = nullptr;
    GtkWidget* m_before = nullptr;
    GtkWidget* m_after = nullptr;
    WebKitWebView* m_webView = nullptr;
    std::map<std::int64_t, WebKitPermissionRequest*> m_permissions;
    std::int64_t m_nextPermission = 1;
    // The page waits for each until the program answers.
    std::map<std::int64_t, WebKitScriptDialog*> m_dialogs;
    std::int64_t m_nextDialog = 1;
    bool m_loading = false;
    std::string m_findText;
    // What the last new search counted: moving on to the next match keeps it.
    guint m_findMatches = 0;
    // The engine answers each search in turn: for each one not answered yet, whether it was a
    // new search (which counts) or a move to the next or previous match (which does not).
    std::deque<bool> m_findsPending;
    // The page's notifications still on the desktop, by the number the program knows them by.
    std::map<std::int64_t, WebKitNotification*> m_notifications;
    std::int64_t m_nextNotification = 1;
    double m_scale = 1.0;
    double m_zoom = 1.0;
};
