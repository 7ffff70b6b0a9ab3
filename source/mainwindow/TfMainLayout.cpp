// The main window's widgets: header, tabs, disk-space warning, status line, menus, tray.

#include "TfMain.h"

#include "TMainSchedule.h"
#include "TSiteBrowsers.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "dialogs/DialogParts.h"
#include "dialogs/ModalResult.h"
#include "dialogs/TfAboutDlg.h"
#include "dialogs/TfSettingsDlg.h"
#include "markup/HtmlLabel.h"
#include "menus/MVMenus.h"
#include "notify/TSiteNotifications.h"
#include "panels/TDialogHeader.h"
#include "panels/TSpecialFrame.h"
#include "pictures/GraphicTools.h"
#include "progressbar/LabelProgressBar.h"
#include "progressbar/StatusBusyBar.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteSettings.h"
#include "stores/TFileCacheManager.h"

#include <QAction>
#include <QBoxLayout>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

// The logo in the header: a picture that opens the program's web site.
class TLogoLabel final : public QLabel
{
public:
    using QLabel::QLabel;
    std::function<void()> OnClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
            OnClick();
    }
};

QPixmap Picture(const char16_t* name)
{
    return QPixmap::fromImage(
        GraphicTools::LoadPngResource(QString::fromUtf16(name), GraphicTools::ProgramPixelRatio()));
}

QIcon Icon(const char16_t* name)
{
    return GraphicTools::LoadIconResource(QString::fromUtf16(name));
}

// One main tab: an empty page the catalog views or the installed sites fill.
QWidget* AddPage(QTabWidget* tabs, const QString& name, const QString& caption)
{
    auto* page = new QWidget(tabs);
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    tabs->addTab(page, caption);
    return page;
}

} // namespace

void TfMain::BuildLayout()
{
    setWindowIcon(Picture(u"png_Web"));
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    layout->addWidget(BuildHeader());

    m_mainTabs = new QTabWidget(central);
    m_mainTabs->setObjectName(u"pcMainTabs"_s);
    m_mainTabs->setDocumentMode(true);
    AddPage(m_mainTabs, u"tbsWhatsNew"_s, u"What's New"_s);
    AddPage(m_mainTabs, u"tbsRecommended"_s, u"Recommended"_s);
    AddPage(m_mainTabs, u"tbsPopular"_s, u"Popular"_s);
    AddPage(m_mainTabs, u"tbsHighestRated"_s, u"Highest Rated"_s);
    AddPage(m_mainTabs, u"tbsCategories"_s, u"Categories"_s);
    // The installed sites build into their page.
    AddPage(m_mainTabs, u"tbsInstalled"_s, u"Installed"_s);
    // Whatever way the user picks a page (the tab strip, the View menu, the keyboard) counts
    // as a choice; a page the program shows, or that takes over from a tab being hidden,
    // does not.
    connect(m_mainTabs, &QTabWidget::tabBarClicked, this, [this] { m_pageChosen = true; });
    connect(m_mainTabs, &QTabWidget::currentChanged, this, [this](int page) {
        if (!m_showingPage && m_mainTabs->isTabVisible(m_shownPage))
            m_pageChosen = true;
        m_shownPage = page;
    });
    layout->addWidget(m_mainTabs, 1);

    m_diskSpaceWarning = BuildDiskSpaceWarning();
    layout->addWidget(m_diskSpaceWarning);
    layout->addWidget(BuildStatusBar());
    setCentralWidget(central);

    BuildMainMenu();
    BuildTray();
}

QWidget* TfMain::BuildHeader()
{
    auto* header = new TDialogHeader(this);
    header->setObjectName(u"DialogHeader2"_s);
    header->SetBottomBorder(bbShadowed);
    header->setFixedHeight(60);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(8, 4, 8, 6);
    row->setSpacing(12);

    auto* logo = new TLogoLabel(header);
    logo->setObjectName(u"imgMainLogo"_s);
    logo->setPixmap(Picture(u"png_MorvalenProLogo"));
    logo->setCursor(Qt::PointingHandCursor);
    logo->setToolTip(u"Visit the Morvalen Desktop web site"_s);
    logo->OnClick = [this] {
        OpenWebPage(ServerUrl(u"/"_s), u"Morvalen Desktop web site"_s, false);
    };
    row->addWidget(logo);
    row->addStretch(1);

    m_searchPanel = new QWidget(header);
    m_searchPanel->setObjectName(u"pnSearch"_s);
    auto* searchRow = new QHBoxLayout(m_searchPanel);
    searchRow->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_searchPanel);

    auto* addSite = new QAction(Icon(u"res_Ico_AddSite"), u"Add site"_s, header);
    addSite->setObjectName(u"tbtnAddWebSite"_s);
    addSite->setToolTip(u"Install the chosen application, or a web site of your own"_s);
    connect(addSite, &QAction::triggered, this, [this] { m_installedSites->AddSiteOrInstall(); });
    QAction* refresh = new QAction(Icon(u"res_Ico_Reload"), u"Refresh"_s, header);
    refresh->setObjectName(u"tbtnRefresh"_s);
    refresh->setToolTip(u"Get the latest Web 2.0 applications"_s);
    connect(refresh, &QAction::triggered, this, [this] { RefreshCatalog(); });
    auto* tools = new QHBoxLayout;
    tools->setSpacing(2);
    for (QAction* action : {addSite, refresh})
        tools->addWidget(DialogParts::ToolButton(header, action));
    row->addLayout(tools);
    return header;
}

TDialogHeader* TfMain::BuildDiskSpaceWarning()
{
    auto* header = new TDialogHeader(this);
    header->setObjectName(u"dhDiskSpaceWarning"_s);
    header->SetColor(0xE1FFFF); // a light yellow that reads as a warning
    header->SetBottomBorder(bbSolid);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(10, 6, 6, 6);
    row->setSpacing(10);
    auto* picture = new QLabel(header);
    picture->setPixmap(Picture(u"png_HDDError"));
    row->addWidget(picture, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    m_diskSpaceTitle = new QLabel(u"Not enough disk space!"_s, header);
    m_diskSpaceTitle->setObjectName(u"lbHddErrorTitle"_s);
    QFont bold = m_diskSpaceTitle->font();
    bold.setBold(true);
    m_diskSpaceTitle->setFont(bold);
    texts->addWidget(m_diskSpaceTitle);
    m_diskSpaceDescription = new THtmlLabel(header);
    m_diskSpaceDescription->setObjectName(u"lbHddErrorDescription"_s);
    m_diskSpaceDescription->setMinimumHeight(28);
    texts->addWidget(m_diskSpaceDescription);
    row->addLayout(texts, 1);
    auto* close = new QToolButton(header);
    close->setObjectName(u"tbtnCloseHDDTab"_s);
    close->setIcon(Picture(u"cbGlyphClose"));
    close->setAutoRaise(true);
    close->setToolTip(u"Hide this warning"_s);
    connect(close, &QToolButton::clicked, this, [this] { HideDiskSpaceWarning(); });
    row->addWidget(close, 0, Qt::AlignTop);
    header->hide();
    return header;
}

QWidget* TfMain::BuildStatusBar()
{
    auto* frame = new TSpecialFrame(this);
    frame->setObjectName(u"SpecialFrame1"_s);
    frame->setFixedHeight(26);
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(8, 3, 6, 3);
    m_statusText = new THtmlLabel(frame);
    m_statusText->setObjectName(u"hlbStatusText"_s);
    m_statusText->SetCaption(u"Welcome to <b>Morvalen Desktop</b>!"_s);
    row->addWidget(m_statusText, 1);
    m_busyBar = new TLabelProgressBar(frame);
    m_busyBar->setObjectName(u"lpbBusyProgress"_s);
    SetUpStatusBusyBar(*m_busyBar);
    m_busyBar->setFixedSize(150, m_busyBar->sizeHint().height());
    row->addWidget(m_busyBar, 0, Qt::AlignVCenter);

    m_schedule->OnBusyStart = [this] {
        if (!m_busyBar->AnimationMode())
            m_busyBar->SetAnimationMode(true);
    };
    m_schedule->OnBusyStep = [this] {
        m_busyBar->AnimationTick();
    };
    m_schedule->OnBusyStop = [this] {
        m_busyBar->SetPosition(0);
        m_busyBar->SetAnimationMode(false);
        SetStatusText(m_offlineNote);
    };
    m_schedule->OnNewsDue = [this] {
        QCoreApplication::postEvent(this, new QEvent(QEvent::Type(kNewsTickMessage)));
    };
    return frame;
}

void TfMain::SetStatusText(const QString& text)
{
    m_statusText->SetCaption(text);
}

QString TfMain::StatusText() const
{
    return m_statusText->Caption();
}

void TfMain::BuildMainMenu()
{
    m_mainMenu = new TMVMainMenu(this);
    m_mainMenu->setObjectName(u"mmMainMenu"_s);

    QMenu* file = m_mainMenu->addMenu(u"&File"_s);
    connect(file->addAction(u"&Refresh"_s), &QAction::triggered, this, [this] { RefreshCatalog(); });
    m_settingsAction = file->addAction(u"&Settings..."_s);
    m_settingsAction->setShortcut(QKeySequence(u"Ctrl+P"_s));
    connect(m_settingsAction, &QAction::triggered, this, [this] { ShowSettings(); });
    file->addSeparator();
    connect(file->addAction(u"&Back up sites..."_s), &QAction::triggered, this, [this] { BackUpSites(); });
    connect(file->addAction(u"R&estore sites..."_s), &QAction::triggered, this, [this] { RestoreSites(); });
    file->addSeparator();
    // The same switch as the tray menu's; wired once the site browsers exist.
    m_doNotDisturbAction = file->addAction(u"&Do not disturb"_s);
    m_doNotDisturbAction->setObjectName(u"miMainDoNotDisturb"_s);
    m_doNotDisturbAction->setCheckable(true);
    file->addSeparator();
    QAction* exit = file->addAction(u"E&xit"_s);
    exit->setShortcut(QKeySequence(u"Alt+X"_s));
    connect(exit, &QAction::triggered, this, [this] { Quit(); });

    m_viewMenu = m_mainMenu->addMenu(u"&View"_s);
    const std::pair<int, QString> views[] = {
        {pgWhatsNew, u"What's New"_s},   {pgRecommended, u"Recommended"_s},
        {pgPopular, u"Popular"_s},       {pgHighestRated, u"Highest Rated"_s},
        {pgCategories, u"Categories"_s}, {pgInstalled, u"Installed applications"_s},
    };
    for (const auto& [page, caption] : views) {
        QAction* item = m_viewMenu->addAction(caption);
        item->setCheckable(true);
        item->setData(page);
        connect(item, &QAction::triggered, this, [this, page = page](bool) {
            if (m_mainTabs->currentIndex() != page)
                m_mainTabs->setCurrentIndex(page);
            UpdateViewMenu();
        });
    }
    connect(m_viewMenu, &QMenu::aboutToShow, this, [this] { UpdateViewMenu(); });

    QMenu* help = m_mainMenu->addMenu(u"&Help"_s);
    QAction* onlineHelp = help->addAction(u"Online help..."_s);
    onlineHelp->setShortcut(QKeySequence(Qt::Key_F1));
    connect(onlineHelp, &QAction::triggered, this,
            [this] { OpenWebPage(ServerUrl(u"/help/"_s), u"Morvalen Desktop help"_s, false); });
    connect(help->addAction(u"Check for updates..."_s), &QAction::triggered, this,
            [this] { CheckVersionOnDemand(); });
    help->addSeparator();
    connect(help->addAction(u"Morvalen web site..."_s), &QAction::triggered, this,
            [this] { OpenWebPage(ServerUrl(u"/"_s), u"Morvalen Desktop web site"_s, false); });
    connect(help->addAction(u"About Morvalen..."_s), &QAction::triggered, this, [this] { ShowAbout(); });
    m_mainMenu->PrepareItems();
    setMenuBar(m_mainMenu);
}

void TfMain::UpdateViewMenu()
{
    // The catalog tabs' items show only while their tabs do; the active page carries the mark.
    for (QAction* item : m_viewMenu->actions()) {
        const int page = item->data().toInt();
        if (page <= pgCategories)
            item->setVisible(m_mainTabs->isTabVisible(page));
        item->setChecked(page == m_mainTabs->currentIndex());
    }
}

void TfMain::BuildTray()
{
    m_trayMenu = new TMVTrayPopupMenu(this);
    m_trayMenu->setObjectName(u"pmTray"_s);
    QAction* delimiter = m_trayMenu->addSeparator();
    delimiter->setObjectName(u"miTitleDelimiter"_s);
    m_closeAllBrowsersAction = m_trayMenu->addAction(u"Close all browsers"_s);
    m_closeAllBrowsersAction->setData(-1);
    connect(m_closeAllBrowsersAction, &QAction::triggered, this, [this] { m_siteBrowsers->CloseAll(); });
    QAction* quit = m_trayMenu->addAction(u"Quit"_s);
    quit->setData(-1);
    connect(quit, &QAction::triggered, this, [this] { Quit(); });
    m_trayMenu->addSeparator();
    QAction* show = m_trayMenu->addAction(u"Show MorvalenPro"_s);
    show->setData(-1);
    connect(show, &QAction::triggered, this, [this] { ShowFromTray(); });
    m_trayMenu->setDefaultAction(show);
    connect(m_trayMenu, &QMenu::aboutToShow, this, [this] { UpdateTrayMenu(); });
    m_trayMenu->PrepareItems();

    m_trayIcon = new QSystemTrayIcon(windowIcon(), this);
    m_trayIcon->setObjectName(u"TrayIcon"_s);
    m_trayIcon->setToolTip(u"Morvalen Desktop"_s);
    m_trayIcon->setContextMenu(m_trayMenu);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // XEmbed hosts report a press as Trigger, StatusNotifierItem hosts their activation;
        // some send only a double click or the middle button. Each brings the window back.
        if (reason != QSystemTrayIcon::Context)
            ShowFromTray();
    });
    if (m_trayAvailable)
        m_trayIcon->show();
}

void TfMain::UpdateTrayMenu()
{
    m_closeAllBrowsersAction->setEnabled(OpenBrowserCount() > 0);
    std::vector<TMVWebElement*> tiles;
    for (const auto& record : m_installedSites->Manager().Items())
        tiles.push_back(m_installedSites->Manager().TileOf(record.get()));
    // A site run from the tray is a launch as from its tile.
    m_siteBrowsers->FillTrayMenu(*m_trayMenu, m_trayMenu->findChild<QAction*>(u"miTitleDelimiter"_s), tiles,
                                 [this](TMVWebElement& tile) { m_installedSites->RunSite(tile); });
    m_trayMenu->OnGetSiteInfo = [this](const TMVPopupMenu&, const QAction& item, QIcon& icon, bool& active) {
        const int index = item.data().toInt();
        const auto& items = m_installedSites->Manager().Items();
        const TMVWebElement* tile = index >= 0 && index < int(items.size())
                                        ? m_installedSites->Manager().TileOf(items[size_t(index)].get())
                                        : nullptr;
        if (!tile)
            return;
        icon = QIcon(QPixmap::fromImage(tile->IconPicture()));
        active = m_siteBrowsers->HasBrowser(tile);
    };
    m_trayMenu->PrepareItems();
}

QMenu* TfMain::TrayMenu() const
{
    return m_trayMenu;
}

QWidget* TfMain::TabPage(int index) const
{
    return m_mainTabs->widget(index);
}

QWidget* TfMain::InstalledContainer() const
{
    return &m_installedSites->ScrollBox();
}

void TfMain::ShowSettings()
{
    const auto downloadFirefox = [this] {
        OpenWebPage(ServerUrl(u"/download/FireFox"_s), u"Download WebKit component"_s, true);
    };
    TfSettingsDlg dialog(this);
    dialog.SetSettings(*m_settings);
    dialog.SetFirefoxAvailable(FirefoxAvailable());
    dialog.OnDownloadFirefox = downloadFirefox;
    dialog.SetChangeAlertsOnDesktop(TSiteNotifications::ChangeAlertsOnDesktop(m_siteSettings.get()));
    // The sleep delay is the site windows' own, kept with their settings.
    const double sleepAfter = TCustomInternetBrowserWindow::HibernateAfterMinutes(m_siteSettings.get());
    dialog.SetSleepAfterMinutes(sleepAfter);
    // Where downloads go is no field of the configuration file either, whose layout is fixed.
    dialog.SetSaveIntoDownloads(m_siteSettings->SaveIntoDownloads());
    if (dialog.exec() != mrOk)
        return;
    // Absent means the default, the desktop's notifications.
    m_siteSettings->SetValue(QString::fromUtf16(TSiteSettings::kGeneralGroup),
                             QString::fromUtf16(TSiteNotifications::kChangeAlertsOnDesktop),
                             dialog.ChangeAlertsOnDesktop() ? QString() : u"false"_s);
    if (dialog.SleepAfterMinutes() != sleepAfter)
        m_siteSettings->SetValue(QString::fromUtf16(TSiteSettings::kGeneralGroup), u"HibernateAfterMinutes"_s,
                                 QString::number(dialog.SleepAfterMinutes()));
    if (dialog.SaveIntoDownloads() != m_siteSettings->SaveIntoDownloads() &&
        !m_siteSettings->SetSaveIntoDownloads(dialog.SaveIntoDownloads()))
        qWarning("%s", qPrintable(m_siteSettings->LastError()));
    // What the user confirmed is kept at once: a crash or a kill later must not lose it.
    SaveChangedConfig();
    ConfigureNewsCheck();
    ConfigureCacheCleanup();
}

void TfMain::ShowAbout()
{
    ::ShowAbout(this, m_sampleCatalog ? SampleCatalogNote() : QString());
}

QString TfMain::SampleCatalogNote()
{
    return u"Sample catalog: no catalog server answered, so the catalog that came with Morvalen Desktop is shown."_s;
}
