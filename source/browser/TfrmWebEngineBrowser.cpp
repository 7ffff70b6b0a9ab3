#include "TfrmWebEngineBrowser.h"

#include "TWebEnginePage.h"
#include "TWebEngineProfile.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

using namespace Qt::Literals::StringLiterals;

namespace {

// Sets a user agent on every request of one page, where the profile's is shared with other
// sites.
class TUserAgentInterceptor final : public QWebEngineUrlRequestInterceptor
{
public:
    TUserAgentInterceptor(const QString& agent, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), m_agent(agent.toUtf8())
    {}

    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        info.setHttpHeader("User-Agent", m_agent);
    }

private:
    QByteArray m_agent;
};

QString JsonString(const QString& text)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact))
        .mid(1)
        .chopped(1);
}

QWebEngineScript SiteScript(const QString& name, const QString& source,
                            QWebEngineScript::InjectionPoint point, quint32 world)
{
    QWebEngineScript script;
    script.setName(name);
    script.setSourceCode(source);
    script.setInjectionPoint(point);
    script.setWorldId(world);
    script.setRunsOnSubFrames(false);
    return script;
}

} // namespace

TfrmWebEngineBrowser::TfrmWebEngineBrowser(TWebEngineProfile& profile, const TFrameSite& site,
                                           QWidget* parent)
    : TfrmInternetBrowser(parent)
{
    m_view = new QWebEngineView(this);
    m_page = new TWebEnginePage(profile, *this);
    m_view->setPage(m_page);
    SetEngineView(m_view);
    ApplySite(site);

    connect(m_page, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
        // The stopped page keeps its own title over what the ended page still reports.
        if (!IsStopped())
            WebBrowserTitleChange(title);
    });
    connect(m_page, &QWebEnginePage::linkHovered, this, &TfrmWebEngineBrowser::WebBrowserStatusTextChange);
    connect(m_page, &QWebEnginePage::loadStarted, this, &TfrmWebEngineBrowser::HandleLoadStarted);
    connect(m_page, &QWebEnginePage::loadProgress, this,
            [this](int progress) { WebBrowserProgressChange(progress, 100); });
    connect(m_page, &QWebEnginePage::loadFinished, this, &TfrmWebEngineBrowser::HandleLoadFinished);
    connect(m_page, &QWebEnginePage::urlChanged, this, [this] {
        // A page restored from the back-forward cache brings its title back without a
        // change report.
        if (!m_page->title().isEmpty() && m_page->title() != Title())
            WebBrowserTitleChange(m_page->title());
    });
    const auto commandState = [this](QWebEnginePage::WebAction action, int command) {
        QAction* item = m_page->action(action);
        connect(item, &QAction::changed, this, [this, item, command] {
            if ((command == kCommandBack ? CanGoBack() : CanGoForward()) != item->isEnabled())
                WebBrowserCommandStateChange(command, item->isEnabled());
        });
    };
    commandState(QWebEnginePage::Back, kCommandBack);
    commandState(QWebEnginePage::Forward, kCommandForward);
    connect(m_page, &QWebEnginePage::iconChanged, this, &TfrmWebEngineBrowser::IconChanged);
    // The signal has the search's final count; the callback of findText has only its first,
    // partial one (nothing, on a page that is still counting).
    connect(m_page, &QWebEnginePage::findTextFinished, this, [this](const QWebEngineFindTextResult& result) {
        if (m_finding)
            emit FindFinished(result.activeMatch(), result.numberOfMatches());
    });
}

void TfrmWebEngineBrowser::FindText(const QString& text, bool backward)
{
    if (text.isEmpty()) {
        StopFinding();
        return;
    }
    m_finding = true;
    m_page->findText(text, backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

void TfrmWebEngineBrowser::StopFinding()
{
    // An empty text is how the engine is told to drop its marks.
    m_finding = false;
    m_page->findText(QString());
}

void TfrmWebEngineBrowser::ApplySite(const TFrameSite& site)
{
    if (!site.UserAgent.isEmpty()) {
        m_page->setUrlRequestInterceptor(new TUserAgentInterceptor(site.UserAgent, m_page));
        // The page's scripts see what the server is told.
        m_page->scripts().insert(SiteScript(
            u"morvalen-user-agent"_s,
            u"Object.defineProperty(Navigator.prototype, 'userAgent', { get: function () { return %1; } });"_s
                .arg(JsonString(site.UserAgent)),
            QWebEngineScript::DocumentCreation, QWebEngineScript::MainWorld));
    }
    if (!site.UserStyle.isEmpty()) {
        // Added at the end of the document, so that it wins over the page's own style of the
        // same weight.
        m_page->scripts().insert(
            SiteScript(u"morvalen-user-style"_s,
                       u"(function () {"
                       u"  var style = document.createElement('style');"
                       u"  style.id = 'morvalen-user-style';"
                       u"  style.textContent = %1;"
                       u"  (document.head || document.documentElement).appendChild(style);"
                       u"})();"_s.arg(JsonString(site.UserStyle)),
                       QWebEngineScript::DocumentReady, QWebEngineScript::ApplicationWorld));
    }
    if (!site.SpellCheck) {
        // Chromium spells per profile: a site that shares it turns spelling off in its pages.
        m_page->scripts().insert(
            SiteScript(u"morvalen-no-spelling"_s, u"document.documentElement.spellcheck = false;"_s,
                       QWebEngineScript::DocumentReady, QWebEngineScript::ApplicationWorld));
    }
    if (!site.UserScript.isEmpty())
        m_page->scripts().insert(SiteScript(u"morvalen-user-script"_s, site.UserScript,
                                            QWebEngineScript::DocumentReady, QWebEngineScript::MainWorld));
}

void TfrmWebEngineBrowser::SetZoomFactor(double factor)
{
    m_zoomFactor = factor;
    m_page->setZoomFactor(factor);
}

double TfrmWebEngineBrowser::ZoomFactor() const
{
    return m_zoomFactor;
}

TfrmWebEngineBrowser::~TfrmWebEngineBrowser()
{
    // No report of the page's end reaches whoever listens.
    disconnect(this, nullptr, nullptr, nullptr);
    DropPageDialog();
    for (const QPointer<QWebEngineDownloadRequest>& download : std::as_const(m_downloads))
        if (download && !download->isFinished())
            download->cancel();
    // The view lets go of the page first; the page goes before the profile does.
    delete m_view;
    m_view = nullptr;
    if (m_page->InDialog())
        m_page->Orphan();
    else
        delete m_page;
    m_page = nullptr;
}

TfrmWebEngineBrowser* TfrmWebEngineBrowser::FrameOfPage(QWebEnginePage* page)
{
    auto* ours = qobject_cast<TWebEnginePage*>(page);
    return ours ? qobject_cast<TfrmWebEngineBrowser*>(ours->parent()) : nullptr;
}

QObject* TfrmWebEngineBrowser::GetApplication()
{
    return m_page;
}

QWebEnginePage* TfrmWebEngineBrowser::Page() const
{
    return m_page;
}

void TfrmWebEngineBrowser::GoBack()
{
    DropPageDialog();
    m_page->triggerAction(QWebEnginePage::Back);
}

void TfrmWebEngineBrowser::GoForward()
{
    DropPageDialog();
    m_page->triggerAction(QWebEnginePage::Forward);
}

void TfrmWebEngineBrowser::ReloadPage()
{
    if (m_showingErrorPage) {
        m_page->load(m_errorUrl);
        return;
    }
    m_page->triggerAction(QWebEnginePage::Reload);
}

void TfrmWebEngineBrowser::RestartEngine()
{
    // A new renderer process starts with the load.
    m_showingErrorPage = false;
    m_page->load(m_errorUrl);
}

bool TfrmWebEngineBrowser::KeepsAwake() const
{
    return m_capturing || m_page->recentlyAudible();
}

qint64 TfrmWebEngineBrowser::EngineProcessId() const
{
    return m_page->renderProcessPid();
}

bool TfrmWebEngineBrowser::MaySleepNow() const
{
    // The engine discards no page on screen (and Chromium's memory saver never takes the tab
    // the user sees): only a hidden window's tabs, or a window's tabs behind the current one,
    // sleep. A minimized window's view still counts as on screen for the engine, though
    // nobody sees it.
    return !IsStopped() && (!m_page->isVisible() || window()->isMinimized());
}

bool TfrmWebEngineBrowser::SleepEngine()
{
    if (!MaySleepNow())
        return false;
    m_page->setVisible(false);
    // Freezing first stops the page's timers before its renderer is let go.
    m_page->setLifecycleState(QWebEnginePage::LifecycleState::Frozen);
    m_page->setLifecycleState(QWebEnginePage::LifecycleState::Discarded);
    if (m_page->lifecycleState() != QWebEnginePage::LifecycleState::Discarded)
        return false;
    DropView();
    return true;
}

void TfrmWebEngineBrowser::DropView()
{
    // A hidden window keeps its views' scenes and drawing buffers, which cost about as much as
    // a small page: the view goes with the page and a new one shows it again.
    m_sleepingView = new QWidget(this);
    SetEngineView(m_sleepingView);
    delete m_view;
    m_view = nullptr;
}

void TfrmWebEngineBrowser::WakeEngine(const QString& address)
{
    if (!m_view) {
        m_view = new QWebEngineView(this);
        m_view->setPage(m_page);
        SetEngineView(m_view);
        delete m_sleepingView;
        m_sleepingView = nullptr;
    }
    // A discarded page reloads at its own address, with its history, as it comes back; the
    // page shown again may have done that already.
    if (m_view->isVisible() && !window()->isMinimized())
        m_page->setVisible(true);
    m_page->setLifecycleState(QWebEnginePage::LifecycleState::Active);
    if (m_page->url().isEmpty() && !address.isEmpty())
        Navigate(address);
}

void TfrmWebEngineBrowser::NavigateTo(const QUrl& url)
{
    m_page->load(url);
}

void TfrmWebEngineBrowser::Stop()
{
    DropPageDialog();
    m_page->triggerAction(QWebEnginePage::Stop);
}

QString TfrmWebEngineBrowser::GetLocationURL() const
{
    if (m_showingErrorPage || IsStopped())
        return m_errorUrl.toString();
    const QUrl url = m_page->url();
    return url.isEmpty() ? u"http://"_s : url.toString();
}

void TfrmWebEngineBrowser::CaptureTo(QImage& bitmap)
{
    if (!m_view || m_page->url().isEmpty() || size().isEmpty())
        return;
    bitmap = m_view->grab().toImage().scaled(size());
}

void TfrmWebEngineBrowser::SetScrollBarsVisible(bool visible)
{
    m_page->settings()->setAttribute(QWebEngineSettings::ShowScrollBars, visible);
}

void TfrmWebEngineBrowser::RunPageScript(const QString& script,
                                         std::function<void(const QVariant& value)> result)
{
    // The program's own world: the page's scripts can neither see nor replace what it uses.
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [result](const QVariant& value) {
        if (result)
            result(value);
    });
}

void TfrmWebEngineBrowser::WhenPainted(std::function<void()> painted)
{
    // A few animation frames after the question the page has drawn what it had, and the
    // frame it drew has reached the view: the renderer paces its frames by the ones shown.
    RunPageScript(u"window.__morvalenPainted = false;"
                  u"(function wait(frames) {"
                  u"  requestAnimationFrame(function () {"
                  u"    if (frames > 1) wait(frames - 1); else window.__morvalenPainted = true;"
                  u"  });"
                  u"})(4);"_s,
                  {});
    PollPainted(std::move(painted), 0);
}

void TfrmWebEngineBrowser::PollPainted(std::function<void()> painted, int attempt)
{
    // Page scripts answer asynchronously, so the answer is asked for until it comes. A page
    // the engine does not animate (never drawn) is taken as it is after a while.
    constexpr int kAttempts = 200;
    RunPageScript(u"window.__morvalenPainted === true"_s,
                  [frame = QPointer<TfrmWebEngineBrowser>(this), painted, attempt](const QVariant& value) {
                      if (!frame)
                          return;
                      if (value.toBool() || attempt >= kAttempts) {
                          frame->WhenViewShows(painted);
                          return;
                      }
                      QTimer::singleShot(
                          16, frame, [frame, painted, attempt] { frame->PollPainted(painted, attempt + 1); });
                  });
}

void TfrmWebEngineBrowser::WhenViewShows(std::function<void()> painted)
{
    // What the page drew reaches the view when the view's scene next renders, which may come
    // a while after the page's frames when the machine is busy; a view that has it already
    // renders nothing new, so it is taken after a short wait.
    auto* scene = m_view ? m_view->findChild<QQuickWidget*>() : nullptr;
    auto done = std::make_shared<bool>(false);
    auto finish = [frame = QPointer<TfrmWebEngineBrowser>(this), painted, done] {
        if (*done || !frame)
            return;
        *done = true;
        painted();
    };
    if (scene && scene->quickWindow()) {
        auto rendered = std::make_shared<QMetaObject::Connection>();
        *rendered =
            connect(scene->quickWindow(), &QQuickWindow::afterRendering, this, [this, rendered, finish] {
                disconnect(*rendered);
                // The picture is in the view once the render has returned.
                QTimer::singleShot(0, this, finish);
            });
    }
    QTimer::singleShot(250, this, finish);
}

void TfrmWebEngineBrowser::ExitFullScreen()
{
    m_page->triggerAction(QWebEnginePage::ExitFullScreen);
}

bool TfrmWebEngineBrowser::PageBeforeNavigate(const QUrl& url, bool reload)
{
    if (!reload)
        m_capturing = false;
    NewDocument(url);
    if (url.scheme() == u"data"_s && m_showingErrorPage)
        return true;
    m_showingErrorPage = false;
    return true;
}

bool TfrmWebEngineBrowser::PagePopUpMayOpen(bool userGesture, const QUrl& address)
{
    return PopUpMayOpen(userGesture, m_page->url(), address);
}

QWebEnginePage* TfrmWebEngineBrowser::PageNewWindow()
{
    auto* frame = qobject_cast<TfrmWebEngineBrowser*>(WebBrowserNewWindow2());
    return frame ? frame->Page() : nullptr;
}

void TfrmWebEngineBrowser::AskDialog(TPageDialogKind kind, const QUrl& origin, const QString& message,
                                     const QString& defaultText,
                                     std::function<void(bool accepted, const QString& text)> answer)
{
    AskPageDialog(kind, origin, message, defaultText, std::move(answer));
}

void TfrmWebEngineBrowser::DropDialog()
{
    DropPageDialog();
}

void TfrmWebEngineBrowser::PageCloseRequest()
{
    WebBrowserCloseQuery();
}

void TfrmWebEngineBrowser::PageFullScreen(bool fullScreen)
{
    WebBrowserFullScreen(fullScreen);
}

TSitePermission TfrmWebEngineBrowser::PermissionOf(QWebEnginePage::Feature feature)
{
    switch (feature) {
    case QWebEnginePage::Notifications:
        return TSitePermission::Notifications;
    case QWebEnginePage::Geolocation:
        return TSitePermission::Geolocation;
    case QWebEnginePage::MediaAudioCapture:
        return TSitePermission::Microphone;
    case QWebEnginePage::MediaVideoCapture:
        return TSitePermission::Camera;
    case QWebEnginePage::MediaAudioVideoCapture:
        return TSitePermission::CameraAndMicrophone;
    case QWebEnginePage::MouseLock:
        return TSitePermission::MouseLock;
    case QWebEnginePage::DesktopVideoCapture:
        return TSitePermission::ScreenShare;
    case QWebEnginePage::DesktopAudioVideoCapture:
        return TSitePermission::ScreenShareWithSound;
    }
    return TSitePermission::Other;
}

void TfrmWebEngineBrowser::AskFeature(const QUrl& origin, QWebEnginePage::Feature feature,
                                      std::function<void(bool)> answer)
{
    const TSitePermission permission = PermissionOf(feature);
    const bool capture = permission != TSitePermission::Notifications &&
                         permission != TSitePermission::Geolocation &&
                         permission != TSitePermission::MouseLock && permission != TSitePermission::Other;
    AskPermission(origin, permission,
                  [self = QPointer(this), capture, answer = std::move(answer)](bool allowed) {
                      if (self && allowed && capture)
                          self->m_capturing = true;
                      answer(allowed);
                  });
}

void TfrmWebEngineBrowser::ShowErrorPage(const QUrl& url, const QString& title, const QString& body)
{
    m_errorUrl = url;
    m_showingErrorPage = true;
    const QString html =
        u"<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>%1</title>"
        u"<style>body{font-family:sans-serif;margin:3em;color:#333}h1{font-size:1.4em}</style></head>"
        u"<body><h1>%1</h1>%2</body></html>"_s.arg(title.toHtmlEscaped(), body);
    m_page->setHtml(html, QUrl());
}

void TfrmWebEngineBrowser::ShowCertificateError(const QUrl& url, const QString& description)
{
    ShowErrorPage(url, u"This site's certificate is not valid"_s,
                  u"<p>The certificate of <b>%1</b> could not be trusted: %2</p>"
                  u"<p>Nothing of the page was loaded, so that nobody in between can read or change "
                  u"what you send.</p>"_s.arg(url.host().toHtmlEscaped(), description.toHtmlEscaped()));
}

void TfrmWebEngineBrowser::ShowRendererEnded()
{
    if (!m_showingErrorPage)
        m_errorUrl = m_page->url();
    m_showingErrorPage = false;
    ShowStopped(m_errorUrl.toDisplayString());
}

void TfrmWebEngineBrowser::HandleLoadStarted()
{
    WebBrowserProgressChange(0, 100);
}

void TfrmWebEngineBrowser::HandleLoadFinished(bool ok)
{
    Q_UNUSED(ok);
    if (IsStopped())
        return;
    // Chromium keeps a zoom per host: a page of another host comes at its own.
    if (!qFuzzyCompare(m_page->zoomFactor(), m_zoomFactor))
        m_page->setZoomFactor(m_zoomFactor);
    // A page restored from the back-forward cache brings its title back without a change
    // report.
    if (m_page->title() != Title())
        WebBrowserTitleChange(m_page->title());
    WebBrowserProgressChange(100, 100);
    WebBrowserDocumentComplete(GetLocationURL());
}

void TfrmWebEngineBrowser::StartDownload(QWebEngineDownloadRequest* download)
{
    const QString path = ChooseDownloadTarget(download->suggestedFileName(), download->url());
    if (path.isEmpty()) {
        download->cancel();
        return;
    }
    const QFileInfo target(path);
    download->setDownloadDirectory(target.absolutePath());
    download->setDownloadFileName(target.fileName());
    const uint64_t id = NewDownloadId();
    m_downloads.removeIf(
        [](const QPointer<QWebEngineDownloadRequest>& known) { return !known || known->isFinished(); });
    m_downloads.append(download);
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            [this, download, id] { ReportDownload(download, id); });
    connect(download, &QWebEngineDownloadRequest::stateChanged, this,
            [this, download, id] { ReportDownload(download, id); });
    download->accept();
    ReportDownload(download, id);
}

void TfrmWebEngineBrowser::ReportDownload(QWebEngineDownloadRequest* download, uint64_t id)
{
    TBrowserDownloadRec record;
    record.Id = id;
    record.Cancel = [request = QPointer<QWebEngineDownloadRequest>(download)] {
        if (request && !request->isFinished())
            request->cancel();
    };
    record.FileName = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
    record.Received = download->receivedBytes();
    record.Total = download->totalBytes();
    switch (download->state()) {
    case QWebEngineDownloadRequest::DownloadCompleted:
        record.State = TBrowserDownloadRec::dsFinished;
        break;
    case QWebEngineDownloadRequest::DownloadCancelled:
        record.State = TBrowserDownloadRec::dsCancelled;
        break;
    case QWebEngineDownloadRequest::DownloadInterrupted:
        record.State = TBrowserDownloadRec::dsFailed;
        record.Error = download->interruptReasonString();
        break;
    default:
        record.State = TBrowserDownloadRec::dsRunning;
        break;
    }
    WebBrowserDownload(record);
}
