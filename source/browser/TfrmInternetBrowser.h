#pragma once

#include <QIcon>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class QStackedLayout;
class TPageDialogSheet;
class TPermissionBar;
class TSiteSettings;
class TPopUpBar;
class TStoppedPage;
enum class TPageDialogKind : uint8_t;

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

    // The same for every report of one download, and no other download's in this run.
    uint64_t Id = 0;
    QString FileName; // where it is saved, the full path
    int64_t Received = 0;
    int64_t Total = -1; // -1 while the server did not say
    TState State = dsRunning;
    QString Error; // the engine's reason when it failed
    // Stops it while it runs; empty where the engine cannot. Safe to call after it ended.
    std::function<void()> Cancel;
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

// What a site may ask the user for, the same for every engine.
enum class TSitePermission : uint8_t
{
    Notifications,
    Geolocation,
    Microphone,
    Camera,
    CameraAndMicrophone,
    CameraOrMicrophone,
    MouseLock,
    ScreenShare,
    ScreenShareWithSound,
    // Windows the page opens without the user's click.
    PopUps,
    // More than one download without the user's click.
    MultipleDownloads,
    Other
};

// What a site asks of each of its frames when the frame is made.
struct TFrameSite
{
    // Empty: the session every site shares; else the folder name of the site's own session
    // (cookies, storage, cache), under the engine's Sites/ folder.
    QString Storage;
    // Empty: the program's default user agent.
    QString UserAgent;
    // Added to every page of the site.
    QString UserStyle;
    QString UserScript;
    bool SpellCheck = true;
    QStringList SpellCheckLanguages;
};

// One tab's browser: wraps one embedded engine and gives the window the same commands,
// state and signals for every engine. What does not depend on the engine lives here once:
// the permission bar and its queue with the answers remembered for the run, the "stopped"
// page with its "Reload", how a typed address is completed, where downloads go, the login
// question and the hand-over of web notifications. An engine adapter only translates its
// engine's reports into the protected WebBrowser... calls.
//
// A frame never closes itself: the page's close request is CloseRequested, and the window
// decides.
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
    // Reloads the page; a frame without an address does nothing. A stopped page starts
    // over.
    void RefreshPage();
    // An address without a scheme is completed as a browser's address box would; one that
    // stays invalid is dropped.
    void Navigate(const QString& address);
    virtual void Stop() = 0;
    // The current address; "http://" while the frame has none.
    virtual QString GetLocationURL() const = 0;
    // Draws the page into bitmap at the frame's size. Until the engine runs nothing is
    // drawn and bitmap keeps what it was.
    virtual void CaptureTo(QImage& bitmap) = 0;
    // The engine left full screen (Esc in the window).
    virtual void ExitFullScreen() {}

    // The page's zoom: 1 is the page's own size, whatever the screen's pixel ratio.
    virtual void SetZoomFactor(double factor) { Q_UNUSED(factor); }
    virtual double ZoomFactor() const { return 1.0; }

    // Finds text in the page, case-insensitively and round past the end: the same text again
    // moves to the next match (the previous one when backward), a new text starts over. Every
    // match is marked until StopFinding. The engine answers with FindFinished.
    virtual void FindText(const QString& text, bool backward)
    {
        Q_UNUSED(text);
        Q_UNUSED(backward);
    }
    virtual void StopFinding() {}

    // The site whose permission answers this frame keeps across runs, in its settings: the
    // answers to pages of the site's own host (siteAddress's); what other hosts in the frame
    // ask, and everything without settings, is kept for the run only.
    void SetSiteSettings(TSiteSettings* settings, const QString& elementId, const QString& siteAddress);

    // A page out of sight for long gives back what its engine holds, keeping its address and
    // scroll position: false when it must stay awake (KeepsAwake), is already asleep or the
    // engine cannot let it sleep now. The frame sleeps at once; the engine lets the page go
    // once the page has said where it is scrolled to (EngineAsleep). Wake brings it back at
    // that address and position; a frame awake ignores it.
    bool PutToSleep();
    void Wake();
    bool Sleeping() const { return m_sleeping; }
    bool EngineAsleep() const { return m_engineAsleep; }
    // The page plays sound or captures the camera, the microphone or the screen: putting it
    // to sleep would cut off what the user hears or sends.
    virtual bool KeepsAwake() const { return false; }
    // The process that runs the page (with the processes it started, what the page costs);
    // 0 while there is none (asleep, not started, no engine process).
    virtual qint64 EngineProcessId() const { return 0; }

    // For a picture of the page (thumbnail capture): scroll bars are left out.
    virtual void SetScrollBarsVisible(bool visible) { Q_UNUSED(visible); }
    // Runs script in the top-level document, apart from the page's own scripts where the
    // engine can; result gets its value, an invalid one when the page could not run it.
    virtual void RunPageScript(const QString& script, std::function<void(const QVariant& value)> result) = 0;
    // Calls painted once the page has painted what it has loaded so far (at once where the
    // engine cannot tell).
    virtual void WhenPainted(std::function<void()> painted);
    // A frame that only takes a picture: its page may open no window at all (not even
    // outside the program) and start no download.
    void SetCaptureOnly(bool captureOnly) { m_captureOnly = captureOnly; }
    bool CaptureOnly() const { return m_captureOnly; }

    // The settings file whose [General] says where downloads go (the site's own, or for a
    // window of no site the program's); without it each download is asked about.
    void SetGeneralSettings(const TSiteSettings* settings) { m_generalSettings = settings; }

    // The user clicked into the page or typed: the next download is the user's.
    void NoteUserAction() { m_userActed = true; }
    // The permission question now asked above the page, empty when none, and its answer.
    QString PendingPermission() const;
    void AnswerPermission(bool allowed);
    // The page's dialog (alert, confirm, prompt, leaving) now shown in the tab, its message;
    // empty when none. And its answer, as the user's: stopDialogs keeps the page's further
    // dialogs away until it loads a new document.
    QString PendingPageDialog() const;
    void AnswerPageDialog(bool accepted, const QString& text = {}, bool stopDialogs = false);
    // The latest window the page opened by itself and the tab blocked; empty when none is
    // offered. Opening it, or allowing the site's pop-ups for the run (which opens it too),
    // is what the tab's "Pop-up blocked" bar does.
    QUrl BlockedPopUp() const;
    int BlockedPopUps() const;
    void OpenBlockedPopUp();
    void AllowSitePopUps();
    // The "stopped" page stands in for a page whose engine ended.
    bool IsStopped() const { return m_stopped; }

    bool CanGoBack() const { return m_canGoBack; }
    bool CanGoForward() const { return m_canGoForward; }
    const QString& StatusText() const { return m_statusText; }
    int32_t Progress() const { return m_progress; }
    int32_t ProgressMax() const { return m_progressMax; }
    const QString& Title() const { return m_title; }

    // The frame a page's new window is loaded into (a new tab's, of the same engine), set by
    // the frame's tab; without one, or when it gives none, the window opens outside the
    // program, in the desktop's browser.
    std::function<TfrmInternetBrowser*()> NewWindowFrame;

    // The question's text for a permission, with the site's host for %1.
    static QString PermissionText(TSitePermission permission);
    // A picture with nothing on it: null, or all white or all black (what an engine gives of a
    // page that has not painted yet, or of an empty page).
    static bool IsBlankPicture(const QImage& picture);
    // What the user typed, as a browser's address box takes it.
    static QUrl TypedAddress(const QString& address);
    // Where a download goes, from the name the page suggests (or the address's file name):
    // the user's answer to ChooseDownloadFile, or with [General] SaveIntoDownloads a free
    // name in the Downloads folder without a question; empty cancels it. From the page's second
    // download without the user's click on, nothing is saved until the user allowed the site
    // to download multiple files (asked once, above the page).
    QString ChooseDownloadTarget(const QString& suggestedName, const QUrl& address);

    // Where a download goes, from the suggested path in the user's Downloads folder; empty
    // cancels it. A save dialog unless replaced (tests answer for the user).
    static std::function<QString(QWidget* parent, const QString& suggestedPath)> ChooseDownloadFile;
    // NAME in the user's Downloads folder, made if it is missing (as a browser does), so
    // that the save dialog opens there and not in whatever folder the program started in.
    static QString SuggestedDownloadPath(const QString& name);
    // path when no file has it and no running download of the program is saved there, else
    // the first free "name (1).ext", "name (2).ext", ...; empty when none is free. The name is
    // the program's until the download that gets it has ended.
    static QString FreeDownloadPath(const QString& path);
    // A page asks to show a notification (the site was allowed to); the program shows it.
    static std::function<void(const TWebNotificationRec& notification)> OnWebNotification;
    static void WebNotification(const TWebNotificationRec& notification);
    // The login of an HTTP authentication; false cancels. A dialog unless replaced.
    static std::function<bool(QWidget* parent, const QUrl& url, const QString& realm, QString& user,
                              QString& password)>
        AskLogin;
    // Addresses of schemes the engines do not show (mailto:, tel:, ...) go to the desktop's
    // handler. Only the top-level document's own navigation hands one over.
    static bool IsWebScheme(const QString& scheme);
    static void OpenOnDesktop(const QUrl& url);

signals:
    void TitleChanged(const QString& title);
    void CommandStateChanged();
    void StatusTextChanged(const QString& text);
    void ProgressChanged();
    // The page asks to close its window.
    void CloseRequested();
    // The top-level document finished loading (documents of frames inside the page are not
    // reported).
    void DocumentCompleted(const QString& address);
    // A download of this frame's page started, progressed or ended.
    void DownloadChanged(const TBrowserDownloadRec& download);
    // The page entered or left full screen.
    void FullScreenRequested(bool fullScreen);
    // The frame went to sleep or woke.
    void SleepingChanged(bool sleeping);
    // The engine let the sleeping page go (EngineAsleep).
    void EngineWentToSleep();
    // The answer to FindText: the number of matches (0 when none) and which of them is
    // selected, from 1; -1 where the engine does not say.
    void FindFinished(int activeMatch, int matches);
    // The page's own icon (its favicon), as the engine has it; a null icon while it has none.
    void IconChanged(const QIcon& icon);

protected:
    // The engine's view, shown below the permission bar (where the stopped page replaces it);
    // it takes the frame's keyboard focus unless the frame keeps it for itself.
    void SetEngineView(QWidget* view, bool takesFocus = true);
    QWidget* EngineArea() const;
    // The address is already completed and valid.
    virtual void NavigateTo(const QUrl& url) = 0;
    // Reloads a page that has an address.
    virtual void ReloadPage() = 0;
    // Starts the engine anew after it ended, at the address it had.
    virtual void RestartEngine() = 0;
    // The engine's part of sleeping and waking: whether the page may sleep now (an engine
    // without a way to sleep stays awake), then letting it go, false when it could not after
    // all.
    virtual bool MaySleepNow() const { return false; }
    virtual bool SleepEngine() { return false; }
    virtual void WakeEngine(const QString& address) { Navigate(address); }

    // Asks above the page; a question answered before in this run is answered at once.
    void AskPermission(const QUrl& origin, TSitePermission permission,
                       std::function<void(bool allowed)> answer);
    // The engine has dropped its questions (it ended).
    void DropPermissionQuestions();
    // A page's dialog, in this tab only: answer comes once, with (false, empty) when the
    // dialog is dropped. A page whose dialogs the user stopped is answered at once, as a
    // browser does: an alert as seen, a confirm or prompt as cancelled, leaving as allowed.
    void AskPageDialog(TPageDialogKind kind, const QUrl& origin, const QString& message,
                       const QString& defaultText,
                       std::function<void(bool accepted, const QString& text)> answer);
    // The page that asked is gone, or the user sends the tab elsewhere. An adapter whose
    // answers need the adapter calls it in its destructor.
    void DropPageDialog();
    // The tab goes to a new document at address: its dialogs count from the start and may
    // show again, no blocked pop-up is offered, and questions of another site go.
    void NewDocument(const QUrl& address);
    // A window the page opens: true when it may open (the user clicked, or allowed the
    // site's pop-ups); otherwise the tab offers it in its "Pop-up blocked" bar.
    bool PopUpMayOpen(bool userGesture, const QUrl& page, const QUrl& address);
    // Shows the stopped page for address (the engine ended) or the page again.
    void ShowStopped(const QString& address);
    void HideStopped();

    void WebBrowserTitleChange(const QString& text);
    void WebBrowserStatusTextChange(const QString& text);
    void WebBrowserProgressChange(int32_t progress, int32_t progressMax);
    // Commands other than forward and back are ignored.
    void WebBrowserCommandStateChange(int command, bool enable);
    // The frame to load the new window into, or none for "outside".
    TfrmInternetBrowser* WebBrowserNewWindow2();
    void WebBrowserDocumentComplete(const QString& address);
    void WebBrowserCloseQuery();
    // Every report of a download: its Id from NewDownloadId.
    void WebBrowserDownload(const TBrowserDownloadRec& download);
    static uint64_t NewDownloadId();
    void WebBrowserFullScreen(bool fullScreen);

private:
    void SleepEngineNow(uint64_t turn, const QVariant& scroll);

    QStackedLayout* m_stack = nullptr;
    TPermissionBar* m_permissionBar = nullptr;
    TPageDialogSheet* m_dialogSheet = nullptr;
    TPopUpBar* m_popUpBar = nullptr;
    // The site whose questions the permission bar asks.
    QString m_askingOrigin;
    QUrl m_popUpOrigin;
    // Downloads the page started in this document, and whether the user acted since the last.
    int m_downloads = 0;
    bool m_userActed = false;
    bool m_askingDownloads = false;
    int m_pageDialogs = 0;
    bool m_pageDialogsStopped = false;
    TStoppedPage* m_stoppedPage = nullptr;
    QWidget* m_engineView = nullptr;
    bool m_engineTakesFocus = true;
    bool m_stopped = false;
    bool m_canGoBack = false;
    bool m_canGoForward = false;
    QString m_statusText;
    int32_t m_progress = 0;
    int32_t m_progressMax = 0;
    QString m_title;
    bool m_captureOnly = false;
    const TSiteSettings* m_generalSettings = nullptr;
    TSiteSettings* m_siteSettings = nullptr;
    QString m_elementId;
    QString m_siteHost;
    bool m_sleeping = false;
    bool m_engineAsleep = false;
    // Tells a late answer of one sleep from the next.
    uint64_t m_sleepTurn = 0;
    QString m_sleepingAddress;
    std::optional<QPoint> m_sleepingScroll;
    // Where the first page after waking is scrolled to once it has loaded.
    std::optional<QPoint> m_wakingScroll;
};
