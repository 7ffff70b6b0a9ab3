#include "TCustomInternetBrowserWindow.h"

#include "BrowserFrames.h"
#include "BrowserTitles.h"
#include "TfrmInternetBrowser.h"
#include "common/Errors.h"
#include "menus/MVMenus.h"
#include "pictures/GraphicTools.h"
#include "progressbar/LabelProgressBar.h"
#include "settings/TApplicationsSettings.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

using namespace Qt::Literals::StringLiterals;

// What the windows do, for tests and for whoever wonders what a window loaded:
// QT_LOGGING_RULES="morvalen.browser.debug=true".
Q_LOGGING_CATEGORY(lcBrowser, "morvalen.browser", QtWarningMsg)

TCustomInternetBrowserWindow::TCustomInternetBrowserWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(u"TCustomInternetBrowserWindow"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(500, 300);
    BuildLayout();
    m_pageTitle->clear();
    m_address->clear();
    m_statusText->clear();
    m_progress->SetPosition(0);
    SetShowURL(true);
    ShowEngineImage();
    // Hints of the window's own controls show in its status line.
    for (QWidget* widget : findChildren<QWidget*>())
        widget->installEventFilter(this);
}

TCustomInternetBrowserWindow::~TCustomInternetBrowserWindow()
{
    m_destroying = true;
    while (!m_tabs.empty())
        CloseTab(m_tabs.back()->Sheet);
    if (m_trayIcon)
        m_trayIcon->hide();
}

void TCustomInternetBrowserWindow::SetBrowserEngine(uint8_t engine)
{
    m_engine = engine;
    ShowEngineImage();
    PrepareSurface();
}

void TCustomInternetBrowserWindow::ShowEngineImage()
{
    m_engineImage->setPixmap(QPixmap::fromImage(
        GraphicTools::LoadPngResource(m_engine == beFireFox ? u"brFireFox"_s : u"brIE"_s)));
}

void TCustomInternetBrowserWindow::SetSiteTitle(const QString& title)
{
    m_siteTitle = title;
    setWindowTitle(BrowserTitles::WindowCaption(title));
    m_trayMenu->actions().constFirst()->setStatusTip(title);
    m_trayMenu->PrepareItems();
    if (m_trayIcon->toolTip().isEmpty())
        m_trayIcon->setToolTip(title);
}

void TCustomInternetBrowserWindow::SetSiteIcon(const QIcon& icon)
{
    setWindowIcon(icon);
    m_trayIcon->setIcon(icon);
    m_trayMenu->SetTitleIcon(icon);
}

void TCustomInternetBrowserWindow::SetTrayMode(bool trayMode)
{
    m_trayMode = trayMode;
    m_trayIcon->setVisible(trayMode);
}

void TCustomInternetBrowserWindow::SetStandalone(bool standalone)
{
    m_standalone = standalone;
    m_misc->setVisible(!standalone);
}

void TCustomInternetBrowserWindow::SetShowURL(bool showUrl)
{
    m_showUrl = showUrl;
    m_address->setVisible(showUrl);
    m_pageTitle->setVisible(!showUrl);
    m_urlTitleImage->setPixmap(
        QPixmap::fromImage(GraphicTools::LoadPngResource(showUrl ? u"cbGlyphClose"_s : u"cbGlyphOpen"_s)));
    m_urlTitleImage->setToolTip(showUrl ? u"Click to view Page Title"_s : u"Click to view Page URL"_s);
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
    m_trayIcon->show();
    hide();
    // A window hidden before it was ever on screen still loads its pages (a watched site).
    if (!m_pagesOpened && !m_enginesStarting)
        StartEngines();
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
}

void TCustomInternetBrowserWindow::PrepareSurface()
{
    // A Chromium frame draws through OpenGL, and a window that gets its first one while on
    // screen is destroyed and made anew. A child that never shows (so never starts OpenGL)
    // makes the window an OpenGL one from the start; it has to come before the window exists,
    // which a maximized state already brings about. Only where widgets compose through
    // OpenGL: the desktop platforms, with the context the program shares with Chromium.
    if (m_engine != beInternetExplorer || m_surfacePrepared || testAttribute(Qt::WA_WState_Created))
        return;
    const QString platform = QGuiApplication::platformName();
    if ((platform != u"xcb"_s && platform != u"wayland"_s) || !QOpenGLContext::globalShareContext())
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
        !m_pagesOpened && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        StartEngines();
    } else if (watched == m_urlTitleImage && event->type() == QEvent::MouseButtonRelease) {
        SetShowURL(!m_showUrl);
        return true;
    } else if (event->type() == QEvent::ToolTip) {
        // Hints show in the status line, as the program's browser windows always did.
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && !widget->toolTip().isEmpty()) {
            m_statusText->setText(widget->toolTip());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TCustomInternetBrowserWindow::event(QEvent* event)
{
    if (int(event->type()) == kOpenPagesMessage) {
        OpenPages();
        return true;
    }
    if (event->type() == QEvent::WinIdChange && internalWinId())
        qCDebug(lcBrowser) << "native window:" << windowTitle();
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
        }
    } else if (event->type() == QEvent::ActivationChange) {
        m_windowActive = isActiveWindow();
        if (OnActivationChange)
            OnActivationChange(*this, m_windowActive);
    }
}

void TCustomInternetBrowserWindow::closeEvent(QCloseEvent* event)
{
    if (m_trayMode && !std::exchange(m_closing, false) && !m_tabs.empty()) {
        event->ignore();
        HideToTray();
        return;
    }
    if (!isMinimized() && isVisible())
        m_savedWindowState = isMaximized() ? wsMaximized : wsNormal;
    event->accept();
    if (OnWindowClosed)
        OnWindowClosed(*this);
    OnWindowClosed = nullptr;
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
    for (const auto& tab : m_tabs)
        tab->Frame->Navigate(tab->StartURL);
    SetActiveTab(0);
}

TBrowsingTabRec* TCustomInternetBrowserWindow::AddTab(const QString& caption, bool isHome, bool monitored,
                                                      const QString& startUrl)
{
    auto* sheet = new QWidget;
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    TfrmInternetBrowser* frame = nullptr;
    try {
        frame = BrowserFrames::Create(m_engine, sheet);
    } catch (...) {
        delete sheet;
        throw;
    }
    layout->addWidget(frame);
    auto tab = std::make_unique<TBrowsingTabRec>();
    tab->Frame = frame;
    tab->Sheet = sheet;
    tab->IsHome = isHome;
    tab->Monitored = monitored;
    tab->StartURL = startUrl;
    TBrowsingTabRec* added = tab.get();
    m_tabs.push_back(std::move(tab));
    WireFrame(*frame);
    m_pages->addTab(sheet, caption);
    m_pages->setCurrentWidget(sheet);
    return added;
}

void TCustomInternetBrowserWindow::WireFrame(TfrmInternetBrowser& frame)
{
    frame.OnNewWindow = [this](TfrmInternetBrowser& sender, QObject*& target) {
        FrameNewWindow(sender, target);
    };
    frame.OnTitleChange = [this](TfrmInternetBrowser& sender, const QString& title) {
        FrameTitleChange(sender, title);
    };
    frame.OnCommandStateChange = [this](TfrmInternetBrowser& sender) {
        FrameCommandStateChange(sender);
    };
    frame.OnStatusTextChange = [this](TfrmInternetBrowser& sender) {
        FrameStatusTextChange(sender);
    };
    frame.OnProgressChange = [this](TfrmInternetBrowser& sender) {
        FrameProgressChange(sender);
    };
    frame.OnCloseQuery = [this](TfrmInternetBrowser& sender, bool&) {
        FrameCloseQuery(sender);
    };
    frame.OnDocumentComplete = [this](TfrmInternetBrowser& sender, const QString&) {
        FrameDocumentComplete(sender);
    };
    frame.OnDownload = [this](TfrmInternetBrowser& sender, const TBrowserDownloadRec& download) {
        FrameDownload(sender, download);
    };
    frame.OnFullScreen = [this](TfrmInternetBrowser& sender, bool fullScreen) {
        FrameFullScreen(sender, fullScreen);
    };
}

TBrowsingTabRec* TCustomInternetBrowserWindow::NewTab()
{
    TBrowsingTabRec* tab = nullptr;
    try {
        tab = AddTab(m_siteTitle + u" (empty)"_s, false, false, QString());
    } catch (const EMorvalenError& error) {
        qWarning("%s", qPrintable(error.Message()));
        return nullptr;
    }
    UpdateTabControls();
    PagesChange();
    if (m_showUrl) {
        m_address->setFocus();
        m_address->deselect();
        m_address->end(false);
    }
    return tab;
}

void TCustomInternetBrowserWindow::CloseTab(QWidget* sheet)
{
    const auto found = std::find_if(m_tabs.begin(), m_tabs.end(),
                                    [sheet](const auto& tab) { return sheet && tab->Sheet == sheet; });
    if (found == m_tabs.end())
        return;
    TfrmInternetBrowser* frame = (*found)->Frame;
    frame->ClearEvents();
    frame->Stop();
    const int index = m_pages->indexOf(sheet);
    m_tabs.erase(found);
    m_pages->removeTab(index);
    delete sheet;
    if (m_destroying)
        return;
    if (m_tabs.empty()) {
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
    m_closeTab->setVisible(m_tabs.size() >= 2);
    // The hint counts the tabs there are now, not those of the last title change.
    if (const TBrowsingTabRec* tab = ActiveTab(); tab && !tab->Frame->Title().isEmpty())
        m_trayIcon->setToolTip(BrowserTitles::TrayHint(m_siteTitle, tab->Frame->Title(), TabCount()));
}

void TCustomInternetBrowserWindow::NavigateTyped()
{
    TBrowsingTabRec* tab = ActiveTab();
    if (!tab)
        return;
    const QString address = m_address->text();
    bool allow = true;
    if (OnNavigateURL)
        OnNavigateURL(*this, address, allow);
    if (!allow)
        return;
    tab->Frame->Navigate(address);
    tab->Frame->setFocus();
}

void TCustomInternetBrowserWindow::CaptureThumbnail()
{
    TBrowsingTabRec* tab = ActiveTab();
    if (!tab || !OnThumbnail)
        return;
    QImage bitmap;
    tab->Frame->CaptureTo(bitmap);
    OnThumbnail(*this, bitmap);
}

void TCustomInternetBrowserWindow::RememberPages()
{
    if (!OnRememberPages)
        return;
    QStringList addresses;
    for (const auto& tab : m_tabs) {
        if (!tab->IsHome)
            addresses.append(tab->Frame->GetLocationURL());
    }
    OnRememberPages(*this, addresses);
}

TBrowsingTabRec* TCustomInternetBrowserWindow::MonitoredTab() const
{
    for (const auto& tab : m_tabs) {
        if (tab->Monitored)
            return tab.get();
    }
    return nullptr;
}

QString TCustomInternetBrowserWindow::MonitoredPageTitle() const
{
    const TBrowsingTabRec* tab = MonitoredTab();
    return tab ? tab->Frame->Title() : QString();
}

TBrowsingTabRec* TCustomInternetBrowserWindow::ActiveTab() const
{
    return TabOfSheet(m_pages->currentWidget());
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
    return m_trayIcon->toolTip();
}

QString TCustomInternetBrowserWindow::StatusText() const
{
    return m_statusText->text();
}

QString TCustomInternetBrowserWindow::PageTitleText() const
{
    return m_pageTitle->text();
}

bool TCustomInternetBrowserWindow::BackEnabled() const
{
    return m_back->isEnabled();
}

bool TCustomInternetBrowserWindow::ForwardEnabled() const
{
    return m_forward->isEnabled();
}

bool TCustomInternetBrowserWindow::CloseTabButtonVisible() const
{
    return !m_closeTab->isHidden();
}

QMenu* TCustomInternetBrowserWindow::MiscMenu() const
{
    return m_pmMisc;
}

QMenu* TCustomInternetBrowserWindow::TabsMenu() const
{
    return m_pmTabs;
}

QMenu* TCustomInternetBrowserWindow::TrayMenu() const
{
    return m_trayMenu;
}

TBrowsingTabRec* TCustomInternetBrowserWindow::TabOfFrame(const TfrmInternetBrowser& frame) const
{
    for (const auto& tab : m_tabs) {
        if (tab->Frame == &frame)
            return tab.get();
    }
    return nullptr;
}

TBrowsingTabRec* TCustomInternetBrowserWindow::TabOfSheet(const QWidget* sheet) const
{
    for (const auto& tab : m_tabs) {
        if (sheet && tab->Sheet == sheet)
            return tab.get();
    }
    return nullptr;
}

bool TCustomInternetBrowserWindow::IsActive(const TBrowsingTabRec& tab) const
{
    return m_pages->currentWidget() == tab.Sheet;
}

void TCustomInternetBrowserWindow::PagesChange()
{
    const TBrowsingTabRec* tab = ActiveTab();
    if (!tab)
        return;
    const TfrmInternetBrowser& frame = *tab->Frame;
    m_back->setEnabled(frame.CanGoBack());
    m_forward->setEnabled(frame.CanGoForward());
    m_statusText->setText(frame.StatusText());
    m_pageTitle->setText(frame.Title());
    m_address->setText(frame.GetLocationURL());
    m_progress->SetMax(std::max(frame.ProgressMax(), 1));
    m_progress->SetPosition(frame.Progress() == frame.ProgressMax() ? 0 : frame.Progress());
}

void TCustomInternetBrowserWindow::ShowProgress(const TfrmInternetBrowser& frame)
{
    m_progress->SetMax(std::max(frame.ProgressMax(), 1));
    m_progress->SetPosition(frame.Progress() == frame.ProgressMax() ? 0 : frame.Progress());
}

void TCustomInternetBrowserWindow::FrameNewWindow(TfrmInternetBrowser& frame, QObject*& target)
{
    if (!TabOfFrame(frame) || !m_settings || !m_settings->OpenLinksLocally())
        return;
    try {
        TBrowsingTabRec* tab = AddTab(m_siteTitle, false, false, QString());
        UpdateTabControls();
        target = tab->Frame->GetApplication();
    } catch (const EMorvalenError& error) {
        qWarning("%s", qPrintable(error.Message()));
    }
}

void TCustomInternetBrowserWindow::FrameTitleChange(TfrmInternetBrowser& frame, const QString& title)
{
    TBrowsingTabRec* tab = TabOfFrame(frame);
    if (!tab)
        return;
    m_trayIcon->setToolTip(BrowserTitles::TrayHint(m_siteTitle, title, TabCount()));
    m_pages->setTabText(m_pages->indexOf(tab->Sheet), BrowserTitles::ShortenTitle(title, kTabCaptionLimit));
    m_pages->setTabToolTip(m_pages->indexOf(tab->Sheet), title);
    if (IsActive(*tab)) {
        m_pageTitle->setText(title);
        m_address->setText(frame.GetLocationURL());
    }
}

void TCustomInternetBrowserWindow::FrameCommandStateChange(TfrmInternetBrowser& frame)
{
    const TBrowsingTabRec* tab = TabOfFrame(frame);
    if (!tab || !IsActive(*tab))
        return;
    m_back->setEnabled(frame.CanGoBack());
    m_forward->setEnabled(frame.CanGoForward());
}

void TCustomInternetBrowserWindow::FrameStatusTextChange(TfrmInternetBrowser& frame)
{
    const TBrowsingTabRec* tab = TabOfFrame(frame);
    if (tab && IsActive(*tab))
        m_statusText->setText(frame.StatusText());
}

void TCustomInternetBrowserWindow::FrameProgressChange(TfrmInternetBrowser& frame)
{
    const TBrowsingTabRec* tab = TabOfFrame(frame);
    if (tab && IsActive(*tab))
        ShowProgress(frame);
}

void TCustomInternetBrowserWindow::FrameCloseQuery(TfrmInternetBrowser& frame)
{
    const TBrowsingTabRec* tab = TabOfFrame(frame);
    if (!tab)
        return;
    // Inside the engine's own call: the tab goes once it has returned.
    QTimer::singleShot(0, this, [this, sheet = QPointer<QWidget>(tab->Sheet)] {
        if (sheet)
            CloseTab(sheet);
    });
}

void TCustomInternetBrowserWindow::FrameDocumentComplete(TfrmInternetBrowser& frame)
{
    const TBrowsingTabRec* tab = TabOfFrame(frame);
    if (!tab)
        return;
    qCDebug(lcBrowser) << "document complete:" << frame.GetLocationURL();
    if (IsActive(*tab))
        m_address->setText(frame.GetLocationURL());
    if (tab->Monitored && OnMonitoredDocumentComplete)
        OnMonitoredDocumentComplete(*this, frame);
}

void TCustomInternetBrowserWindow::FrameDownload(TfrmInternetBrowser& frame,
                                                 const TBrowserDownloadRec& download)
{
    if (!TabOfFrame(frame))
        return;
    const QString name = QFileInfo(download.FileName).fileName();
    const QLocale locale;
    switch (download.State) {
    case TBrowserDownloadRec::dsRunning: {
        const int percent = download.Total > 0 ? int(download.Received * 100 / download.Total) : 0;
        m_statusText->setText(
            download.Total > 0
                ? u"Downloading %1: %2 of %3"_s.arg(name, locale.formattedDataSize(download.Received),
                                                    locale.formattedDataSize(download.Total))
                : u"Downloading %1: %2"_s.arg(name, locale.formattedDataSize(download.Received)));
        m_progress->SetMax(100);
        m_progress->SetPosition(percent);
        break;
    }
    case TBrowserDownloadRec::dsFinished:
        m_statusText->setText(u"Downloaded %1"_s.arg(download.FileName));
        m_progress->SetPosition(0);
        break;
    case TBrowserDownloadRec::dsCancelled:
        m_statusText->setText(u"Download of %1 cancelled"_s.arg(name));
        m_progress->SetPosition(0);
        break;
    case TBrowserDownloadRec::dsFailed:
        m_statusText->setText(u"Download of %1 failed"_s.arg(name));
        m_progress->SetPosition(0);
        QMessageBox::warning(this, windowTitle(),
                             u"The download of %1 failed: %2"_s.arg(
                                 name, download.Error.isEmpty() ? u"unknown reason"_s : download.Error));
        break;
    }
}

void TCustomInternetBrowserWindow::FrameFullScreen(TfrmInternetBrowser& frame, bool fullScreen)
{
    const TBrowsingTabRec* tab = TabOfFrame(frame);
    if (!tab || fullScreen == m_fullScreen)
        return;
    m_fullScreen = fullScreen;
    m_header->setVisible(!fullScreen);
    m_statusBar->setVisible(!fullScreen);
    m_pages->tabBar()->setVisible(!fullScreen);
    if (fullScreen) {
        m_pages->setCurrentWidget(tab->Sheet);
        m_stateBeforeFullScreen = windowState();
        showFullScreen();
    } else {
        setWindowState(m_stateBeforeFullScreen);
    }
}

void TCustomInternetBrowserWindow::LeaveFullScreen()
{
    if (TBrowsingTabRec* tab = ActiveTab())
        tab->Frame->ExitFullScreen();
}

void TCustomInternetBrowserWindow::CopyToClipboard(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}
