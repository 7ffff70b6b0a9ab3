#pragma once

#include <QWebEnginePage>

class QAuthenticator;
class QWebEngineCertificateError;
class QWebEngineFullScreenRequest;
class TWebEngineProfile;
class TfrmWebEngineBrowser;

// The page of one Chromium frame. It decides what the page may do: where it navigates
// (other schemes go to the desktop), where its new windows go, closing, permissions,
// certificates, logins and full screen; its frame presents the outcome.
class TWebEnginePage final : public QWebEnginePage
{
    Q_OBJECT

public:
    TWebEnginePage(TWebEngineProfile& profile, TfrmWebEngineBrowser& frame);
    ~TWebEnginePage() override;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;

private:
    void HandlePermission(const QUrl& origin, Feature feature);
    void HandleCertificateError(const QWebEngineCertificateError& error);
    void HandleAuthentication(const QUrl& url, QAuthenticator* authenticator);
    void HandleFullScreen(QWebEngineFullScreenRequest request);
    void HandleRendererEnd(RenderProcessTerminationStatus status, int exitCode);

    TWebEngineProfile& m_profile;
    TfrmWebEngineBrowser& m_frame;
};
