#include "TWebEnginePage.h"

#include "TOutsidePopupPage.h"
#include "TWebEngineProfile.h"
#include "TfrmWebEngineBrowser.h"

#include <QAuthenticator>
#include <QPointer>
#include <QWebEngineCertificateError>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineProfile>

using namespace Qt::Literals::StringLiterals;

TWebEnginePage::TWebEnginePage(TWebEngineProfile& profile, TfrmWebEngineBrowser& frame)
    : QWebEnginePage(profile.Profile(), &frame), m_profile(profile), m_frame(frame)
{
    connect(this, &QWebEnginePage::featurePermissionRequested, this, &TWebEnginePage::HandlePermission);
    connect(this, &QWebEnginePage::certificateError, this, &TWebEnginePage::HandleCertificateError);
    connect(this, &QWebEnginePage::authenticationRequired, this, &TWebEnginePage::HandleAuthentication);
    connect(this, &QWebEnginePage::fullScreenRequested, this, &TWebEnginePage::HandleFullScreen);
    connect(this, &QWebEnginePage::renderProcessTerminated, this, &TWebEnginePage::HandleRendererEnd);
    // window.close(): the window closes the tab once this call has returned.
    connect(this, &QWebEnginePage::windowCloseRequested, &m_frame, &TfrmWebEngineBrowser::PageCloseRequest);
}

TWebEnginePage::~TWebEnginePage() = default;

bool TWebEnginePage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
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

QWebEnginePage* TWebEnginePage::createWindow(WebWindowType type)
{
    Q_UNUSED(type);
    if (m_frame.CaptureOnly())
        return nullptr;
    if (QWebEnginePage* target = m_frame.PageNewWindow())
        return target;
    // Not in the program: a page that waits for the address and hands it to the desktop.
    return new TOutsidePopupPage(m_profile.Profile());
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
