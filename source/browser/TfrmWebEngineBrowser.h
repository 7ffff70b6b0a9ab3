#pragma once

#include "TfrmInternetBrowser.h"

#include <QList>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>

#include <functional>

class QWebEngineDownloadRequest;
class QWebEngineView;
class TWebEnginePage;
class TWebEngineProfile;

// The frame of engine code 0: one Chromium view (Qt WebEngine) with its page. The page
// (TWebEnginePage) decides what a site may do; this adapter hands the outcome to the frame
// base.
class TfrmWebEngineBrowser final : public TfrmInternetBrowser
{
    Q_OBJECT

public:
    TfrmWebEngineBrowser(TWebEngineProfile& profile, const TFrameSite& site, QWidget* parent = nullptr);
    ~TfrmWebEngineBrowser() override;

    // The frame a page belongs to, or none.
    static TfrmWebEngineBrowser* FrameOfPage(QWebEnginePage* page);

    uint8_t BrowserEngine() const override { return 0; }
    QObject* GetApplication() override;
    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    QString GetLocationURL() const override;
    void CaptureTo(QImage& bitmap) override;
    void ExitFullScreen() override;
    void SetScrollBarsVisible(bool visible) override;
    void RunPageScript(const QString& script, std::function<void(const QVariant& value)> result) override;
    void WhenPainted(std::function<void()> painted) override;
    void SetZoomFactor(double factor) override;
    double ZoomFactor() const override;
    void FindText(const QString& text, bool backward) override;
    void StopFinding() override;

    bool KeepsAwake() const override;
    qint64 EngineProcessId() const override;

    // None while the page sleeps: what a view holds to draw (its scene and its buffers) is
    // let go with the page.
    QWebEngineView* View() const { return m_view; }
    QWebEnginePage* Page() const;

    // What the page decided, for the frame to present.
    bool PageBeforeNavigate(const QUrl& url, bool reload);
    bool PagePopUpMayOpen(bool userGesture, const QUrl& address);
    QWebEnginePage* PageNewWindow();
    void PageCloseRequest();
    void PageFullScreen(bool fullScreen);
    void AskFeature(const QUrl& origin, QWebEnginePage::Feature feature, std::function<void(bool)> answer);
    void ShowCertificateError(const QUrl& url, const QString& description);
    void ShowRendererEnded();
    void StartDownload(QWebEngineDownloadRequest* download);
    void AskDialog(TPageDialogKind kind, const QUrl& origin, const QString& message,
                   const QString& defaultText,
                   std::function<void(bool accepted, const QString& text)> answer);
    void DropDialog();

    // The permission a feature request asks for.
    static TSitePermission PermissionOf(QWebEnginePage::Feature feature);

protected:
    void NavigateTo(const QUrl& url) override;
    void ReloadPage() override;
    void RestartEngine() override;
    bool MaySleepNow() const override;
    bool SleepEngine() override;
    void WakeEngine(const QString& address) override;
    void DropView();

private:
    // The site's user agent, style and script in every page it loads.
    void ApplySite(const TFrameSite& site);
    void PollPainted(std::function<void()> painted, int attempt);
    void WhenViewShows(std::function<void()> painted);
    void ShowErrorPage(const QUrl& url, const QString& title, const QString& body);
    void HandleLoadStarted();
    void HandleLoadFinished(bool ok);
    void ReportDownload(QWebEngineDownloadRequest* download, uint64_t id);

    QWebEngineView* m_view = nullptr;
    // In the view's place while the page sleeps.
    QWidget* m_sleepingView = nullptr;
    TWebEnginePage* m_page = nullptr;
    // While an error page or the stopped page stands in for the page: the address it stands
    // in for.
    QUrl m_errorUrl;
    bool m_showingErrorPage = false;
    double m_zoomFactor = 1.0;
    // The document was let use the camera, the microphone or the screen.
    bool m_capturing = false;
    // The downloads the page started: they end with the tab, as their reports do.
    QList<QPointer<QWebEngineDownloadRequest>> m_downloads;
    // Between FindText and StopFinding.
    bool m_finding = false;
};
