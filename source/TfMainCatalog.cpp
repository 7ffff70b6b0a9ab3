// The main window's part of the catalog: what the catalog views and the version check ask of
// the window.

#include "Recommendation.h"
#include "TfMain.h"
#include "catalog/ProgramVersion.h"
#include "catalog/TRemoteVersion.h"
#include "catalog/TWebApplicationClass.h"
#include "catalogviews/TCatalogViews.h"
#include "platform/MailClient.h"

#include <QMessageBox>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

TCatalogHooks TfMain::CatalogHooks()
{
    TCatalogHooks hooks;
    hooks.SetStatusText = [this](const QString& text) {
        SetStatusText(text);
    };
    hooks.StartBusy = [this] {
        StartBusy();
    };
    hooks.SetPending = [this](int count) {
        SetPending(count);
    };
    hooks.CountDown = [this] {
        CountDown();
    };
    hooks.IsHiddenToTray = [this] {
        return HiddenToTray();
    };
    hooks.OpenWebPage = [this](const QString& address, const QString& title, bool flash) {
        OpenWebPage(address, title, flash);
    };
    hooks.RecommendApplication = [this](TWebApplicationClass& application) {
        RecommendApplication(application);
    };
    // The screenshot preview and installing sites come with their own windows; until then the
    // picture opens in the user's browser and "Install" does nothing.
    hooks.ShowScreenshot = [this](TWebApplicationClass& application) {
        if (!application.ScreenshotURL().isEmpty())
            OpenWebPage(application.ScreenshotURL(), application.Title(), false);
    };
    hooks.InstallApplication = [](TWebApplicationClass&) {
    };
    hooks.IsInstalled = [](const TWebApplicationClass&) {
        return false;
    };
    return hooks;
}

void TfMain::RecommendApplication(const TWebApplicationClass& application)
{
    MailClient::SendMailToClient({}, Recommendation::Subject(application.Title()),
                                 Recommendation::Body(application.Title(), application.MainDescription(),
                                                      application.AppURL(), application.ScreenshotURL(),
                                                      ServerUrl(u"/"_s)));
}

void TfMain::ShowNewVersion(uint32_t programVersion, const TRemoteVersion& remote)
{
    QMessageBox box(
        QMessageBox::Information, u"A New version is available"_s,
        u"New version of <b>Morvalen Desktop</b> is available for download!<br><br>"
        u"Current version: %1<br>What's new in version <b>%2</b>:<br>%3"_s.arg(
            VersionText(programVersion), VersionText(remote.Version()), remote.Description().toHtmlEscaped()),
        QMessageBox::NoButton, this);
    QPushButton* download = box.addButton(u"Download"_s, QMessageBox::YesRole);
    box.addButton(u"Later"_s, QMessageBox::RejectRole);
    box.setDefaultButton(download);
    box.exec();
    if (box.clickedButton() == download)
        OpenWebPage(remote.DownloadURL(), u"Download new version"_s, false);
}

void TfMain::ShowLatestVersion(uint32_t programVersion)
{
    QMessageBox::information(
        this, u"Latest version"_s,
        u"You have the latest version of <b>Morvalen Desktop</b>!<br><br>Current version: %1"_s.arg(
            VersionText(programVersion)));
}
