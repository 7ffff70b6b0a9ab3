#pragma once

#include <QWebEnginePage>

class QAuthenticator;
class QWebEngineCertificateError;
class QWebEngineFullScreenRequest;
class QWebEngineNewWindowRequest;
class TWebEngineProfile;
class TfrmWebEngineBrowser;
enum class TPageDialogKind : uint8_t;

// The page of one Chromium frame. It decides what the page may do: where it navigates
// (other schemes go to the desktop), where its new windows go, closing, permissions,
// certificates, logins and full screen; its frame presents the outcome.
class TWebEnginePage final : public QWebEnginePage
{
    Q_OBJECT

public:
    TWebEnginePage(TWebEngineProfile& profile, TfrmWebEngineBrowser& frame);
    ~TWebEnginePage() override;

    // The page waits in one of its dialogs: it can not be deleted before that call returns.
    bool InDialog() const { return m_inDialog; }
    // The frame goes while the page waits in a dialog: the page stops reporting and deletes
    // itself once the engine's call is over.
    void Orphan();

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                          QString* result) override;

private:
    void HandleNewWindow(QWebEngineNewWindowRequest& request);
    void HandlePermission(const QUrl& origin, Feature feature);
    void HandleCertificateError(const QWebEngineCertificateError& error);
    void HandleAuthentication(const QUrl& url, QAuthenticator* authenticator);
    void HandleFullScreen(QWebEngineFullScreenRequest request);
    void HandleRendererEnd(RenderProcessTerminationStatus status, int exitCode);
    bool RunDialog(TPageDialogKind kind, const QUrl& origin, const QString& message,
                   const QString& defaultText, QString* result);

    TWebEngineProfile& m_profile;
    TfrmWebEngineBrowser& m_frame;
    bool m_inDialog = false;
    bool m_orphaned = false;
};
