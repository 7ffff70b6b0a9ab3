// The widgets, menus, tray icon and keys of the browser window.

#include "TCustomInternetBrowserWindow.h"

#include "TfrmInternetBrowser.h"
#include "menus/MVMenus.h"
#include "pictures/GraphicTools.h"
#include "progressbar/LabelProgressBar.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

QIcon Icon(const QString& name)
{
    return GraphicTools::LoadIconResource(name);
}

// Back and Forward have pictures of their own for the disabled state.
QIcon TwoStateIcon(const QString& name)
{
    QIcon icon;
    icon.addPixmap(Icon(name).pixmap(16, 16), QIcon::Normal);
    icon.addPixmap(Icon(name + u"_Dis"_s).pixmap(16, 16), QIcon::Disabled);
    return icon;
}

} // namespace

void TCustomInternetBrowserWindow::BuildLayout()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = BuildHeader();
    layout->addWidget(m_header);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(u"pcPages"_s);
    m_pages->setDocumentMode(true);
    m_pages->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pages, &QTabWidget::currentChanged, this, [this] { PagesChange(); });
    connect(m_pages->tabBar(), &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        // The menu belongs to the strip only while there is more than one tab.
        if (m_tabs.size() < 2)
            return;
        const int index = m_pages->tabBar()->tabAt(point);
        if (index >= 0)
            m_menuSheet = m_pages->widget(index);
        m_pmTabs->popup(m_pages->tabBar()->mapToGlobal(point));
    });
    layout->addWidget(m_pages, 1);
    m_statusBar = BuildStatusBar();
    layout->addWidget(m_statusBar);
    BuildMenus();
    m_misc->setMenu(m_pmMisc);
    BuildTray();
    BuildKeys();
}

QWidget* TCustomInternetBrowserWindow::BuildHeader()
{
    auto* header = new QWidget(this);
    header->setObjectName(u"DialogHeader1"_s);
    header->setFixedHeight(29);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(4, 1, 2, 1);
    row->setSpacing(4);

    m_urlTitleImage = new QLabel(header);
    m_urlTitleImage->setObjectName(u"imgURLTitle"_s);
    m_urlTitleImage->setFixedSize(16, 16);
    m_urlTitleImage->setCursor(Qt::PointingHandCursor);
    m_urlTitleImage->installEventFilter(this);
    row->addWidget(m_urlTitleImage);

    m_address = new QLineEdit(header);
    m_address->setObjectName(u"edURLPath"_s);
    connect(m_address, &QLineEdit::returnPressed, this, [this] { NavigateTyped(); });
    row->addWidget(m_address, 1);
    m_pageTitle = new QLabel(header);
    m_pageTitle->setObjectName(u"lbPageTitle"_s);
    QFont bold = m_pageTitle->font();
    bold.setBold(true);
    m_pageTitle->setFont(bold);
    m_pageTitle->setTextFormat(Qt::PlainText);
    m_pageTitle->setMinimumWidth(50);
    m_pageTitle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_pageTitle, 1);

    auto* toolbar = new QToolBar(header);
    toolbar->setObjectName(u"tlbMainToolBar"_s);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back = toolbar->addAction(TwoStateIcon(u"res_Ico_WebBack"_s), u"Back"_s);
    m_back->setObjectName(u"tbtnBack"_s);
    m_back->setEnabled(false);
    connect(m_back, &QAction::triggered, this, [this] {
        if (TBrowsingTabRec* tab = ActiveTab())
            tab->Frame->GoBack();
    });
    m_forward = toolbar->addAction(TwoStateIcon(u"res_Ico_WebForward"_s), u"Forward"_s);
    m_forward->setObjectName(u"tbtnForward"_s);
    m_forward->setEnabled(false);
    connect(m_forward, &QAction::triggered, this, [this] {
        if (TBrowsingTabRec* tab = ActiveTab())
            tab->Frame->GoForward();
    });
    m_refresh = toolbar->addAction(Icon(u"res_Ico_WebRefresh"_s), u"Refresh"_s);
    m_refresh->setObjectName(u"tbtnRefresh"_s);
    connect(m_refresh, &QAction::triggered, this, [this] {
        if (TBrowsingTabRec* tab = ActiveTab())
            tab->Frame->RefreshPage();
    });
    m_misc = new QToolButton(toolbar);
    m_misc->setObjectName(u"tbtnMisc"_s);
    m_misc->setIcon(Icon(u"res_Ico_WebMisc"_s));
    m_misc->setText(u"Options"_s);
    m_misc->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_misc->setPopupMode(QToolButton::InstantPopup);
    m_misc->setAutoRaise(true);
    toolbar->addWidget(m_misc)->setObjectName(u"tbtnMiscAction"_s);
    row->addWidget(toolbar);

    m_closeTab = new QToolButton(header);
    m_closeTab->setObjectName(u"tbtnCloseTab"_s);
    m_closeTab->setIcon(Icon(u"res_Ico_Stop"_s));
    m_closeTab->setAutoRaise(true);
    m_closeTab->setToolTip(u"Close page"_s);
    m_closeTab->hide();
    connect(m_closeTab, &QToolButton::clicked, this, [this] {
        if (TBrowsingTabRec* tab = ActiveTab())
            CloseTab(tab->Sheet);
    });
    row->addWidget(m_closeTab);
    return header;
}

QWidget* TCustomInternetBrowserWindow::BuildStatusBar()
{
    auto* bar = new QWidget(this);
    bar->setObjectName(u"pnStatusBar"_s);
    bar->setFixedHeight(23);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    m_engineImage = new QLabel(bar);
    m_engineImage->setObjectName(u"imgRenderEngine"_s);
    m_engineImage->setFixedSize(16, 16);
    m_engineImage->setToolTip(u"Current rendering engine"_s);
    row->addWidget(m_engineImage);
    m_statusText = new QLabel(bar);
    m_statusText->setObjectName(u"lbStatusText"_s);
    m_statusText->setTextFormat(Qt::PlainText);
    m_statusText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_statusText, 1);
    auto* separator = new QFrame(bar);
    separator->setFrameShape(QFrame::VLine);
    separator->setFrameShadow(QFrame::Sunken);
    row->addWidget(separator);
    m_progress = new TLabelProgressBar(bar);
    m_progress->setObjectName(u"lpbProgress"_s);
    m_progress->setFixedSize(150, 15);
    m_progress->SetMin(0);
    m_progress->SetMax(100);
    row->addWidget(m_progress);
    return bar;
}

void TCustomInternetBrowserWindow::BuildMenus()
{
    m_pmMisc = new TMVPopupMenu(this);
    m_pmMisc->setObjectName(u"pmMisc"_s);
    QAction* newWindow = m_pmMisc->addAction(u"New window"_s, this, [this] { NewTab(); });
    newWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    // Shown in the menu; the window's own key does the work.
    newWindow->setShortcutContext(Qt::WidgetShortcut);
    newWindow->setShortcutVisibleInContextMenu(true);
    m_pmMisc->addAction(u"-"_s);
    m_pmMisc->addAction(u"Capture Screenshot Thumbnail"_s, this, [this] { CaptureThumbnail(); });
    m_pmMisc->addAction(u"Remember Current Web Pages"_s, this, [this] { RememberPages(); });
    m_pmMisc->addAction(u"-"_s);
    m_pmMisc->addAction(u"Copy page Title"_s, this, [this] { CopyToClipboard(m_pageTitle->text()); });
    m_pmMisc->addAction(u"Copy page URL"_s, this, [this] { CopyToClipboard(m_address->text()); });
    // Window managers own the window menu: "Hide to tray" lives here instead.
    m_pmMisc->addAction(u"-"_s);
    m_pmMisc->addAction(u"Hide to tray"_s, this, [this] { HideToTray(); });
    m_pmMisc->PrepareItems();

    m_pmTabs = new TMVPopupMenu(this);
    m_pmTabs->setObjectName(u"pmTabs"_s);
    AddTitleItem(*m_pmTabs, QString())->setObjectName(u"miTabName"_s);
    m_pmTabs->addAction(u"Copy page Title"_s, this, [this] {
        if (TBrowsingTabRec* tab = TabOfSheet(m_menuSheet))
            CopyToClipboard(m_pages->tabText(m_pages->indexOf(tab->Sheet)));
    });
    m_pmTabs->addAction(u"Copy page URL"_s, this, [this] {
        if (TBrowsingTabRec* tab = TabOfSheet(m_menuSheet))
            CopyToClipboard(tab->Frame->GetLocationURL());
    });
    m_pmTabs->addAction(u"-"_s);
    m_pmTabs->addAction(Icon(u"res_Ico_Stop"_s), u"Close page"_s, this, [this] {
        if (TBrowsingTabRec* tab = TabOfSheet(m_menuSheet))
            CloseTab(tab->Sheet);
    });
    connect(m_pmTabs, &QMenu::aboutToShow, this, [this] { TabsMenuAboutToShow(); });
    m_pmTabs->PrepareItems();
}

void TCustomInternetBrowserWindow::TabsMenuAboutToShow()
{
    m_pmTabs->SetTitleIcon(windowIcon());
    const TBrowsingTabRec* tab = TabOfSheet(m_menuSheet);
    m_pmTabs->actions().constFirst()->setStatusTip(tab ? m_pages->tabText(m_pages->indexOf(tab->Sheet))
                                                       : QString());
    m_pmTabs->PrepareItems();
}

void TCustomInternetBrowserWindow::BuildTray()
{
    m_trayMenu = new TMVPopupMenu(this);
    m_trayMenu->setObjectName(u"TrayMenu"_s);
    AddTitleItem(*m_trayMenu, QString());
    m_trayMenu->addAction(u"Show window"_s, this, [this] { ShowRestored(); });
    m_trayMenu->addAction(u"-"_s);
    m_trayMenu->addAction(u"Close"_s, this, [this] {
        // Closing from the tray ends the window, also in tray mode.
        m_closing = true;
        close();
    });
    m_trayMenu->PrepareItems();

    m_trayIcon = new QSystemTrayIcon(this);
    m_trayIcon->setObjectName(u"TrayIcon"_s);
    m_trayIcon->setContextMenu(m_trayMenu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            BringToFront();
    });
}

void TCustomInternetBrowserWindow::BuildKeys()
{
    // The keys act on the window that has the focus (not on every window of the program).
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (m_fullScreen) {
            LeaveFullScreen();
            return;
        }
        if (TBrowsingTabRec* tab = ActiveTab())
            tab->Frame->Stop();
    });
    auto* reload = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(reload, &QShortcut::activated, this, [this] {
        if (TBrowsingTabRec* tab = ActiveTab())
            tab->Frame->RefreshPage();
    });
    auto* newTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), this);
    connect(newTab, &QShortcut::activated, this, [this] { NewTab(); });
    for (int digit = 1; digit <= 9; ++digit) {
        auto* select = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + digit)), this);
        connect(select, &QShortcut::activated, this, [this, digit] {
            if (digit <= TabCount())
                SetActiveTab(digit - 1);
        });
    }
}
