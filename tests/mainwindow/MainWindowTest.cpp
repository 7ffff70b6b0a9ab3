// The real main window in this process, off screen, on a temporary data folder.

#include "dialogs/OwnerDrawnComboBox.h"
#include "dialogs/TfSettingsDlg.h"
#include "mainwindow/TMainSchedule.h"
#include "mainwindow/TfMain.h"
#include "platform/DesktopEntry.h"
#include "platform/XdgAutostart.h"
#include "progressbar/LabelProgressBar.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TSiteSettings.h"
#include "stores/TFileCacheManager.h"
#include "support/ModalDriver.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolButton>

#include <QScreen>

#include <QGuiApplication>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    QTemporaryDir m_home;
    ScopedEnvironment m_config{"XDG_CONFIG_HOME", m_home.filePath(u"config"_s).toUtf8()};
    ScopedEnvironment m_data{"XDG_DATA_HOME", m_home.filePath(u"data"_s).toUtf8()};

    QString DataFolder() const { return m_home.filePath(u"data-folder"_s); }
    QString ConfigPath() const { return DataFolder() + u"/MorvalenDesktop.cfg"_s; }

    std::unique_ptr<TfMain> Create(TfMain::TrayMode tray = TfMain::TrayMode::Unavailable,
                                   const QStringList& parameters = {})
    {
        ProgramOptions options;
        options.dataFolder = DataFolder();
        options.parameters = parameters;
        return std::make_unique<TfMain>(options, tray);
    }
};

// The settings block as the program writes it, followed by the view byte.
QByteArray ConfigBytes(bool hideOnClose, int32_t engine, uint8_t arrangeMode)
{
    QByteArray bytes;
    bytes.append(char(0));           // run with the system
    bytes.append(char(0));           // minimize on start-up
    bytes.append(char(hideOnClose)); // hide on close
    bytes.append(char(0));           // open links locally
    bytes.append(reinterpret_cast<const char*>(&engine), 4);
    bytes.append(char(0)); // news flag (always off with news at start-up only)
    const int32_t zero = 0;
    bytes.append(reinterpret_cast<const char*>(&zero), 4); // check news: at start-up only
    bytes.append(reinterpret_cast<const char*>(&zero), 4); // auto update index
    bytes.append(char(0));                                 // clear old cache
    bytes.append(reinterpret_cast<const char*>(&zero), 4); // cache age
    const double lastCheck = 46000.5;
    bytes.append(reinterpret_cast<const char*>(&lastCheck), 8);
    bytes.append(char(arrangeMode));
    return bytes;
}

} // namespace

TEST_F(MainWindowTest, FirstRunCreatesTheFoldersAndWritesNothing)
{
    {
        auto window = Create();
        for (const char16_t* folder : {u"FavIcons", u"Thumbnails", u"Cache"})
            EXPECT_TRUE(QFileInfo(DataFolder() + u'/' + QString::fromUtf16(folder)).isDir())
                << QString::fromUtf16(folder).toStdString();
        EXPECT_EQ(window->DataFolder(), QDir(DataFolder()).absolutePath() + u'/');
        // Only the Installed tab shows until the catalog lists arrive.
        for (int page = TfMain::pgWhatsNew; page <= TfMain::pgCategories; ++page)
            EXPECT_FALSE(window->MainTabs()->isTabVisible(page)) << page;
        EXPECT_TRUE(window->MainTabs()->isTabVisible(TfMain::pgInstalled));
        EXPECT_EQ(window->StatusText(), u"Welcome to <b>Morvalen Desktop</b>!"_s);
        EXPECT_FALSE(window->ConfigChanged());
    }
    EXPECT_FALSE(QFile::exists(ConfigPath()));
}

TEST_F(MainWindowTest, TheConfigurationIsWrittenOnlyWhenSomethingChanged)
{
    QDir().mkpath(DataFolder());
    // A FireFox default falls back to the one engine there is, without being written back.
    const QByteArray stored = ConfigBytes(false, 1, 1);
    WriteFile(ConfigPath(), stored);
    const QDateTime written = QFileInfo(ConfigPath()).lastModified();
    {
        auto window = Create();
        EXPECT_EQ(window->Settings().DefaultRenderEngine(), 0);
        EXPECT_EQ(window->ArrangeMode(), 1);
        window->SetArrangeMode(1); // the same mode is no change
        EXPECT_FALSE(window->ConfigChanged());
    }
    EXPECT_EQ(ReadFile(ConfigPath()), stored);
    EXPECT_EQ(QFileInfo(ConfigPath()).lastModified(), written);

    {
        auto window = Create();
        window->SetArrangeMode(2);
        EXPECT_TRUE(window->ConfigChanged());
    }
    QByteArray expected = ConfigBytes(false, 0, 2);
    EXPECT_EQ(ReadFile(ConfigPath()), expected);

    {
        auto window = Create();
        window->Settings().SetHideOnClose(true);
        window->Settings().Changed();
    }
    // The view byte read at start survives a change of the settings.
    EXPECT_EQ(ReadFile(ConfigPath()), ConfigBytes(true, 0, 2));
}

TEST_F(MainWindowTest, DamagedIndexFilesDoNotKeepTheProgramFromStarting)
{
    QDir().mkpath(DataFolder() + u"/Cache"_s);
    QDir().mkpath(DataFolder() + u"/Thumbnails"_s);
    WriteFile(DataFolder() + u"/Cache/Cache.dat"_s, "Not a cache index at all");
    WriteFile(DataFolder() + u"/Thumbnails/Thumbnails.dat"_s, QByteArray("\xff\xff\xff\x7f", 4));
    WriteFile(DataFolder() + u"/MorvalenDesktop.cfg"_s, QByteArray(3, '\x01'));
    auto window = Create();
    EXPECT_TRUE(window->CacheManager().Items().empty());
    EXPECT_TRUE(window->Settings().HideOnClose()); // the part of the file that is there
}

TEST_F(MainWindowTest, QuittingIsRefusedWhileADownloadRunsAndNeedsAYes)
{
    TestHttpServer server;
    server.ServeStalling(u"/slow.xml"_s, 1000, "<?xml");
    auto window = Create();
    window->show();
    int asked = -1;
    bool answer = false;
    window->ConfirmQuitHook = [&](int openBrowsers) {
        asked = openBrowsers;
        return answer;
    };

    window->CacheManager().RequestFile(server.Url(u"/slow.xml"_s), false, true, false, {});
    ASSERT_TRUE(window->CacheManager().Busy());
    window->Quit();
    EXPECT_EQ(asked, -1); // not even asked
    EXPECT_TRUE(window->isVisible());

    ASSERT_TRUE(WaitUntil([&] { return server.StalledCount() == 1; }));
    server.ReleaseStalls();
    ASSERT_TRUE(WaitUntil([&] { return !window->CacheManager().Busy(); }));
    window->Quit();
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(window->isVisible());

    answer = true;
    window->Quit();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, WithoutANotificationAreaHidingMinimizes)
{
    auto window = Create(TfMain::TrayMode::Unavailable);
    window->Settings().SetHideOnClose(true);
    window->show();
    int asked = 0;
    bool answer = false;
    window->ConfirmQuitHook = [&](int) {
        return ++asked, answer;
    };

    // The minimize button leaves the window on the taskbar, where the user finds it again.
    window->HideToTray();
    EXPECT_TRUE(window->HiddenToTray());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
    window->ShowFromTray();
    EXPECT_FALSE(window->HiddenToTray());
    EXPECT_FALSE(window->isMinimized());

    // Hidden, nothing would be left to click: the close button asks to quit, as "Exit" does.
    window->close();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->HiddenToTray());
    answer = true;
    window->close();
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, ConfirmedSettingsAndAnAcceptedQuitWriteTheConfigurationAtOnce)
{
    auto window = Create(TfMain::TrayMode::Unavailable);
    const QString config = ConfigPath();
    bool quitting = false;
    window->OnQuitting = [&] {
        quitting = true;
    };
    window->ConfirmQuitHook = [](int) {
        return true;
    };
    window->show();
    window->Settings().SetHideOnClose(false);
    window->Settings().Changed();
    ASSERT_TRUE(window->ConfigChanged());
    EXPECT_FALSE(QFile::exists(config));
    // The close is accepted: the file is written then, not only when the window is freed,
    // which a stalled shut-down might never reach.
    window->Quit();
    EXPECT_TRUE(quitting);
    EXPECT_FALSE(window->ConfigChanged());
    ASSERT_TRUE(QFile::exists(config));
    EXPECT_GT(QFileInfo(config).size(), 0);
}

TEST_F(MainWindowTest, TheSettingsDialogKeepsWhereDownloadsGoInTheSiteSettingsAndNotInTheConfiguration)
{
    auto window = Create(TfMain::TrayMode::Unavailable);
    window->show();
    const QString siteSettings = DataFolder() + u"/SiteSettings.ini"_s;
    const auto choose = [&](int index, const char* button) {
        QString shown;
        bool missed = false;
        WhenModalShows<TfSettingsDlg>(
            [&](TfSettingsDlg* dialog) {
                auto* box = dialog->findChild<OwnerDrawnComboBox*>(u"cmbDownloads"_s);
                shown = box->currentText();
                box->setCurrentIndex(index);
                ClickButton(dialog, button);
            },
            nullptr, &missed);
        window->SettingsAction()->trigger();
        EXPECT_FALSE(missed);
        return shown;
    };

    EXPECT_EQ(choose(1, "btnOk"), u"Ask where to save each file"_s);
    EXPECT_EQ(TSiteSettings(siteSettings).Value(u"General"_s, u"SaveIntoDownloads"_s), u"true"_s);
    EXPECT_TRUE(window->SiteSettings().SaveIntoDownloads());
    // The configuration keeps its layout: the settings block and the view byte.
    EXPECT_EQ(ReadFile(ConfigPath()).size(), 31);

    // Cancelled: nothing changes.
    EXPECT_EQ(choose(0, "btnCancel"), u"Save into the Downloads folder"_s);
    EXPECT_TRUE(TSiteSettings(siteSettings).SaveIntoDownloads());

    EXPECT_EQ(choose(0, "btnOk"), u"Save into the Downloads folder"_s);
    EXPECT_FALSE(TSiteSettings(siteSettings).SaveIntoDownloads());
    EXPECT_EQ(ReadFile(ConfigPath()).size(), 31);
}

TEST_F(MainWindowTest, WithANotificationAreaTheWindowHidesAndComesBack)
{
    auto window = Create(TfMain::TrayMode::Available);
    window->show();
    window->showMinimized();
    // Minimizing never leaves a taskbar button: the window goes to the tray.
    ASSERT_TRUE(WaitUntil([&] { return window->HiddenToTray(); }));
    EXPECT_FALSE(window->isVisible());
    window->ShowFromTray();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(MainWindowTest, RunMinimizedStartsInTheTrayAndTheStartupMessageFollows)
{
    auto window = Create(TfMain::TrayMode::Available, {u"RUNMinimized"_s});
    EXPECT_TRUE(window->StartMinimized());
    window->Settings().SetCheckNewsInterval(1);
    window->Start();
    EXPECT_FALSE(window->FirstShowPending());
    ASSERT_TRUE(WaitUntil([&] { return window->HiddenToTray(); }));
    EXPECT_FALSE(window->isVisible());
    // The start-up message configures the news check (after about a second).
    ASSERT_TRUE(WaitUntil([&] { return window->Schedule().NewsRunning(); }));
    // Out of the tray the window comes maximized, as a normal start shows it.
    window->ShowFromTray();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMaximized());

    auto shown = Create(TfMain::TrayMode::Available, {u"Element=abc RunMinimized"_s});
    EXPECT_FALSE(shown->StartMinimized());
}

TEST_F(MainWindowTest, TheDiskSpaceWarningShowsOnceAndComesBackOnALaterReport)
{
    TestHttpServer server;
    server.Serve(u"/a.xml"_s, "<a/>");
    server.Serve(u"/c.xml"_s, "<c/>");
    auto window = Create();
    TFileCacheManager& cache = window->CacheManager();
    qint64 freeSpace = 0;
    cache.SetFreeSpaceQuery([&](const QString&) { return freeSpace; });
    const auto fetch = [&](const QString& path) {
        bool done = false;
        cache.RequestFile(server.Url(path), false, true, false,
                          [&](const QString&, const QString&, TCacheStatus) { done = true; });
        ASSERT_TRUE(WaitUntil([&] { return done; }));
    };

    // A folder in the way makes storing fail, and there is no room: the disk is full.
    QDir().mkpath(window->CacheManager().CacheFolder() + u"a.xml"_s);
    fetch(u"/a.xml"_s);
    EXPECT_TRUE(window->DiskSpaceWarningShown());
    EXPECT_TRUE(cache.Sweeping()); // the cleanup starts at once
    auto* description = window->findChild<QWidget*>(u"lbHddErrorDescription"_s);
    ASSERT_NE(description, nullptr);

    // A second report while it shows changes nothing.
    cache.SetSweep(false, 0);
    window->ShowDiskSpaceWarning();
    EXPECT_FALSE(cache.Sweeping());

    // Its button hides it; a later report shows it again.
    auto* close = window->findChild<QToolButton*>(u"tbtnCloseHDDTab"_s);
    ASSERT_NE(close, nullptr);
    close->click();
    EXPECT_FALSE(window->DiskSpaceWarningShown());
    window->ShowDiskSpaceWarning();
    EXPECT_TRUE(window->DiskSpaceWarningShown());

    // A file stored again hides it.
    freeSpace = qint64(1) << 40;
    fetch(u"/c.xml"_s);
    EXPECT_FALSE(window->DiskSpaceWarningShown());
}

TEST_F(MainWindowTest, BothAddSiteButtonsAreInTheTabOrder)
{
    auto window = Create();
    window->show();
    window->MainTabs()->setCurrentIndex(TfMain::pgInstalled);
    // What Tab reaches: the focus chain's shown widgets that take the focus by Tab.
    QStringList reached;
    for (QWidget* widget = window->nextInFocusChain(); widget != window.get();
         widget = widget->nextInFocusChain()) {
        const auto* button = qobject_cast<QToolButton*>(widget);
        if (button && button->defaultAction() && (widget->focusPolicy() & Qt::TabFocus) &&
            widget->isVisible())
            reached.append(button->defaultAction()->objectName());
    }
    EXPECT_TRUE(reached.contains(u"tbtnAddWebSite"_s)) << reached.join(u", "_s).toStdString();
    EXPECT_TRUE(reached.contains(u"tbAddSite"_s)) << reached.join(u", "_s).toStdString();
}

TEST_F(MainWindowTest, TheViewMenuFollowsTheTabs)
{
    auto window = Create();
    QMenu* view = nullptr;
    for (QAction* item : window->menuBar()->actions())
        if (item->text() == u"&View"_s)
            view = item->menu();
    ASSERT_NE(view, nullptr);
    window->MainTabs()->setTabVisible(TfMain::pgPopular, true);
    emit view->aboutToShow();
    const QList<QAction*> items = view->actions();
    ASSERT_EQ(items.size(), 6);
    EXPECT_FALSE(items[TfMain::pgWhatsNew]->isVisible());
    EXPECT_TRUE(items[TfMain::pgPopular]->isVisible());
    EXPECT_TRUE(items[TfMain::pgInstalled]->isChecked());
    EXPECT_FALSE(items[TfMain::pgPopular]->isChecked());

    items[TfMain::pgPopular]->trigger();
    EXPECT_EQ(window->MainTabs()->currentIndex(), int(TfMain::pgPopular));
    EXPECT_TRUE(items[TfMain::pgPopular]->isChecked());
    EXPECT_FALSE(items[TfMain::pgInstalled]->isChecked());
}

TEST_F(MainWindowTest, TheBusyBarRunsInItsStoredFormDuringASlowRefresh)
{
    TestHttpServer server;
    // The category list never comes while the test looks.
    server.ServeStalling(u"/xmlcache/categorylist.xml"_s, 1000);
    ProgramOptions options;
    options.dataFolder = DataFolder();
    options.catalogServer = server.Url(QString());
    auto window = std::make_unique<TfMain>(options, TfMain::TrayMode::Unavailable);
    TLabelProgressBar& bar = *window->BusyBar();
    EXPECT_EQ(bar.ViewOptions(), 0);
    EXPECT_EQ(bar.StoredForm(), LabelProgressBarData::MainWindowBar());
    EXPECT_EQ(bar.height(), 19);

    // A segment of the stored gradient is blue; the empty trough and its border are not.
    const auto segmentPixels = [&bar] {
        const QImage shot = bar.grab().toImage();
        int count = 0;
        for (int y = 0; y < shot.height(); ++y) {
            for (int x = 0; x < shot.width(); ++x) {
                const QColor pixel = shot.pixelColor(x, y);
                count += pixel.blue() - pixel.red() > 50 ? 1 : 0;
            }
        }
        return count;
    };
    EXPECT_EQ(segmentPixels(), 0);

    window->Start();
    ASSERT_TRUE(WaitUntil([&] { return bar.AnimationMode() && bar.AnimationStep() >= 1; }, 20000));
    EXPECT_GT(segmentPixels(), 0);
    if (const QString folder = qEnvironmentVariable("MORVALEN_SCREENSHOT_DIR"); !folder.isEmpty())
        window->grab().save(folder + u"/main-window-busy.png"_s);

    // The server gives up: the bar comes to rest, empty.
    server.ReleaseStalls();
    ASSERT_TRUE(WaitUntil([&] { return !window->Schedule().Busy(); }, 20000));
    EXPECT_FALSE(bar.AnimationMode());
    EXPECT_EQ(segmentPixels(), 0);
}

TEST_F(MainWindowTest, RunAtStartupShowsTheTruthAndStartsThisConfiguration)
{
    ProgramOptions options;
    options.dataFolder = DataFolder();
    options.catalogServer = u"http://127.0.0.1:9/"_s;
    auto window = std::make_unique<TfMain>(options, TfMain::TrayMode::Unavailable);
    // A first start: no entry, so the box is not ticked.
    EXPECT_FALSE(window->Settings().RunWithWindows());
    window->Settings().SetRunWithWindows(true);
    const std::optional<DesktopEntry> entry = DesktopEntry::Read(XdgAutostart::EntryPath());
    ASSERT_TRUE(entry.has_value());
    const std::optional<QStringList> command = DesktopEntry::SplitExec(entry->exec);
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->mid(1), QStringList({u"--data-folder="_s + QFileInfo(DataFolder()).absoluteFilePath(),
                                            u"--catalog-server=http://127.0.0.1:9/"_s, u"runminimized"_s}));
}

// Also run at QT_SCALE_FACTOR=2 on a 1280 x 1024 screen (tests/mainwindow/CMakeLists.txt),
// whose free area is then smaller than the window's least size at 96 dpi.
TEST_F(MainWindowTest, TheFirstSizeFitsTheScreensFreeArea)
{
    auto window = Create();
    window->Start();
    const QRect free = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(window->minimumWidth(), free.width());
    EXPECT_LE(window->minimumHeight(), free.height());
    // Its frame is the window manager's, if there is one: the window itself has to fit.
    EXPECT_LE(window->width(), free.width());
    EXPECT_LE(window->height(), free.height());
    EXPECT_TRUE(free.intersects(window->geometry()));
    window->hide();
}
