#include "TCustomInternetBrowserWindow.h"

#include "BrowserFrames.h"
#include "BrowserTitles.h"
#include "TBrowserDownloads.h"
#include "TBrowserDownloadsView.h"
#include "TBrowserFindBar.h"
#include "TBrowserNavigationBar.h"
#include "TBrowserStatusBar.h"
#include "TBrowserTab.h"
#include "TBrowserTray.h"
#include "TfrmInternetBrowser.h"
#include "WebEngineModule.h"
#include "common/Errors.h"
#include "platform/WindowClass.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TSiteSettings.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLoggingCategory>
#include <QOpenGLWidget>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

// What the windows do, for tests and for whoever wonders what a window loaded:
// QT_LOGGING_RULES="morvalen.browser.debug=true".
Q_LOGGING_CATEGORY(lcBrowser, "morvalen.browser", QtWarningMsg)

TCustomInternetBrowserWindow::TCustomInternetBrowserWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(u"TCustomInternetBrowserWindow"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(500, 300);
    m_downloads = new TBrowserDownloads(this);
    BuildLayout();
    BuildHibernation();
    m_statusBar->SetDownloads(m_downloads);
    connect(m_statusBar, &TBrowserStatusBar::DownloadsClicked, this,
            &TCustomInternetBrowserWindow::ShowDownloads);
}

TCustomInternetBrowserWindow::~TCustomInternetBrowserWindow()
{
    m_destroying = true;
    while (TabCount() > 0)
        CloseTab(Tab(TabCount() - 1));
    m_tray->SetVisible(false);
}

void TCustomInternetBrowserWindow::SetBrowserEngine(uint8_t engine)
{
    m_engine = engine;
    m_statusBar->SetEngine(engine);
    PrepareSurface();
}

void TCustomInternetBrowserWindow::SetSiteTitle(const QString& title)
{
    m_siteTitle = title;
    setWindowTitle(BrowserTitles::WindowCaption(title));
    m_tray->SetTitle(title);
}

void TCustomInternetBrowserWindow::SetSiteIcon(const QIcon& icon)
{
    setWindowIcon(icon);
    m_tray->SetIcon(icon);
}

void TCustomInternetBrowserWindow::SetWindowClassName(const QString& className)
{
    m_windowClassName = className;
    // Before the window exists nothing is made here: a Chromium window has to be prepared
    // before its native window comes (PrepareSurface), and WinIdChange brings the class then.
    if (internalWinId())
        WindowClass::Set(*this, m_windowClassName);
}

void TCustomInternetBrowserWindow::SetTrayMode(bool trayMode)
{
    m_trayMode = trayMode;
    m_tray->SetVisible(trayMode);
}

void TCustomInternetBrowserWindow::SetStandalone(bool standalone)
{
    m_standalone = standalone;
    m_header->SetOptionsVisible(!standalone);
}

void TCustomInternetBrowserWindow::ShowRestored()
{
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) |
                       (m_savedWindowState == wsMaximized ? Qt::WindowMaximized : Qt::WindowNoState));
    show();
    // Showing a window that is already on screen moves nothing: a window behind another one
    // has to be raised and activated as well.
    raise();
    activateWindow();
}

void TCustomInternetBrowserWindow::BringToFront()
{
    ShowRestored();
}

void TCustomInternetBrowserWindow::HideToTray()
{
    if (!isMinimized())
        m_savedWindowState = isMaximized() ? wsMaximized : wsNormal;
    m_tray->SetVisible(true);
    hide();
    // A window hidden before it was ever on screen still loads its pages (a watched site).
    if (!m_pagesOpened && !m_enginesStarting)
        StartEngines();
}

void TCustomInternetBrowserWindow::CloseFromTray()
{
    // Closing from the tray ends the window, also in tray mode.
    m_closing = true;
    close();
}

void TCustomInternetBrowserWindow::OpenPagesBeforeDrawn()
{
    // The engine goes on with the page (its request, its renderer) while the window is drawn.
    // The view waits for the drawing: drawn with the window, it would take as long again before
    // the window appears, and keep the engine waiting as well.
    if (m_pagesOpened || m_enginesStarting || !isVisible() || !BrowserFrames::Started(m_engine))
        return;
    OpenPages();
    m_heldPage = m_pages->currentWidget();
    if (m_heldPage)
        m_heldPage->hide();
}

void TCustomInternetBrowserWindow::StartEngines()
{
    qCDebug(lcBrowser) << "window shown:" << windowTitle();
    m_enginesStarting = true;
    QCoreApplication::postEvent(this, new QEvent(QEvent::Type(kOpenPagesMessage)));
}

void TCustomInternetBrowserWindow::setVisible(bool visible)
{
    if (visible)
        PrepareSurface();
    QWidget::setVisible(visible);
    if (!visible) {
        ArmHibernation();
        ReleaseNativeWindowLater();
    } else if (!isMinimized())
        WakeCurrentTab();
}

void TCustomInternetBrowserWindow::PrepareSurface()
{
    // A Chromium frame draws through OpenGL, and a window that gets its first one while on
    // screen is destroyed and made anew. A child that never shows (so never starts OpenGL)
    // makes the window an OpenGL one from the start; it has to come before the window exists,
    // which a maximized state already brings about. Only where widgets compose through
    // OpenGL: the desktop platforms, with the context the program shares with Chromium, unless
    // the views draw in software.
    if (m_engine != beInternetExplorer || m_surfacePrepared || testAttribute(Qt::WA_WState_Created))
        return;
    const QString platform = QGuiApplication::platformName();
    if ((platform != u"xcb"_s && platform != u"wayland"_s) || WebEngineModule::DrawsInSoftware())
        return;
    m_surfacePrepared = true;
    (new QOpenGLWidget(this))->hide();
}

void TCustomInternetBrowserWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!std::exchange(m_firstShow, false))
        return;
    // The engines start once the window has been drawn, so that it appears at once.
    if (QWindow* handle = windowHandle())
        handle->installEventFilter(this);
    else
        StartEngines();
}

bool TCustomInternetBrowserWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && !m_enginesStarting &&
        (!m_pagesOpened || m_heldPage) && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        StartEngines();
    }
    return QWidget::eventFilter(watched, event);
}

bool TCustomInternetBrowserWindow::event(QEvent* event)
{
    if (int(event->type()) == kOpenPagesMessage) {
        // Unless the user has gone to another tab meanwhile, which shows itself.
        if (QWidget* held = std::exchange(m_heldPage, nullptr); held && held == m_pages->currentWidget())
            held->show();
        OpenPages();
        return true;
    }
    if (event->type() == QEvent::StatusTip) {
        // The hints of the window's own controls show in its status line.
        if (const QString tip = static_cast<QStatusTipEvent*>(event)->tip(); !tip.isEmpty())
            m_statusBar->SetText(tip);
        return true;
    }
    if (event->type() == QEvent::WinIdChange && internalWinId()) {
        qCDebug(lcBrowser) << "native window:" << windowTitle();
        WindowClass::Set(*this, m_windowClassName);
    }
    return QWidget::event(event);
}

void TCustomInternetBrowserWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if (isMinimized() && !(change->oldState() & Qt::WindowMinimized)) {
            m_savedWindowState = (change->oldState() & Qt::WindowMaximized) ? wsMaximized : wsNormal;
            if (m_trayMode)
                QTimer::singleShot(0, this, [this] { HideToTray(); });
            else if (!m_pagesOpened && !m_enginesStarting)
                StartEngines();
            ArmHibernation();
        } else if (!isMinimized() && (change->oldState() & Qt::WindowMinimized)) {
            WakeCurrentTab();
        }
    } else if (event->type() == QEvent::ActivationChange) {
        m_windowActive = isActiveWindow();
        if (m_windowActive) {
            m_hibernation->stop();
            WakeCurrentTab();
        } else {
            ArmHibernation();
        }
        emit ActivationChanged(m_windowActive);
    }
}

void TCustomInternetBrowserWindow::closeEvent(QCloseEvent* event)
{
    if (m_trayMode && !std::exchange(m_closing, false) && TabCount() > 0) {
        event->ignore();
        HideToTray();
        return;
    }
    if (!isMinimized() && isVisible())
        m_savedWindowState = isMaximized() ? wsMaximized : wsNormal;
    event->accept();
    emit WindowClosed();
    // Once only, whatever else the close brings.
    disconnect(this, &TCustomInternetBrowserWindow::WindowClosed, nullptr, nullptr);
}

void TCustomInternetBrowserWindow::OpenPages()
{
    if (m_pagesOpened)
        return;
    m_pagesOpened = true;
    try {
        AddTab(m_siteTitle, true, m_monitor, m_startUrl);
        for (const QString& address : std::as_const(m_tabUrls))
            AddTab(m_siteTitle, false, false, address);
    } catch (const EMorvalenError& error) {
        qWarning("%s", qPrintable(error.Message()));
    }
    UpdateTabControls();
    for (int index = 0; index < TabCount(); ++index)
        Tab(index)->Frame()->Navigate(Tab(index)->StartURL());
    SetActiveTab(0);
    if (!m_windowActive)
        ArmHibernation();
}

TBrowserTab* TCustomInternetBrowserWindow::AddTab(const QString& caption, bool isHome, bool monitored,
                                                  const QString& startUrl)
{
    auto* tab = new TBrowserTab(m_engine, FrameSite(), isHome, monitored, startUrl);
    tab->Frame()->SetSiteSettings(m_siteSettings, m_elementId, m_startUrl);
    tab->Frame()->SetZoomFactor(m_zoomFactor);
    WireTab(*tab);
    m_pages->addTab(tab, caption);
    m_pages->setCurrentWidget(tab);
    return tab;
}

void TCustomInternetBrowserWindow::WireTab(TBrowserTab& tab)
{
    TfrmInternetBrowser* frame = tab.Frame();
    frame->NewWindowFrame = [this] {
        return NewWindowTab();
    };
    frame->SetGeneralSettings(m_siteSettings ? m_siteSettings : m_generalSettings);
    m_downloads->Track(frame);
    connect(frame, &TfrmInternetBrowser::SleepingChanged, this,
            &TCustomInternetBrowserWindow::UpdateSleeping);
    connect(frame, &TfrmInternetBrowser::EngineWentToSleep, this,
            &TCustomInternetBrowserWindow::ReleaseNativeWindowLater);
    connect(frame, &TfrmInternetBrowser::TitleChanged, this,
            [this, &tab](const QString& title) { TabTitleChange(tab, title); });
    connect(frame, &TfrmInternetBrowser::CloseRequested, this, [this, tab = QPointer<TBrowserTab>(&tab)] {
        // Inside the engine's own call: the tab goes once it has returned.
        QTimer::singleShot(0, this, [this, tab] {
            if (tab)
                CloseTab(tab);
        });
    });
    connect(frame, &TfrmInternetBrowser::DocumentCompleted, this, [this, &tab](const QString& address) {
        qCDebug(lcBrowser) << "document complete:" << address;
        if (tab.Monitored())
            emit MonitoredDocumentCompleted();
    });
    connect(frame, &TfrmInternetBrowser::DownloadChanged, m_statusBar, &TBrowserStatusBar::ShowDownload);
    if (tab.IsHome())
        connect(frame, &TfrmInternetBrowser::IconChanged, this, [this](const QIcon& icon) {
            if (!m_takesPageIcon || icon.isNull())
                return;
            SetSiteIcon(icon);
            emit PageIconTaken(icon);
        });
    connect(frame, &TfrmInternetBrowser::FindFinished, this, [this, &tab](int activeMatch, int matches) {
        if (&tab == m_findTab && m_findBar->isVisible())
            m_findBar->ShowResult(activeMatch, matches);
    });
    connect(frame, &TfrmInternetBrowser::FullScreenRequested, this,
            [this, &tab](bool fullScreen) { TabFullScreen(tab, fullScreen); });
}

void TCustomInternetBrowserWindow::ShowDownloads()
{
    if (!m_downloadsView) {
        m_downloadsView = new TBrowserDownloadsView(*m_downloads, this);
        m_downloadsView->setAttribute(Qt::WA_DeleteOnClose);
        m_downloadsView->setWindowTitle(m_siteTitle.isEmpty() ? u"Downloads"_s
                                                              : u"Downloads - %1"_s.arg(m_siteTitle));
    }
    m_downloadsView->show();
    m_downloadsView->raise();
    m_downloadsView->activateWindow();
}

TBrowserDownloadsView* TCustomInternetBrowserWindow::DownloadsView() const
{
    return m_downloadsView;
}

TBrowserTab* TCustomInternetBrowserWindow::NewTab()
{
    TBrowserTab* tab = nullptr;
    try {
        tab = AddTab(m_siteTitle + u" (empty)"_s, false, false, QString());
    } catch (const EMorvalenError& error) {
        qWarning("%s", qPrintable(error.Message()));
        return nullptr;
    }
    UpdateTabControls();
    PagesChange();
    m_header->FocusAddress();
    return tab;
}

void TCustomInternetBrowserWindow::CloseTab(TBrowserTab* tab)
{
    const int index = tab ? m_pages->indexOf(tab) : -1;
    if (index < 0)
        return;
    m_pages->removeTab(index);
    m_downloads->Forget(tab->Frame());
    delete tab;
    if (m_destroying)
        return;
    if (TabCount() == 0) {
        m_closing = true;
        close();
        return;
    }
    m_pages->setCurrentIndex(std::min(index, m_pages->count() - 1));
    PagesChange();
    UpdateTabControls();
}

void TCustomInternetBrowserWindow::UpdateTabControls()
{
    m_header->SetCloseTabVisible(TabCount() >= 2);
    // The hint counts the tabs there are now, not those of the last title change.
    if (const TBrowserTab* tab = ActiveTab(); tab && !tab->Frame()->Title().isEmpty())
        m_tray->SetHint(BrowserTitles::TrayHint(m_siteTitle, tab->Frame()->Title(), TabCount()));
    emit PageTitlesChanged();
}

void TCustomInternetBrowserWindow::NavigateTyped()
{
    if (TBrowserTab* tab = ActiveTab()) {
        tab->Frame()->Navigate(m_header->AddressBox()->text());
        tab->Frame()->setFocus();
    }
}

void TCustomInternetBrowserWindow::CaptureThumbnail()
{
    TBrowserTab* tab = ActiveTab();
    if (!tab)
        return;
    // A page that has not painted yet gives a picture of one colour: the picture waits for the
    // page, and a blank one is taken again once before the window gives up.
    tab->Frame()->WhenPainted([this, tab = QPointer<TBrowserTab>(tab)] { CaptureFrom(tab, true); });
}

void TCustomInternetBrowserWindow::CaptureFrom(TBrowserTab* tab, bool mayRetry)
{
    if (!tab || m_pages->indexOf(tab) < 0)
        return;
    QImage bitmap;
    tab->Frame()->CaptureTo(bitmap);
    if (!TfrmInternetBrowser::IsBlankPicture(bitmap)) {
        emit ThumbnailCaptured(bitmap);
        return;
    }
    if (mayRetry) {
        QTimer::singleShot(kCaptureRetryMs, this,
                           [this, tab = QPointer<TBrowserTab>(tab)] { CaptureFrom(tab, false); });
        return;
    }
    m_statusBar->SetText(u"The page shows nothing yet: no thumbnail was taken."_s);
}

void TCustomInternetBrowserWindow::RememberPages()
{
    QStringList addresses;
    for (int index = 0; index < TabCount(); ++index) {
        if (!Tab(index)->IsHome())
            addresses.append(Tab(index)->Frame()->GetLocationURL());
    }
    emit PagesRemembered(addresses);
    // The command changes nothing on screen; the status line says what it kept.
    m_statusBar->SetText(
        addresses.isEmpty() ? u"Only the site's start page will open next time."_s
        : addresses.size() == 1
            ? u"1 page remembered: it opens beside the start page next time."_s
            : u"%1 pages remembered: they open beside the start page next time."_s.arg(addresses.size()));
}

TBrowserTab* TCustomInternetBrowserWindow::MonitoredTab() const
{
    for (int index = 0; index < TabCount(); ++index) {
        if (Tab(index)->Monitored())
            return Tab(index);
    }
    return nullptr;
}

QString TCustomInternetBrowserWindow::MonitoredPageTitle() const
{
    const TBrowserTab* tab = MonitoredTab();
    return tab ? tab->Frame()->Title() : QString();
}

int TCustomInternetBrowserWindow::TabCount() const
{
    return m_pages->count();
}

TBrowserTab* TCustomInternetBrowserWindow::Tab(int index) const
{
    return qobject_cast<TBrowserTab*>(m_pages->widget(index));
}

TBrowserTab* TCustomInternetBrowserWindow::ActiveTab() const
{
    return qobject_cast<TBrowserTab*>(m_pages->currentWidget());
}

int TCustomInternetBrowserWindow::ActiveTabIndex() const
{
    return m_pages->currentIndex();
}

void TCustomInternetBrowserWindow::SetActiveTab(int index)
{
    // Selecting by key refreshes the header as selecting by mouse does.
    m_pages->setCurrentIndex(index);
    PagesChange();
}

QString TCustomInternetBrowserWindow::TabCaption(int index) const
{
    return m_pages->tabText(index);
}

QString TCustomInternetBrowserWindow::TrayHint() const
{
    return m_tray->Hint();
}

void TCustomInternetBrowserWindow::PagesChange()
{
    TBrowserTab* tab = ActiveTab();
    if (!tab || tab == m_header->CurrentTab())
        return;
    m_header->SetCurrentTab(tab);
    m_statusBar->SetCurrentTab(tab);
    // The find bar searches the page the user sees.
    if (m_findBar->isVisible() && !m_findBar->Text().isEmpty()) {
        m_findBar->ClearResult();
        FindInPage(m_findBar->Text(), false);
    }
}

TfrmInternetBrowser* TCustomInternetBrowserWindow::NewWindowTab()
{
    if (!m_settings || !m_settings->OpenLinksLocally())
        return nullptr;
    try {
        TBrowserTab* tab = AddTab(m_siteTitle, false, false, QString());
        UpdateTabControls();
        return tab->Frame();
    } catch (const EMorvalenError& error) {
        qWarning("%s", qPrintable(error.Message()));
        return nullptr;
    }
}

void TCustomInternetBrowserWindow::TabTitleChange(TBrowserTab& tab, const QString& title)
{
    m_tray->SetHint(BrowserTitles::TrayHint(m_siteTitle, title, TabCount()));
    const int index = m_pages->indexOf(&tab);
    m_pages->setTabText(index, BrowserTitles::ShortenTitle(title, kTabCaptionLimit));
    m_pages->setTabToolTip(index, title);
    emit PageTitlesChanged();
}

void TCustomInternetBrowserWindow::TabFullScreen(TBrowserTab& tab, bool fullScreen)
{
    if (fullScreen == m_fullScreen)
        return;
    m_fullScreen = fullScreen;
    m_header->setVisible(!fullScreen);
    m_statusBar->setVisible(!fullScreen);
    m_pages->tabBar()->setVisible(!fullScreen);
    if (fullScreen) {
        m_pages->setCurrentWidget(&tab);
        m_stateBeforeFullScreen = windowState();
        showFullScreen();
    } else {
        setWindowState(m_stateBeforeFullScreen);
    }
}

void TCustomInternetBrowserWindow::LeaveFullScreen()
{
    if (TBrowserTab* tab = ActiveTab())
        tab->Frame()->ExitFullScreen();
}

void TCustomInternetBrowserWindow::CopyToClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}
