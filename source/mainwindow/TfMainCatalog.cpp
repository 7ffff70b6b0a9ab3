// The main window's part of the catalog: what the catalog views and the version check ask of
// the window.

#include "Recommendation.h"
#include "TfMain.h"
#include "catalog/TWebApplicationClass.h"
#include "catalogviews/TCatalogViews.h"
#include "dialogs/TfNewVersionDlg.h"
#include "dialogs/TfScreenShotPreviewDlg.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"

#include <QScopedValueRollback>
#include <QTabWidget>

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
    hooks.StopBusy = [this] {
        SetPending(0);
    };
    hooks.SetOfflineNote = [this](const QString& text) {
        m_offlineNote = text.isEmpty() && m_sampleCatalog ? SampleCatalogNote() : text;
    };
    hooks.IsHiddenToTray = [this] {
        return HiddenToTray();
    };
    hooks.OpenWebPage = [this](const QString& address, const QString& title, bool flash) {
        OpenWebPage(address, title, flash);
    };
    hooks.RecommendApplication = [this](TWebApplicationClass& application) {
        if (!Recommendation::RecommendApplication(&application, ServerUrl(u"/"_s)))
            ShowMessageHook(u"No mail program could be started to recommend \"%1\". Please set a default "
                            u"mail program in your desktop's settings."_s.arg(application.Title()));
    };
    hooks.ShowScreenshot = [this](TWebApplicationClass& application) {
        ::ShowScreenshot(application, *m_cacheManager);
    };
    hooks.InstallApplication = [this](TWebApplicationClass&) {
        m_installedSites->InstallFromCatalog(*m_catalogViews);
    };
    hooks.IsInstalled = [this](const TWebApplicationClass& application) {
        return m_installedSites->IsInstalled(application);
    };
    // With no site installed yet the catalog is what there is to see: the first list tab
    // takes the place of the empty Installed page until the user picks a page.
    hooks.ListShown = [this](int page) {
        if (m_pageChosen || m_installedSites->Manager().Count() > 0)
            return;
        const int current = m_mainTabs->currentIndex();
        if (current == pgInstalled || (current <= pgHighestRated && page < current)) {
            const QScopedValueRollback showing(m_showingPage, true);
            m_mainTabs->setCurrentIndex(page);
        }
    };
    return hooks;
}

void TfMain::ShowNewVersion(uint32_t programVersion, const TRemoteVersion& remote)
{
    OfferNewVersion(
        programVersion, remote,
        [this](const QString& address, const QString& title) { OpenWebPage(address, title, false); }, this);
}

void TfMain::ShowLatestVersion(uint32_t programVersion)
{
    ::ShowLatestVersion(programVersion, this);
}
