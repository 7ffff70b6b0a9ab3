// The parts, menus and keys of the browser window.

#include "TCustomInternetBrowserWindow.h"

#include "TBrowserFindBar.h"
#include "TBrowserNavigationBar.h"
#include "TBrowserStatusBar.h"
#include "TBrowserTab.h"
#include "TBrowserTray.h"
#include "TfrmInternetBrowser.h"
#include "menus/MVMenus.h"
#include "pictures/GraphicTools.h"

#include <QAction>
#include <QLineEdit>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <initializer_list>
#include <iterator>

using namespace Qt::Literals::StringLiterals;

void TCustomInternetBrowserWindow::BuildLayout()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = new TBrowserNavigationBar(this);
    connect(m_header, &TBrowserNavigationBar::AddressEntered, this, [this] { NavigateTyped(); });
    connect(m_header, &TBrowserNavigationBar::CloseTabClicked, this, [this] { CloseTab(ActiveTab()); });
    layout->addWidget(m_header);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(u"pcPages"_s);
    m_pages->setDocumentMode(true);
    m_pages->tabBar()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_pages, &QTabWidget::currentChanged, this, [this] { PagesChange(); });
    connect(m_pages->tabBar(), &QWidget::customContextMenuRequested, this, [this](const QPoint& point) {
        // The menu belongs to the strip only while there is more than one tab.
        if (TabCount() < 2)
            return;
        const int index = m_pages->tabBar()->tabAt(point);
        if (index >= 0)
            m_menuTab = Tab(index);
        m_pmTabs->popup(m_pages->tabBar()->mapToGlobal(point));
    });
    layout->addWidget(m_pages, 1);
    m_findBar = new TBrowserFindBar(this);
    connect(m_findBar, &TBrowserFindBar::FindRequested, this, &TCustomInternetBrowserWindow::FindInPage);
    connect(m_findBar, &TBrowserFindBar::Closed, this, &TCustomInternetBrowserWindow::CloseFindBar);
    layout->addWidget(m_findBar);
    m_statusBar = new TBrowserStatusBar(this);
    layout->addWidget(m_statusBar);
    BuildMenus();
    m_header->SetOptionsMenu(m_pmMisc);
    m_tray = new TBrowserTray(this);
    connect(m_tray, &TBrowserTray::ShowRequested, this, &TCustomInternetBrowserWindow::BringToFront);
    connect(m_tray, &TBrowserTray::CloseRequested, this, &TCustomInternetBrowserWindow::CloseFromTray);
    BuildKeys();
}

void TCustomInternetBrowserWindow::BuildMenus()
{
    m_pmMisc = new TMVPopupMenu(this);
    m_pmMisc->setObjectName(u"pmMisc"_s);
    // The keys are the window's (BuildKeys, so that they work while the menu is closed); an
    // item shows its key.
    const auto keyItem = [this](const QString& caption, const QKeySequence& key, auto action) {
        QAction* item = m_pmMisc->addAction(caption, this, action);
        item->setObjectName(caption);
        item->setShortcut(key);
        item->setShortcutContext(Qt::WidgetShortcut);
        item->setShortcutVisibleInContextMenu(true);
    };
    keyItem(u"New window"_s, QKeySequence(Qt::CTRL | Qt::Key_N), [this] { NewTab(); });
    keyItem(u"Find in page..."_s, QKeySequence(Qt::CTRL | Qt::Key_F), [this] { OpenFindBar(); });
    m_pmMisc->addAction(u"-"_s);
    m_pmMisc->addAction(u"Capture Screenshot Thumbnail"_s, this, [this] { CaptureThumbnail(); });
    m_pmMisc->addAction(u"Remember Current Web Pages"_s, this, [this] { RememberPages(); });
    m_pmMisc->addAction(u"-"_s);
    keyItem(u"Zoom in"_s, QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { ZoomIn(); });
    keyItem(u"Zoom out"_s, QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { ZoomOut(); });
    keyItem(u"Actual size"_s, QKeySequence(Qt::CTRL | Qt::Key_0), [this] { ResetZoom(); });
    m_pmMisc->addAction(u"-"_s);
    m_pmMisc->addAction(u"Copy page Title"_s, this, [this] { CopyToClipboard(m_header->PageTitle()); });
    m_pmMisc->addAction(u"Copy page URL"_s, this,
                        [this] { CopyToClipboard(m_header->AddressBox()->text()); });
    // Window managers own the window menu: "Hide to tray" lives here instead.
    m_pmMisc->addAction(u"-"_s);
    m_pmMisc->addAction(u"Hide to tray"_s, this, [this] { HideToTray(); });
    // The window's other keys, those without an item of their own, listed where a browser
    // lists them.
    m_pmMisc->addAction(u"-"_s);
    QMenu* keys = m_pmMisc->addMenu(u"Keys"_s);
    keys->setObjectName(u"pmKeys"_s);
    for (const auto& [text, key] : KeyList()) {
        QAction* item = keys->addAction(text);
        item->setShortcut(key);
        item->setShortcutContext(Qt::WidgetShortcut);
        item->setShortcutVisibleInContextMenu(true);
        item->setEnabled(false);
    }
    m_pmMisc->PrepareItems();

    m_pmTabs = new TMVPopupMenu(this);
    m_pmTabs->setObjectName(u"pmTabs"_s);
    AddTitleItem(*m_pmTabs, QString())->setObjectName(u"miTabName"_s);
    m_pmTabs->addAction(u"Copy page Title"_s, this, [this] {
        if (m_menuTab)
            CopyToClipboard(m_pages->tabText(m_pages->indexOf(m_menuTab)));
    });
    m_pmTabs->addAction(u"Copy page URL"_s, this, [this] {
        if (m_menuTab)
            CopyToClipboard(m_menuTab->Frame()->GetLocationURL());
    });
    m_pmTabs->addAction(u"-"_s);
    m_pmTabs->addAction(GraphicTools::LoadIconResource(u"res_Ico_Stop"_s), u"Close page"_s, this,
                        [this] { CloseTab(m_menuTab); });
    connect(m_pmTabs, &QMenu::aboutToShow, this, [this] { TabsMenuAboutToShow(); });
    m_pmTabs->PrepareItems();
}

void TCustomInternetBrowserWindow::TabsMenuAboutToShow()
{
    m_pmTabs->SetTitleIcon(windowIcon());
    m_pmTabs->actions().constFirst()->setStatusTip(m_menuTab ? m_pages->tabText(m_pages->indexOf(m_menuTab))
                                                             : QString());
    m_pmTabs->PrepareItems();
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
        if (m_findBar->isVisible()) {
            CloseFindBar();
            return;
        }
        if (TBrowserTab* tab = ActiveTab())
            tab->Frame()->Stop();
    });
    auto* reload = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(reload, &QShortcut::activated, this, [this] {
        if (TBrowserTab* tab = ActiveTab())
            tab->Frame()->RefreshPage();
    });
    auto* newTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), this);
    connect(newTab, &QShortcut::activated, this, [this] { NewTab(); });
    const auto onKeys = [this](std::initializer_list<QKeySequence> sequences, auto action) {
        for (const QKeySequence& sequence : sequences)
            connect(new QShortcut(sequence, this), &QShortcut::activated, this, action);
    };
    const auto onPage = [this](auto action) {
        return [this, action] {
            if (TBrowserTab* tab = ActiveTab())
                action(*tab->Frame());
        };
    };
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)}, [this] {
        if (TBrowserTab* tab = ActiveTab())
            CloseTab(tab);
    });
    onKeys({QKeySequence(Qt::ALT | Qt::Key_Left)}, onPage([](TfrmInternetBrowser& page) { page.GoBack(); }));
    onKeys({QKeySequence(Qt::ALT | Qt::Key_Right)},
           onPage([](TfrmInternetBrowser& page) { page.GoForward(); }));
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_R)},
           onPage([](TfrmInternetBrowser& page) { page.RefreshPage(); }));
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_L)}, [this] {
        m_header->AddressBox()->setFocus(Qt::ShortcutFocusReason);
        m_header->AddressBox()->selectAll();
    });
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_Q)}, [this] { emit QuitRequested(); });
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_J)}, [this] { ShowDownloads(); });
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_F)}, [this] { OpenFindBar(); });
    onKeys({QKeySequence(Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_G)}, [this] { FindAgain(false); });
    onKeys({QKeySequence(Qt::SHIFT | Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G)},
           [this] { FindAgain(true); });
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
           [this] { NextTab(); });
    onKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
           [this] { PreviousTab(); });
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
           [this] { ZoomIn(); });
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, [this] { ZoomOut(); });
    onKeys({QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { ResetZoom(); });
    // Ctrl+0 is the zoom's; the tabs have 1 to 9.
    for (int digit = 1; digit <= 9; ++digit) {
        auto* select = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + digit)), this);
        connect(select, &QShortcut::activated, this, [this, digit] {
            if (digit <= TabCount())
                SetActiveTab(digit - 1);
        });
    }
}

std::vector<std::pair<QString, QKeySequence>> TCustomInternetBrowserWindow::KeyList()
{
    return {{u"Close page"_s, QKeySequence(Qt::CTRL | Qt::Key_W)},
            {u"Back"_s, QKeySequence(Qt::ALT | Qt::Key_Left)},
            {u"Forward"_s, QKeySequence(Qt::ALT | Qt::Key_Right)},
            {u"Reload"_s, QKeySequence(Qt::CTRL | Qt::Key_R)},
            {u"Go to the address box"_s, QKeySequence(Qt::CTRL | Qt::Key_L)},
            {u"Next page"_s, QKeySequence(Qt::CTRL | Qt::Key_Tab)},
            {u"Previous page"_s, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
            {u"Downloads"_s, QKeySequence(Qt::CTRL | Qt::Key_J)},
            {u"Find next"_s, QKeySequence(Qt::Key_F3)},
            {u"Find previous"_s, QKeySequence(Qt::SHIFT | Qt::Key_F3)},
            {u"Quit Morvalen Desktop"_s, QKeySequence(Qt::CTRL | Qt::Key_Q)}};
}

void TCustomInternetBrowserWindow::OpenFindBar()
{
    m_findBar->Open();
}

void TCustomInternetBrowserWindow::FindAgain(bool backward)
{
    if (m_findBar->Text().isEmpty()) {
        OpenFindBar();
        return;
    }
    m_findBar->show();
    FindInPage(m_findBar->Text(), backward);
}

void TCustomInternetBrowserWindow::FindInPage(const QString& text, bool backward)
{
    TBrowserTab* tab = ActiveTab();
    if (m_findTab && m_findTab != tab)
        m_findTab->Frame()->StopFinding();
    m_findTab = tab;
    if (!tab)
        return;
    if (text.isEmpty()) {
        tab->Frame()->StopFinding();
        m_findBar->ClearResult();
        return;
    }
    tab->Frame()->FindText(text, backward);
}

void TCustomInternetBrowserWindow::CloseFindBar()
{
    m_findBar->hide();
    m_findBar->ClearResult();
    if (m_findTab)
        m_findTab->Frame()->StopFinding();
    m_findTab = nullptr;
    // The keyboard goes back to the page the bar searched.
    if (TBrowserTab* tab = ActiveTab())
        tab->Frame()->setFocus(Qt::OtherFocusReason);
}

void TCustomInternetBrowserWindow::NextTab()
{
    if (TabCount() > 1)
        SetActiveTab((ActiveTabIndex() + 1) % TabCount());
}

void TCustomInternetBrowserWindow::PreviousTab()
{
    if (TabCount() > 1)
        SetActiveTab((ActiveTabIndex() + TabCount() - 1) % TabCount());
}

QMenu* TCustomInternetBrowserWindow::MiscMenu() const
{
    return m_pmMisc;
}

QMenu* TCustomInternetBrowserWindow::TabsMenu() const
{
    return m_pmTabs;
}
