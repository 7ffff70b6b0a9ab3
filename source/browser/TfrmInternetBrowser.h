#pragma once

#include <QImage>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QWidget>

#include <cstdint>
#include <functional>

// A download a page started, as its frame reports it to the window.
struct TBrowserDownloadRec
{
    enum TState : uint8_t
    {
        dsRunning,
        dsFinished,
        dsFailed,
        dsCancelled
    };

    QString FileName; // where it is saved, the full path
    int64_t Received = 0;
    int64_t Total = -1; // -1 while the server did not say
    TState State = dsRunning;
    QString Error; // the engine's reason when it failed
};

// A notification a page asks to show (a mail site's "new message").
struct TWebNotificationRec
{
    QString Title;
    QString Message;
    // The site that asked.
    QUrl Origin;
    QImage Icon;
    // Tells the page its notification was clicked.
    std::function<void()> Click;
};

// One tab's browser: wraps one embedded engine and gives the window the same commands,
// state and events for every engine. Subclasses feed the engine's reports through the
// protected WebBrowser... handlers, so that every engine behaves the same way.
//
// Events have one handler each and are raised only when set. A frame never closes itself:
// the page's close request goes to OnCloseQuery and the window decides.
class TfrmInternetBrowser : public QWidget
{
    Q_OBJECT

public:
    // Engine command numbers of a command-state report.
    static constexpr int kCommandForward = 1;
    static constexpr int kCommandBack = 2;

    explicit TfrmInternetBrowser(QWidget* parent = nullptr);
    ~TfrmInternetBrowser() override;

    // The engine code of this frame (0 Chromium, 1 WebKit).
    virtual uint8_t BrowserEngine() const = 0;

    // The engine's own object: the target a new window is loaded into.
    virtual QObject* GetApplication() { return nullptr; }
    virtual QObject* GetWebDocument() { return nullptr; }

    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    // Reloads the page; a frame without an address does nothing.
    virtual void RefreshPage() = 0;
    // An address without a scheme is completed as a browser's address box would.
    virtual void Navigate(const QString& address) = 0;
    virtual void Stop() = 0;
    // The current address; "http://" while the frame has none.
    virtual QString GetLocationURL() const = 0;
    // Draws the page into bitmap at the frame's size. Until the engine runs nothing is
    // drawn and bitmap keeps what it was.
    virtual void CaptureTo(QImage& bitmap) = 0;
    // The engine left full screen (Esc in the window).
    virtual void ExitFullScreen() {}
    // The permission question now asked above the page, empty when none, and its answer.
    virtual QString PendingPermission() const { return {}; }
    virtual void AnswerPermission(bool allowed) { Q_UNUSED(allowed); }

    // For a picture of the page (thumbnail capture): scroll bars are left out.
    virtual void SetScrollBarsVisible(bool visible) { Q_UNUSED(visible); }
    // Runs script in the top-level document, apart from the page's own scripts; result gets
    // its value, an invalid one when the page could not run it.
    virtual void RunPageScript(const QString& script, std::function<void(const QVariant& value)> result);
    // Calls painted once the page has painted what it has loaded so far (at once where the
    // engine cannot tell).
    virtual void WhenPainted(std::function<void()> painted);
    // A frame that only takes a picture: its page may open no window at all (not even
    // outside the program) and start no download.
    void SetCaptureOnly(bool captureOnly) { m_captureOnly = captureOnly; }
    bool CaptureOnly() const { return m_captureOnly; }

    bool CanGoBack() const { return m_canGoBack; }
    bool CanGoForward() const { return m_canGoForward; }
    const QString& StatusText() const { return m_statusText; }
    int32_t Progress() const { return m_progress; }
    int32_t ProgressMax() const { return m_progressMax; }
    const QString& Title() const { return m_title; }

    // target: the engine object of the frame the new window goes into (GetApplication of a
    // new frame of the same engine); left empty, the page's window opens outside the
    // program, in the desktop's browser.
    std::function<void(TfrmInternetBrowser& sender, QObject*& target)> OnNewWindow;
    std::function<void(TfrmInternetBrowser& sender, const QString& title)> OnTitleChange;
    std::function<void(TfrmInternetBrowser& sender)> OnCommandStateChange;
    std::function<void(TfrmInternetBrowser& sender)> OnStatusTextChange;
    std::function<void(TfrmInternetBrowser& sender)> OnProgressChange;
    // The page asks to close its window; canClose starts false.
    std::function<void(TfrmInternetBrowser& sender, bool& canClose)> OnCloseQuery;
    // The top-level document finished loading (documents of frames inside the page are
    // not reported).
    std::function<void(TfrmInternetBrowser& sender, const QString& address)> OnDocumentComplete;
    // Before the top-level document goes to address; cancel stops it.
    std::function<void(TfrmInternetBrowser& sender, const QString& address, bool& cancel)> OnBeforeNavigate2;
    // A download of this frame's page started, progressed or ended.
    std::function<void(TfrmInternetBrowser& sender, const TBrowserDownloadRec& download)> OnDownload;
    // The page entered or left full screen.
    std::function<void(TfrmInternetBrowser& sender, bool fullScreen)> OnFullScreen;

    // Detaches the events the window set (before the tab goes).
    void ClearEvents();

    // Where a download goes, from the suggested path in the user's Downloads folder; empty
    // cancels it. A save dialog unless replaced (tests answer for the user).
    static std::function<QString(QWidget* parent, const QString& suggestedPath)> ChooseDownloadFile;
    // NAME in the user's Downloads folder, made if it is missing (as a browser does), so
    // that the save dialog opens there and not in whatever folder the program started in.
    static QString SuggestedDownloadPath(const QString& name);
    // A page asks to show a notification (the site was allowed to); the program shows it.
    static std::function<void(const TWebNotificationRec& notification)> OnWebNotification;
    static void WebNotification(const TWebNotificationRec& notification);
    // The login of an HTTP authentication; false cancels. A dialog unless replaced.
    static std::function<bool(QWidget* parent, const QUrl& url, const QString& realm, QString& user,
                              QString& password)>
        AskLogin;

protected:
    void WebBrowserTitleChange(const QString& text);
    void WebBrowserStatusTextChange(const QString& text);
    void WebBrowserProgressChange(int32_t progress, int32_t progressMax);
    // Commands other than forward and back are ignored.
    void WebBrowserCommandStateChange(int command, bool enable);
    // Returns the engine object to load the new window into, or nothing for "outside".
    QObject* WebBrowserNewWindow2();
    void WebBrowserDocumentComplete(const QString& address);
    // Returns whether the navigation may go on.
    bool WebBrowserBeforeNavigate2(const QString& address);
    void WebBrowserCloseQuery();
    void WebBrowserDownload(const TBrowserDownloadRec& download);
    void WebBrowserFullScreen(bool fullScreen);

private:
    bool m_canGoBack = false;
    bool m_canGoForward = false;
    QString m_statusText;
    int32_t m_progress = 0;
    int32_t m_progressMax = 0;
    QString m_title;
    bool m_captureOnly = false;
};
