// The main window with installed sites: the data file read at start in the configuration's
// order, the catalog's "Install" and the "Add site" buttons reaching the Installed tab.

#include "browser/TBrowserManager.h"
#include "browser/TCustomInternetBrowserWindow.h"
#include "catalog/TWebApplicationClass.h"
#include "catalogviews/TCatalogDetailsPanel.h"
#include "catalogviews/TCatalogListModel.h"
#include "catalogviews/TCatalogListView.h"
#include "catalogviews/TCatalogViews.h"
#include "details/TMVLinksBar.h"
#include "dialogs/TfSettingsDlg.h"
#include "mainwindow/TSiteBrowsers.h"
#include "mainwindow/TfMain.h"
#include "panels/TMVFrame.h"
#include "server/ServerProcess.h"
#include "sites/SitesDataFile.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteSettings.h"
#include "sites/TfSiteDlg.h"
#include "stores/TFileCacheManager.h"
#include "stores/TThumbnailManager.h"
#include "support/ModalDriver.h"
#include "support/StandInFrame.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

class TfMainSitesTest : public ::testing::Test
{
protected:
    void SetUp() override { QDir().mkpath(DataFolder()); }

    QTemporaryDir m_home;
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toUtf8()};
    ScopedEnvironment m_data{"XDG_DATA_HOME", m_home.filePath(u"data"_s).toUtf8()};

    QString DataFolder() const { return m_home.filePath(u"data-folder"_s); }
    QString SitesPath() const { return DataFolder() + u"/MorvalenDesktop.dat"_s; }

    std::unique_ptr<TfMain> Create(const QString& server = {})
    {
        ProgramOptions options;
        options.dataFolder = DataFolder();
        if (!server.isEmpty())
            options.catalogServer = server;
        return std::make_unique<TfMain>(options, TfMain::TrayMode::Unavailable);
    }

    void WriteSites(const QStringList& titles)
    {
        SiteArrangement::TSiteList sites;
        for (const QString& title : titles) {
            auto site = std::make_unique<TMorvalenBaseClass>();
            site->SetTitle(title);
            site->SetURL(u"http://%1.example.com/"_s.arg(title.toLower()));
            sites.push_back(std::move(site));
        }
        SitesDataFile::Save(SitesPath(), sites);
    }

    static QStringList Titles(const TfMain& window)
    {
        QStringList titles;
        for (const auto& site : window.InstalledSites().Manager().Items())
            titles << site->Title();
        return titles;
    }
};

// The 30-byte settings block with the defaults, and nothing after it.
QByteArray SettingsBlockOnly()
{
    QByteArray bytes(30, '\0');
    const double lastCheck = 46000.5;
    memcpy(bytes.data() + 22, &lastCheck, 8);
    return bytes;
}

} // namespace

TEST_F(TfMainSitesTest, AConfigurationEndingAfterTheSettingsLoadsSitesInStoredOrder)
{
    WriteFile(DataFolder() + u"/MorvalenDesktop.cfg"_s, SettingsBlockOnly());
    WriteSites({u"Notes"_s, u"Atlas"_s, u"Mail"_s});
    auto window = Create();
    EXPECT_EQ(window->ArrangeMode(), 0);
    EXPECT_EQ(Titles(*window), QStringList({u"Notes"_s, u"Atlas"_s, u"Mail"_s}));
    EXPECT_EQ(window->InstalledSites().Frame().HelpText(),
              u"Total installed sites: 3. Use right click on site or background for more options."_s);
    EXPECT_FALSE(window->ConfigChanged());

    // Arranging is a change of the configuration, written at the end.
    window->SetArrangeMode(1);
    EXPECT_EQ(Titles(*window), QStringList({u"Atlas"_s, u"Mail"_s, u"Notes"_s}));
    EXPECT_TRUE(window->ConfigChanged());
    window.reset();
    EXPECT_EQ(ReadFile(DataFolder() + u"/MorvalenDesktop.cfg"_s).size(), 31);
    window = Create();
    EXPECT_EQ(window->ArrangeMode(), 1);
    EXPECT_EQ(Titles(*window), QStringList({u"Atlas"_s, u"Mail"_s, u"Notes"_s}));
}

TEST_F(TfMainSitesTest, ADamagedDataFileIsKeptAndTheUserToldOnce)
{
    WriteFile(SitesPath(), "Not a data file at all");
    auto window = Create();
    EXPECT_EQ(window->InstalledSites().Manager().Count(), 0);
    auto site = std::make_unique<TMorvalenBaseClass>();
    site->SetTitle(u"Mail"_s);
    window->InstalledSites().Manager().AddItem(std::move(site));
    const QStringList kept = QDir(DataFolder()).entryList({u"MorvalenDesktop.dat.damaged-*"_s});
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(ReadFile(DataFolder() + u'/' + kept[0]), QByteArray("Not a data file at all"));
    EXPECT_TRUE(window->StatusText().contains(kept[0])) << window->StatusText().toStdString();
}

TEST_F(TfMainSitesTest, InstallingFromACatalogTabMarksItInstalledThere)
{
    ServerProcess server(QString::fromUtf8(MORVALEN_SAMPLE_CATALOG), m_home.filePath(u"ratings.sqlite"_s));
    ASSERT_GT(server.Port(), 0);
    auto window = Create(server.BaseURL());
    window->Start();
    TCatalogViews& views = window->CatalogViews();
    ASSERT_TRUE(WaitUntil([&] { return !views.ListView(1).Model().Applications().empty(); }, 30000));
    TWebApplicationClass* application = nullptr;
    for (TWebApplicationClass* row : views.ListView(1).Model().Applications()) {
        if (!row->ThumbnailURL().isEmpty() && !row->AppURL().isEmpty()) {
            application = row;
            break;
        }
    }
    ASSERT_NE(application, nullptr);
    window->MainTabs()->setCurrentIndex(TfMain::pgWhatsNew);
    ASSERT_TRUE(views.ListView(1).FocusApplication(application));
    // The details panel fetched the picture into the cache.
    ASSERT_TRUE(WaitUntil(
        [&] {
            return !window->CacheManager().GetCachedFileName(application->ThumbnailURL(), true).isEmpty();
        },
        30000));
    EXPECT_FALSE(views.DetailsPanel(1).LinksBar().IsInstalled());

    // The site dialog comes up filled from the catalog; the user takes it as it is.
    bool dialogMissed = false;
    WhenModalShows<TfSiteDlg>([](TfSiteDlg* dialog) { ClickButton(dialog, "btnOk"); }, nullptr,
                              &dialogMissed);
    views.InstallFocused();
    EXPECT_FALSE(dialogMissed);
    EXPECT_EQ(window->MainTabs()->currentIndex(), int(TfMain::pgInstalled));
    TMVVisualManager& sites = window->InstalledSites().Manager();
    ASSERT_EQ(sites.Count(), 1);
    const TMorvalenBaseClass& site = *sites.Items()[0];
    EXPECT_EQ(site.CatalogId(), application->ID());
    EXPECT_TRUE(window->ThumbnailManager().HasThumbnail(site.URL()));
    EXPECT_FALSE(sites.TileOf(&site)->Thumbnail().isNull());
    EXPECT_TRUE(views.DetailsPanel(1).LinksBar().IsInstalled());
    EXPECT_EQ(SitesDataFile::Parse(ReadFile(SitesPath())).records.size(), 1u);

    // The second time the site is only shown.
    window->MainTabs()->setCurrentIndex(TfMain::pgWhatsNew);
    views.InstallFocused();
    EXPECT_EQ(sites.Count(), 1);
    EXPECT_EQ(window->MainTabs()->currentIndex(), int(TfMain::pgInstalled));
    EXPECT_TRUE(sites.TileOf(&site)->Flashing());
}

TEST_F(TfMainSitesTest, EachLaunchFromTheTileOrTheTrayCountsOnceInTheDataFileAndAShortcutNone)
{
    TStandInFrame::Register();
    WriteSites({u"Mail"_s});
    auto window = Create();
    TMVVisualManager& sites = window->InstalledSites().Manager();
    ASSERT_EQ(sites.Count(), 1);
    TMorvalenBaseClass& site = *sites.Items()[0];
    TMVWebElement& tile = *sites.TileOf(&site);
    const auto storedCount = [&] {
        const auto stored = SitesDataFile::Parse(ReadFile(SitesPath()));
        return stored.records.empty() ? -1 : stored.records[0]->RunCount();
    };
    ASSERT_EQ(storedCount(), 0);

    // A shortcut's start opens the site without counting.
    window->HandleParameter(u"Element="_s + site.ElementId());
    EXPECT_TRUE(tile.HasBrowser());
    EXPECT_EQ(storedCount(), 0);

    QTest::mouseDClick(&tile, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(storedCount(), 1);
    tile.OnRunClick(tile);
    EXPECT_EQ(storedCount(), 2);
    QMenu* tray = window->TrayMenu();
    emit tray->aboutToShow();
    QAction* item = nullptr;
    for (QAction* action : tray->actions()) {
        if (action->text() == u"Mail"_s)
            item = action;
    }
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isChecked());
    item->trigger();
    EXPECT_EQ(storedCount(), 3);
    EXPECT_EQ(site.RunCount(), 3);
    EXPECT_EQ(window->OpenBrowserCount(), 1);

    // The window closes: the tile's mark goes with it.
    window->InstalledSites().CloseSiteBrowser(tile);
    EXPECT_FALSE(tile.HasBrowser());
    EXPECT_EQ(window->OpenBrowserCount(), 0);
}

TEST_F(TfMainSitesTest, ASitesSettingsLiveBesideTheDataFileAndGoWithTheSite)
{
    TStandInFrame::Register();
    WriteSites({u"Mail"_s, u"News"_s});
    const QByteArray dataFile = ReadFile(SitesPath());
    auto window = Create();
    TMVVisualManager& sites = window->InstalledSites().Manager();
    ASSERT_EQ(sites.Count(), 2);
    const QString mail = sites.Items()[0]->ElementId();
    const QString news = sites.Items()[1]->ElementId();
    TSiteSettings& settings = window->SiteSettings();
    EXPECT_EQ(settings.FileName(), DataFolder() + u"/SiteSettings.ini"_s);
    settings.SetOwnSession(mail, true);
    settings.SetZoom(mail, 1.5);
    settings.SetUserAgent(news, u"Agent/1"_s);
    const QString session = DataFolder() + u"/WebEngine/Sites/"_s + TSiteSettings::StorageName(mail);
    QDir().mkpath(session);
    WriteFile(session + u"/Cookies"_s, "signed in");
    EXPECT_EQ(ReadFile(SitesPath()), dataFile) << "the data file keeps its exact bytes";

    // The window of the site browses as its settings say.
    window->HandleParameter(u"Element="_s + mail);
    TCustomInternetBrowserWindow* opened =
        window->SiteBrowsers().Manager().WindowOfSite(sites.Items()[0].get());
    ASSERT_NE(opened, nullptr);
    EXPECT_DOUBLE_EQ(opened->ZoomFactor(), 1.5);

    window->InstalledSites().Hooks().Confirm = [](const QString&, const QString&, const QImage&) {
        return true;
    };
    window->InstalledSites().RemoveSite(*sites.TileOf(sites.Items()[0].get()));
    ASSERT_EQ(sites.Count(), 1);
    const TSiteSettings stored(DataFolder() + u"/SiteSettings.ini"_s);
    EXPECT_EQ(stored.Groups(), QStringList{news});
    EXPECT_EQ(stored.UserAgent(news), u"Agent/1"_s);
    EXPECT_FALSE(QFileInfo::exists(session)) << "its own sign-in goes with it";
}

TEST_F(TfMainSitesTest, ASitesUnreadCountReachesItsTileAndTheTrayAndItsSwitchesReachTheSettingsFile)
{
    TStandInFrame::Register();
    TStandInFrame::SetPage(u"http://mail.example.com/"_s, {u"(3) Inbox"_s, {}});
    WriteSites({u"Mail"_s});
    auto window = Create();
    TMVVisualManager& sites = window->InstalledSites().Manager();
    ASSERT_EQ(sites.Count(), 1);
    TMorvalenBaseClass& site = *sites.Items()[0];
    TMVWebElement& tile = *sites.TileOf(&site);
    auto* trayIcon = window->findChild<QSystemTrayIcon*>(u"TrayIcon"_s);
    ASSERT_NE(trayIcon, nullptr);
    const qint64 plainIcon = trayIcon->icon().cacheKey();

    window->HandleParameter(u"Element="_s + site.ElementId());
    ASSERT_TRUE(WaitUntil([&] { return tile.UnreadCount() == 3; }));
    EXPECT_FALSE(tile.UnreadCountOld());
    EXPECT_EQ(trayIcon->toolTip(), u"Morvalen Desktop (3 unread)"_s);
    EXPECT_NE(trayIcon->icon().cacheKey(), plainIcon);

    // The window's Options menu mutes the site in its settings.
    TCustomInternetBrowserWindow* browser = window->SiteBrowsers().Manager().WindowOfSite(&site);
    ASSERT_NE(browser, nullptr);
    auto* mute = browser->MiscMenu()->findChild<QAction*>(u"miMuteNotifications"_s);
    ASSERT_NE(mute, nullptr);
    mute->trigger();
    EXPECT_EQ(TSiteSettings(DataFolder() + u"/SiteSettings.ini"_s).Value(site.ElementId(), u"Muted"_s),
              u"true"_s);

    // The tray menu's switch; the tray icon shows it.
    QMenu* tray = window->TrayMenu();
    emit tray->aboutToShow();
    auto* doNotDisturb = tray->findChild<QAction*>(u"miDoNotDisturb"_s);
    ASSERT_NE(doNotDisturb, nullptr);
    EXPECT_FALSE(doNotDisturb->isChecked());
    doNotDisturb->trigger();
    EXPECT_EQ(TSiteSettings(DataFolder() + u"/SiteSettings.ini"_s).Value(u"General"_s, u"DoNotDisturb"_s),
              u"true"_s);
    EXPECT_TRUE(trayIcon->toolTip().endsWith(u"Do not disturb"_s));
    // The main window's item is the same switch.
    auto* mainSwitch = window->findChild<QAction*>(u"miMainDoNotDisturb"_s);
    ASSERT_NE(mainSwitch, nullptr);
    auto* fileMenu = qobject_cast<QMenu*>(mainSwitch->parent());
    ASSERT_NE(fileMenu, nullptr);
    emit fileMenu->aboutToShow();
    EXPECT_TRUE(mainSwitch->isChecked());
    mainSwitch->trigger();
    emit tray->aboutToShow();
    EXPECT_FALSE(doNotDisturb->isChecked());
    EXPECT_FALSE(trayIcon->toolTip().endsWith(u"Do not disturb"_s));
    doNotDisturb->trigger();

    // The closed window's count stays on the tile, as old.
    window->InstalledSites().CloseSiteBrowser(tile);
    EXPECT_EQ(tile.UnreadCount(), 3);
    EXPECT_TRUE(tile.UnreadCountOld());

    // The next run shows it, still old, and sums it on the tray icon.
    window.reset();
    window = Create();
    ASSERT_EQ(window->InstalledSites().Manager().Count(), 1);
    TMVWebElement& again = *window->InstalledSites().Manager().MVViewers(0);
    EXPECT_EQ(again.UnreadCount(), 3);
    EXPECT_TRUE(again.UnreadCountOld());
    EXPECT_EQ(window->findChild<QSystemTrayIcon*>(u"TrayIcon"_s)->toolTip().section(u'\n', 0, 0),
              u"Morvalen Desktop (3 unread)"_s);
}

TEST_F(TfMainSitesTest, ASleepingSitesTileIsMarkedUntilItsWindowWakesOrCloses)
{
    TStandInFrame::Register();
    WriteSites({u"Mail"_s});
    auto window = Create();
    TMVVisualManager& sites = window->InstalledSites().Manager();
    TMorvalenBaseClass& site = *sites.Items()[0];
    TMVWebElement& tile = *sites.TileOf(&site);
    tile.resize(tile.sizeHint());
    window->HandleParameter(u"Element="_s + site.ElementId());
    TCustomInternetBrowserWindow* browser = window->SiteBrowsers().Manager().WindowOfSite(&site);
    ASSERT_NE(browser, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return browser->PagesOpened(); }));
    const QImage awake = tile.grab().toImage();

    browser->HideToTray();
    ASSERT_TRUE(browser->Hibernate());
    EXPECT_TRUE(tile.Sleeping());
    EXPECT_NE(tile.grab().toImage(), awake) << "the tile looks asleep";
    browser->ShowRestored();
    EXPECT_TRUE(WaitUntil([&] { return !tile.Sleeping(); }));
    EXPECT_EQ(tile.grab().toImage(), awake);

    // A window that closes asleep leaves no sleeping mark behind.
    browser->HideToTray();
    ASSERT_TRUE(browser->Hibernate());
    ASSERT_TRUE(tile.Sleeping());
    window->InstalledSites().CloseSiteBrowser(tile);
    EXPECT_FALSE(tile.Sleeping());
}

TEST_F(TfMainSitesTest, TheSleepDelayIsEditedInTheSettingsDialogAndKeptInTheSiteSettings)
{
    auto window = Create();
    TSiteSettings& settings = window->SiteSettings();
    QAction* settingsItem = nullptr;
    for (QAction* action : window->findChildren<QAction*>()) {
        if (action->text() == u"&Settings..."_s)
            settingsItem = action;
    }
    ASSERT_NE(settingsItem, nullptr);
    const auto edit = [&](std::function<void(QSpinBox&)> change) {
        bool missed = false;
        WhenModalShows<TfSettingsDlg>(
            [&](TfSettingsDlg* dialog) {
                auto* box = dialog->findChild<QSpinBox*>(u"seSleepAfter"_s);
                if (box)
                    change(*box);
                ClickButton(dialog, "btnOk");
            },
            nullptr, &missed);
        settingsItem->trigger();
        EXPECT_FALSE(missed);
    };
    const auto stored = [&] {
        return TSiteSettings(settings.FileName()).Value(u"General"_s, u"HibernateAfterMinutes"_s);
    };

    // Absent, the box shows the default; "Never" stores 0, which the windows take as never.
    edit([](QSpinBox& box) {
        EXPECT_EQ(box.value(), TCustomInternetBrowserWindow::kDefaultHibernateMinutes);
        box.setValue(0);
        EXPECT_EQ(box.text(), u"Never"_s);
    });
    EXPECT_EQ(stored(), u"0"_s);
    EXPECT_EQ(TCustomInternetBrowserWindow::HibernateDelay(&settings, u"MAIL"_s), std::nullopt);
    edit([](QSpinBox& box) { box.setValue(45); });
    EXPECT_EQ(stored(), u"45"_s);

    // A delay the box cannot show (a fraction of a minute, written by hand) survives an "Ok"
    // that did not touch it.
    settings.SetValue(u"General"_s, u"HibernateAfterMinutes"_s, u"0.25"_s);
    edit([](QSpinBox& box) {
        EXPECT_EQ(box.value(), 1);
        EXPECT_EQ(box.text(), u"1 minute"_s);
    });
    EXPECT_EQ(stored(), u"0.25"_s);
}
