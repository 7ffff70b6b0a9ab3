#include "TWebEnginePage.h"

#include "TOutsidePopupPage.h"
#include "TPageDialogSheet.h"
#include "TWebEngineProfile.h"
#include "TfrmWebEngineBrowser.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>

#include <memory>

using namespace Qt::Literals::StringLiterals;

TWebEnginePage::TWebEnginePage(TWebEngineProfile& profile, TfrmWebEngineBrowser& frame)
    : QWebEnginePage(profile.Profile(), &frame), m_profile(profile), m_frame(frame)
{
    // Without a window of ours (createWindow) the engine asks here, and says whether the user
    // clicked.
    connect(this, &QWebEnginePage::newWindowRequested, this, &TWebEnginePage::HandleNewWindow);
    connect(this, &QWebEnginePage::featurePermissionRequested, this, &TWebEnginePage::HandlePermission);
    connect(this, &QWebEnginePage::certificateError, this, &TWebEnginePage::HandleCertificateError);
    connect(this, &QWebEnginePage::authenticationRequired, this, &TWebEnginePage::HandleAuthentication);
    connect(this, &QWebEnginePage::fullScreenRequested, this, &TWebEnginePage::HandleFullScreen);
    connect(this, &QWebEnginePage::renderProcessTerminated, this, &TWebEnginePage::HandleRendererEnd);
    // window.close(): the window closes the tab once this call has returned.
    connect(this, &QWebEnginePage::windowCloseRequested, &m_frame, &TfrmWebEngineBrowser::PageCloseRequest);
}

TWebEnginePage::~TWebEnginePage() = default;

void TWebEnginePage::Orphan()
{
    m_orphaned = true;
    setParent(nullptr);
    disconnect(this, nullptr, nullptr, nullptr);
}

void TWebEnginePage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg)
{
    RunDialog(TPageDialogKind::Alert, securityOrigin, msg, {}, nullptr);
}

bool TWebEnginePage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg)
{
    // The engine asks before leaving a page with this question of its own.
    static const QString leaving = QCoreApplication::translate(
        "QWebEnginePage",
        "Are you sure you want to leave this page? Changes that you made may not be saved.");
    return RunDialog(msg == leaving ? TPageDialogKind::BeforeUnload : TPageDialogKind::Confirm,
                     securityOrigin, msg, {}, nullptr);
}

bool TWebEnginePage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                                      const QString& defaultValue, QString* result)
{
    return RunDialog(TPageDialogKind::Prompt, securityOrigin, msg, defaultValue, result);
}

bool TWebEnginePage::RunDialog(TPageDialogKind kind, const QUrl& origin, const QString& message,
                               const QString& defaultText, QString* result)
{
    if (m_orphaned || m_inDialog)
        return false;
    // The engine wants the answer before this call returns, so the call waits in an event
    // loop of its own; everything else goes on meanwhile, the user can close the tab or the
    // window, and only this page waits. The answer may come after the wait ended (the
    // program quits), hence the shared state.
    struct TWait
    {
        QEventLoop* Loop = nullptr;
        bool Answered = false;
        bool Accepted = false;
        QString Text;
    };
    auto wait = std::make_shared<TWait>();
    m_frame.AskDialog(kind, origin, message, defaultText, [wait](bool accepted, const QString& text) {
        wait->Answered = true;
        wait->Accepted = accepted;
        wait->Text = text;
        if (wait->Loop)
            wait->Loop->quit();
    });
    if (!wait->Answered) {
        QEventLoop loop;
        wait->Loop = &loop;
        m_inDialog = true;
        loop.exec();
        m_inDialog = false;
        wait->Loop = nullptr;
    }
    if (m_orphaned) {
        // Deleted once the engine's call that brought the dialog has returned.
        deleteLater();
        return false;
    }
    if (!wait->Answered)
        m_frame.DropDialog();
    if (result && wait->Accepted)
        *result = wait->Text;
    return wait->Accepted;
}

bool TWebEnginePage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    if (m_orphaned)
        return false;
    if (!TfrmInternetBrowser::IsWebScheme(url.scheme())) {
        // Only a user's click or the page's own script sends them there (not a frame that
        // loads one).
        if (isMainFrame)
            TfrmInternetBrowser::OpenOnDesktop(url);
        return false;
    }
    if (!isMainFrame)
        return true;
    return m_frame.PageBeforeNavigate(url, type == NavigationTypeReload);
}

void TWebEnginePage::HandleNewWindow(QWebEngineNewWindowRequest& request)
{
    // Not taken up, the new window is dropped: a capture, or a window the page opened by
    // itself (the tab offers it).
    if (m_orphaned || m_frame.CaptureOnly() ||
        !m_frame.PagePopUpMayOpen(request.isUserInitiated(), request.requestedUrl()))
        return;
    if (QWebEnginePage* target = m_frame.PageNewWindow()) {
        request.openIn(target);
        return;
    }
    // Not in the program: a page that waits for the address and hands it to the desktop.
    request.openIn(new TOutsidePopupPage(m_profile.Profile()));
}

void TWebEnginePage::HandlePermission(const QUrl& origin, Feature feature)
{
    m_frame.AskFeature(
        origin, feature, [page = QPointer<TWebEnginePage>(this), origin, feature](bool allowed) {
            if (page)
                page->setFeaturePermission(origin, feature,
                                           allowed ? PermissionGrantedByUser : PermissionDeniedByUser);
        });
}

void TWebEnginePage::HandleCertificateError(const QWebEngineCertificateError& error)
{
    // Nothing of the page is loaded; the tab says why.
    QWebEngineCertificateError answer = error;
    answer.rejectCertificate();
    m_frame.ShowCertificateError(error.url(), error.description());
}

void TWebEnginePage::HandleAuthentication(const QUrl& url, QAuthenticator* authenticator)
{
    QString user;
    QString password;
    if (TfrmInternetBrowser::AskLogin(&m_frame, url, authenticator->realm(), user, password)) {
        authenticator->setUser(user);
        authenticator->setPassword(password);
    } else {
        // A null authenticator cancels the request; the server's own page shows.
        *authenticator = QAuthenticator();
    }
}

void TWebEnginePage::HandleFullScreen(QWebEngineFullScreenRequest request)
{
    request.accept();
    m_frame.PageFullScreen(request.toggleOn());
}

void TWebEnginePage::HandleRendererEnd(RenderProcessTerminationStatus status, int exitCode)
{
    Q_UNUSED(exitCode);
    if (status == NormalTerminationStatus)
        return;
    m_frame.ShowRendererEnded();
}
