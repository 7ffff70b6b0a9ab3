#pragma once

#include "TWebKitHost.h"
#include "TfrmInternetBrowser.h"
#include "WebKitHostProtocol.h"

#include <QList>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>

class QLabel;
class QStackedLayout;

// The frame of engine code 1: one page of the window's morvalen-webkit-host (WebKitGTK),
// whose X11 window sits in the frame. The program keeps the keyboard: while the frame has
// the focus it hands keys to the page, so the window's shortcuts work as they do over the
// other engine. When the host crashes or hangs the frame shows a "stopped" page whose
// "Reload" starts a new host.
class TfrmWebKitBrowser final : public TfrmInternetBrowser
{
    Q_OBJECT

public:
    // A frame on the host of parent's window (started with its first WebKit frame);
    // nullptr when the helper program is not installed.
    static TfrmWebKitBrowser* Create(QWidget* parent);

    TfrmWebKitBrowser(QWidget* parent = nullptr);
    ~TfrmWebKitBrowser() override;

    uint8_t BrowserEngine() const override { return 1; }
    // The frame itself: a new window of another WebKit frame is loaded into it.
    QObject* GetApplication() override { return this; }
    void GoBack() override;
    void GoForward() override;
    void RefreshPage() override;
    void Navigate(const QString& address) override;
    void Stop() override;
    QString GetLocationURL() const override;
    // Asks the engine for its picture and waits for it (never longer than the host's hang
    // limit); a page that is not there leaves bitmap as it was.
    void CaptureTo(QImage& bitmap) override;

    // The change monitor's measure (PageTextLength) of the page, handed to done; -1 when
    // the page gave none.
    void MeasurePageText(std::function<void(int64_t length)> done);

    // The permission question now asked above the page, empty when none, and its answer.
    QString PendingPermission() const override;
    void AnswerPermission(bool allowed) override;

    // The host serving this frame (tests).
    TWebKitHost* Host() const { return m_host; }
    bool IsStopped() const { return m_stopped; }
    bool PageHasFocus() const { return m_pageFocused; }

    // Where a page's new window goes when the window keeps it outside. The desktop's
    // browser unless replaced.
    static std::function<void(const QString& address)> OpenOutside;
    // The helper program started for new hosts.
    static QString HostProgram();
    static void SetHostProgram(const QString& program);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void Attach(TWebKitHost* host);
    void SendKey(bool pressed, const QKeyEvent& event);
    void Send(WebKitHostProtocol::MessageType type, std::vector<int64_t> integers = {},
              std::vector<std::string> texts = {});
    void HandleMessage(const WebKitHostProtocol::Message& message);
    void HandleViewCreated(int64_t windowId);
    void HandleNewWindow(const QString& address);
    void HandleDownload(const QString& address, const QString& suggestedName);
    void HandlePermission(int64_t request, int64_t kind, const QString& origin);
    void ShowNextQuestion();
    void ShowStopped();
    void Restart();
    QSize PageSize() const;

    struct TPermissionQuestion
    {
        int64_t Request;
        QString Text;
    };

    QPointer<TWebKitHost> m_host;
    uint32_t m_view = 0;
    QStackedLayout* m_stack = nullptr;
    QWidget* m_pageArea = nullptr;
    QWidget* m_container = nullptr;
    QWidget* m_stoppedPage = nullptr;
    QLabel* m_stoppedText = nullptr;
    QWidget* m_permissionBar = nullptr;
    QLabel* m_permissionText = nullptr;
    QList<TPermissionQuestion> m_questions;
    QString m_address;
    int64_t m_nextRequest = 1;
    bool m_stopped = false;
    bool m_pageFocused = false;
    bool m_leaving = false;
};
