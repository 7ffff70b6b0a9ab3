#pragma once

#include "TWebKitHost.h"
#include "TfrmInternetBrowser.h"
#include "WebKitHostProtocol.h"

#include <QHash>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>

// The frame of engine code 1: one page of the window's morvalen-webkit-host (WebKitGTK),
// whose X11 window sits in the frame. The program keeps the keyboard: while the frame has
// the focus it hands keys to the page, so the window's shortcuts work as they do over the
// other engine. When the host crashes or hangs the frame shows the stopped page, whose
// "Reload" starts a new host.
class TfrmWebKitBrowser final : public TfrmInternetBrowser
{
    Q_OBJECT

public:
    // A frame on the host of parent's window (started with its first WebKit frame);
    // nullptr when the helper program is not installed.
    static TfrmWebKitBrowser* Create(QWidget* parent, const TFrameSite& site = {});

    explicit TfrmWebKitBrowser(QWidget* parent = nullptr, const TFrameSite& site = {});
    ~TfrmWebKitBrowser() override;

    uint8_t BrowserEngine() const override { return 1; }
    void SetZoomFactor(double factor) override;
    double ZoomFactor() const override;
    // The engine counts the matches but does not say which one is selected.
    void FindText(const QString& text, bool backward) override;
    void StopFinding() override;
    // The frame itself: a new window of another WebKit frame is loaded into it.
    QObject* GetApplication() override { return this; }
    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    QString GetLocationURL() const override;
    // The window's host: its web processes are its children.
    qint64 EngineProcessId() const override;
    // The page plays sound or captures, as the host last said.
    bool KeepsAwake() const override { return m_playsSound || m_capturing; }
    // Asks the engine for its picture and waits for it (never longer than the host's hang
    // limit); a page that is not there leaves bitmap as it was.
    void CaptureTo(QImage& bitmap) override;
    // The page's own world: WebKitGTK runs the script as the page's scripts run. The value
    // comes back as JSON, so numbers, texts, lists and objects cross.
    void RunPageScript(const QString& script, std::function<void(const QVariant& value)> result) override;
    // The engine does not say when it painted: once the document has loaded.
    void WhenPainted(std::function<void()> painted) override;

    // The host serving this frame (tests).
    TWebKitHost* Host() const { return m_host; }
    bool PageHasFocus() const { return m_pageFocused; }

    // Where a page's new window goes when the window keeps it outside. The desktop's
    // browser unless replaced.
    static std::function<void(const QString& address)> OpenOutside;
    // The helper program started for new hosts.
    static QString HostProgram();
    static void SetHostProgram(const QString& program);

protected:
    void NavigateTo(const QUrl& url) override;
    void ReloadPage() override;
    void RestartEngine() override;
    // Asleep, the host ends the page's view (and what the engine holds for it); the frame
    // keeps the address and opens a new view there on waking.
    bool MaySleepNow() const override;
    bool SleepEngine() override;
    void WakeEngine(const QString& address) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void Attach(TWebKitHost* host);
    void OpenView();
    void SendKey(bool pressed, const QKeyEvent& event);
    void Send(WebKitHostProtocol::MessageType type, std::vector<int64_t> integers = {},
              std::vector<std::string> texts = {});
    void HandleMessage(const WebKitHostProtocol::Message& message);
    void HandleViewCreated(int64_t windowId);
    void HandleNewWindow(const QString& address, bool userGesture);
    void HandleDownload(const QString& address, const QString& suggestedName);
    // A report of the running download to target, before its progress or end is filled in.
    TBrowserDownloadRec DownloadReport(const QString& target);
    void HandlePermission(int64_t request, int64_t kind, const QString& origin);
    void HandleScriptDialog(const WebKitHostProtocol::Message& message);
    void HandlePageKey(const WebKitHostProtocol::Message& message);
    void HandleNotification(const WebKitHostProtocol::Message& message);
    void HandleIcon(const WebKitHostProtocol::Message& message);
    void HostEnded();
    QSize PageSize() const;
    // The page area in the screen's pixels, what the engine's window measures.
    QSize DevicePageSize() const;

    QPointer<TWebKitHost> m_host;
    // What the site asks of its pages; the session is the host's (empty: the shared one).
    TFrameSite m_site;
    double m_zoomFactor = 1.0;
    uint32_t m_view = 0;
    QWidget* m_pageArea = nullptr;
    QWidget* m_container = nullptr;
    QString m_address;
    int64_t m_nextRequest = 1;
    // The running downloads' ids by their files (the host reports their end by file).
    QHash<QString, uint64_t> m_downloadIds;
    bool m_pageFocused = false;
    bool m_loaded = false;
    bool m_playsSound = false;
    bool m_capturing = false;
    bool m_leaving = false;
};
