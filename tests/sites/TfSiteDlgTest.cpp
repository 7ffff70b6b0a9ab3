#include "support/ModalDriver.h"

#include "dialogs/OwnerDrawnComboBox.h"
#include "dialogs/TfFireFoxMissingDlg.h"
#include "menus/MVMenus.h"
#include "pictures/GraphicTools.h"
#include "pictures/MakeThumbnail.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteBrowsingPage.h"
#include "sites/TSiteSettings.h"
#include "sites/TSiteShortcuts.h"
#include "sites/TfSiteDlg.h"
#include "stores/NamePairIndexFile.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TThumbnailManager.h"
#include "support/LauncherTestFolders.h"
#include "support/PictureSamples.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The two stores in a temporary data folder, the icon store knowing "Web" and "Mail".
struct Stores
{
    Stores()
    {
        const QString iconFolder = data.filePath(u"FavIcons/"_s);
        QDir().mkpath(iconFolder);
        icons.SetFolder(iconFolder);
        QFile::copy(iconFolder + u"default_favicon.ico"_s, iconFolder + u"mail.ico"_s);
        WriteFile(
            iconFolder + u"FavIcons.dat"_s,
            NamePairIndexFile::Serialize({{u"Web"_s, u"default_favicon.ico"_s}, {u"Mail"_s, u"mail.ico"_s}}));
        icons.LoadIndex(iconFolder + u"FavIcons.dat"_s);

        const QString thumbnailFolder = data.filePath(u"Thumbnails/"_s);
        QDir().mkpath(thumbnailFolder);
        thumbnails.SetFolder(thumbnailFolder);
        thumbnails.LoadIndex(thumbnailFolder + u"Thumbnails.dat"_s);
    }

    QTemporaryDir data;
    TFavoriteIconManager icons;
    TThumbnailManager thumbnails;
};

// A picture that differs from the default thumbnail.
QImage Picture(QRgb colour)
{
    QImage picture(kThumbnailWidth, kThumbnailHeight, QImage::Format_ARGB32);
    picture.fill(colour);
    return picture;
}

// A dialog as the commands set it up, shown so that focus moves as the user moves it.
struct Dialog
{
    Dialog(Stores& stores, TMorvalenBaseClass& site, bool edit)
    {
        if (!edit)
            dialog.SetCreateMode();
        dialog.SetFavoriteIconManager(&stores.icons);
        dialog.SetThumbnailManager(&stores.thumbnails);
        dialog.SetSite(&site);
        if (edit)
            dialog.SetEditMode();
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    template <typename T>
    T* Control(const char* name)
    {
        T* control = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QLineEdit* Title() { return Control<QLineEdit>("edTitle"); }
    QLineEdit* URL() { return Control<QLineEdit>("edURL"); }

    // Types into the address box and leaves it for the title box.
    void EnterURL(const QString& text)
    {
        URL()->setFocus();
        URL()->setText(text);
        Title()->setFocus();
    }

    // "Ok", answering the message boxes that come; their texts, empty when none came.
    QString ConfirmAndReadMessage()
    {
        QString message;
        QTimer answer;
        answer.setInterval(10);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                message += box->text();
                box->accept();
            }
        });
        answer.start();
        ClickButton(&dialog, "btnOk");
        return message;
    }

    TfSiteDlg dialog;
};

} // namespace

TEST(TfSiteDlg, BothInputMessagesComeInOneBoxOnTwoLinesAndTheRecordStaysAsItWas)
{
    Stores stores;
    TMorvalenBaseClass site;
    Dialog d(stores, site, false);
    EXPECT_EQ(d.URL()->text(), u"http://"_s);
    EXPECT_EQ(d.ConfirmAndReadMessage(), u"Please enter valid URL!\nTitle can not be empty!"_s);
    EXPECT_TRUE(d.dialog.isVisible());
    EXPECT_NE(d.dialog.result(), mrOk);

    d.Title()->setText(u"Mail"_s);
    EXPECT_EQ(d.ConfirmAndReadMessage(), u"Please enter valid URL!"_s);
    ClickButton(&d.dialog, "btnCancel");
    EXPECT_EQ(d.dialog.result(), mrCancel);
    EXPECT_EQ(site.Title(), QString());
    EXPECT_EQ(site.URL(), u"http://"_s);
    EXPECT_TRUE(stores.thumbnails.Items().empty());
}

TEST(TfSiteDlg, ABareHostNamePassesButOffersNothingToDownload)
{
    Stores stores;
    TMorvalenBaseClass site;
    Dialog d(stores, site, false);
    d.dialog.SetThumbnailCapture([](const QString&, int, int, QWidget*) { return QImage(); });
    auto* download = d.Control<QToolButton>("sbDownloadIcon");
    auto* update = d.Control<QToolButton>("sbUpdateThumb");

    d.URL()->setText(u"http://mail.example"_s);
    EXPECT_TRUE(download->isEnabled());
    EXPECT_TRUE(update->isEnabled());

    d.Title()->setText(u"Mail"_s);
    d.URL()->setText(u"mail.example"_s);
    EXPECT_FALSE(download->isEnabled());
    EXPECT_FALSE(update->isEnabled());
    EXPECT_EQ(d.dialog.DownloadURL(), QString());
    EXPECT_EQ(d.ConfirmAndReadMessage(), QString());
    EXPECT_EQ(d.dialog.result(), mrOk);
    EXPECT_EQ(site.URL(), u"mail.example"_s);
    // Every stored site gets a thumbnail, the default picture included.
    EXPECT_TRUE(stores.thumbnails.HasThumbnail(u"mail.example"_s));
}

TEST(TfSiteDlg, LeavingTheAddressNamesTheSiteAndPicksItsIconAndThumbnail)
{
    Stores stores;
    stores.thumbnails.Store(u"http://www.mail.example/inbox"_s, Picture(qRgb(200, 30, 30)));
    TMorvalenBaseClass site;
    Dialog d(stores, site, false);
    auto* icons = d.Control<OwnerDrawnComboBox>("cmbFavIcons");
    ASSERT_EQ(icons->count(), 2);
    EXPECT_EQ(icons->currentText(), u"Web"_s);

    d.EnterURL(u"http://www.mail.example/inbox"_s);
    EXPECT_EQ(d.Title()->text(), u"Mail"_s);
    EXPECT_EQ(icons->currentText(), u"Mail"_s);
    EXPECT_EQ(d.dialog.ThumbnailImage().pixel(50, 40), qRgb(200, 30, 30));

    // A title the user typed is kept; a site without an icon entry keeps the chosen one.
    d.Title()->setText(u"My own"_s);
    d.EnterURL(u"http://news.other.example"_s);
    EXPECT_EQ(d.Title()->text(), u"My own"_s);
    EXPECT_EQ(icons->currentText(), u"Mail"_s);
}

TEST(TfSiteDlg, ANewAddressTakesTheThumbnailAlongAndANewTitleLeavesItWhereItIs)
{
    Stores stores;
    TMorvalenBaseClass site;
    site.SetTitle(u"Mail"_s);
    site.SetURL(u"http://mail.example/"_s);
    stores.thumbnails.Store(site.URL(), Picture(qRgb(20, 160, 40)));
    const QString file = stores.thumbnails.Items().at(0).FileName;
    {
        Dialog d(stores, site, true);
        d.Title()->setText(u"Mail box"_s);
        EXPECT_EQ(d.ConfirmAndReadMessage(), QString());
    }
    EXPECT_EQ(site.Title(), u"Mail box"_s);
    ASSERT_EQ(stores.thumbnails.Items().size(), 1u);
    EXPECT_TRUE(stores.thumbnails.HasThumbnail(u"http://mail.example/"_s));
    {
        Dialog d(stores, site, true);
        d.EnterURL(u"https://post.example/"_s);
        EXPECT_EQ(d.ConfirmAndReadMessage(), QString());
    }
    EXPECT_EQ(site.URL(), u"https://post.example/"_s);
    ASSERT_EQ(stores.thumbnails.Items().size(), 1u);
    EXPECT_FALSE(stores.thumbnails.HasThumbnail(u"http://mail.example/"_s));
    EXPECT_TRUE(stores.thumbnails.HasThumbnail(u"https://post.example/"_s));
    EXPECT_EQ(stores.thumbnails.Items().at(0).FileName, file);
    QImage stored;
    stores.thumbnails.LoadThumbnail(site.URL(), stored);
    EXPECT_EQ(stored.pixel(50, 40), qRgb(20, 160, 40));
}

TEST(TfSiteDlg, ARenamedSiteMovesItsLaunchersToTheNewTitle)
{
    Stores stores;
    LauncherTestFolders folders;
    const TSiteShortcuts shortcuts(folders, {u"/usr/bin/morvalen-desktop"_s}, stores.icons.Folder());
    TMorvalenBaseClass site;
    site.SetTitle(u"Mail"_s);
    site.SetURL(u"http://mail.example/"_s);
    site.SetShortcutKinds(1);
    ASSERT_TRUE(shortcuts.CreateShortcuts(site));

    Dialog d(stores, site, true);
    d.dialog.SetShortcuts(&shortcuts);
    EXPECT_TRUE(d.Control<QCheckBox>("cbDesktop")->isChecked());
    EXPECT_FALSE(d.Control<QCheckBox>("cbStartMenu")->isChecked());
    d.Title()->setText(u"Post"_s);
    d.Control<QCheckBox>("cbStartMenu")->setChecked(true);
    EXPECT_EQ(d.ConfirmAndReadMessage(), QString());

    EXPECT_EQ(site.ShortcutKinds(), 1 | 8);
    // The old title's entry carried the same key: left behind, the menu showed the site twice.
    EXPECT_FALSE(QFileInfo::exists(folders.Folder(lpDesktop) + u"/Mail.desktop"_s));
    EXPECT_TRUE(QFileInfo::exists(folders.Folder(lpDesktop) + u"/Post.desktop"_s));
    EXPECT_TRUE(QFileInfo::exists(folders.Folder(lpApplicationsMenu) + u"/Post.desktop"_s));
    EXPECT_EQ(DesktopFileComplaints(folders.Folder(lpDesktop) + u"/Post.desktop"_s), QString());
}

TEST(TfSiteDlg, AMissingLauncherFolderIsReportedAndTheSiteIsStillStored)
{
    Stores stores;
    LauncherTestFolders folders;
    QDir(folders.Folder(lpQuickLaunch)).removeRecursively();
    const TSiteShortcuts shortcuts(folders, {u"/usr/bin/morvalen-desktop"_s}, stores.icons.Folder());
    TMorvalenBaseClass site;
    Dialog d(stores, site, false);
    d.dialog.SetShortcuts(&shortcuts);
    d.Title()->setText(u"Mail"_s);
    d.URL()->setText(u"http://mail.example/"_s);
    for (const char* box : {"cbDesktop", "cbQuickLaunch", "cbStartMenu"})
        d.Control<QCheckBox>(box)->setChecked(true);
    // The failing kind is named with its folder; the kinds after it are still written.
    EXPECT_EQ(d.ConfirmAndReadMessage(), u"Can not create shortcut!\nThe folder %1 does not exist."_s.arg(
                                             folders.Folder(lpQuickLaunch)));
    EXPECT_EQ(d.dialog.result(), mrOk);
    EXPECT_EQ(site.ShortcutKinds(), 1 | 2 | 8);
    EXPECT_TRUE(QFileInfo::exists(folders.Folder(lpDesktop) + u"/Mail.desktop"_s));
    EXPECT_TRUE(QFileInfo::exists(folders.Folder(lpApplicationsMenu) + u"/Mail.desktop"_s));
}

TEST(TfSiteDlg, TheMissingSecondEngineOffersItsDownloadAndFallsBack)
{
    Stores stores;
    TMorvalenBaseClass site;
    site.SetTitle(u"Mail"_s);
    site.SetURL(u"http://mail.example/"_s);
    Dialog d(stores, site, true);
    int downloads = 0;
    d.dialog.OnDownloadFirefox = [&] {
        ++downloads;
    };
    auto* engine = d.Control<OwnerDrawnComboBox>("cmbRenderEngine");
    engine->setCurrentIndex(beFireFox);
    WhenModalShows<TfFireFoxMissingDlg>(
        [](TfFireFoxMissingDlg* missing) { ClickButton(missing, "btnDownload"); });
    ClickButton(&d.dialog, "btnOk");
    EXPECT_EQ(downloads, 1);
    EXPECT_EQ(engine->currentIndex(), beInternetExplorer);
    EXPECT_TRUE(d.dialog.isVisible());
    EXPECT_EQ(site.BrowserEngine(), beInternetExplorer);

    d.dialog.SetFirefoxAvailable(true);
    engine->setCurrentIndex(beFireFox);
    EXPECT_EQ(d.ConfirmAndReadMessage(), QString());
    EXPECT_EQ(site.BrowserEngine(), beFireFox);
}

TEST(TfSiteDlg, ScreenSizeMenuMarksTheStoredSizeAndCapturesAtTheChosenOne)
{
    Stores stores;
    TMorvalenBaseClass site;
    site.SetTitle(u"Mail"_s);
    site.SetURL(u"http://mail.example/"_s);
    site.SetThumbnailScreenSize(1);
    Dialog d(stores, site, true);
    TMVPopupMenu* menu = d.dialog.ThumbnailMenu();
    QAction* updateItem = menu->actions().at(0);
    EXPECT_FALSE(updateItem->isEnabled()) << "no capture form yet";
    QSize captured;
    QString capturedURL;
    d.dialog.SetThumbnailCapture([&](const QString& url, int width, int height, QWidget*) {
        capturedURL = url;
        captured = QSize(width, height);
        QImage page(width, height, QImage::Format_RGB32);
        page.fill(qRgb(10, 90, 220));
        return page;
    });
    EXPECT_TRUE(updateItem->isEnabled());

    QMenu* sizes = nullptr;
    for (QAction* item : menu->actions()) {
        if (item->menu())
            sizes = item->menu();
    }
    ASSERT_NE(sizes, nullptr);
    emit menu->aboutToShow();
    QStringList captions;
    for (QAction* item : sizes->actions()) {
        captions.append(item->text());
        EXPECT_EQ(item->isChecked(), item == sizes->actions().at(1)) << item->text().toStdString();
    }
    EXPECT_EQ(captions, QStringList({u"Small (640x480)"_s, u"Medium (800x600)"_s, u"Large (1024x768)"_s}));

    sizes->actions().at(0)->trigger();
    EXPECT_EQ(captured, QSize(640, 480));
    EXPECT_EQ(capturedURL, u"http://mail.example/"_s);
    QImage page(640, 480, QImage::Format_RGB32);
    page.fill(qRgb(10, 90, 220));
    EXPECT_EQ(d.dialog.ThumbnailImage(), MakeThumbnail(page));
    // Nothing is stored before "Ok".
    EXPECT_FALSE(stores.thumbnails.HasThumbnail(site.URL()));

    menu->actions().last()->trigger(); // "Reset"
    EXPECT_EQ(d.dialog.ThumbnailImage(), GraphicTools::LoadPngResource(u"RES_DEFAULTTHUMBNAIL"_s));
    EXPECT_EQ(d.ConfirmAndReadMessage(), QString());
    EXPECT_EQ(site.ThumbnailScreenSize(), 0);
}

TEST(TfSiteDlg, GetDescriptionFillsInWhatTheTypedSitesPageSaysAboutItself)
{
    TestHttpServer server;
    server.Serve(u"/inbox"_s, "<html><head><meta name=description content='Mail on loopback'></head></html>",
                 "text/html");
    Stores stores;
    TMorvalenBaseClass site;
    Dialog d(stores, site, false);
    auto* get = d.Control<QPushButton>("btnGetDescription");
    EXPECT_FALSE(get->isEnabled());
    d.URL()->setText(server.Url(u"/inbox"_s));
    ASSERT_TRUE(get->isEnabled());
    get->click();
    EXPECT_EQ(d.Control<QPlainTextEdit>("mmDSC")->toPlainText(), u"Mail on loopback"_s);
    EXPECT_TRUE(get->isEnabled());
}

TEST(TfSiteDlg, DownloadAddsTheSitesIconSavesTheIndexAndSelectsIt)
{
    TestHttpServer server;
    server.Serve(u"/favicon.ico"_s, PictureSamples::TwoImageIcon(), "image/x-icon");
    Stores stores;
    TMorvalenBaseClass site;
    Dialog d(stores, site, false);
    auto* download = d.Control<QToolButton>("sbDownloadIcon");
    auto* icons = d.Control<OwnerDrawnComboBox>("cmbFavIcons");
    d.URL()->setText(server.Url(u"/inbox?folder=1"_s));
    ASSERT_TRUE(download->isEnabled());
    download->click();
    EXPECT_EQ(server.RequestCount(u"/favicon.ico"_s), 1);
    // The host 127.0.0.1:port names the site by both.
    const QString name = u"127.0.0.1-%1"_s.arg(server.Port());
    EXPECT_EQ(icons->count(), 3);
    EXPECT_EQ(icons->currentText(), name);
    EXPECT_FALSE(download->isEnabled());
    const auto saved = NamePairIndexFile::Parse(ReadFile(stores.icons.FileName()));
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved.back(), NamePairIndexFile::Entry(name, name + u".ico"_s));

    d.Title()->setText(u"Local"_s);
    EXPECT_EQ(d.ConfirmAndReadMessage(), QString());
    EXPECT_EQ(site.FavIconFileName(), name + u".ico"_s);
}

// A site with its settings file in the stores' data folder.
struct BrowsingSite
{
    BrowsingSite()
    {
        site.SetTitle(u"Mail"_s);
        site.SetURL(u"http://mail.example/"_s);
    }

    Stores stores;
    TMorvalenBaseClass site;
    TSiteSettings settings{stores.data.filePath(u"SiteSettings.ini"_s)};
};

TEST(TfSiteDlg, TheBrowsingPageEditsTheSitesSettingsOnlyOnOk)
{
    BrowsingSite b;
    Stores& stores = b.stores;
    TMorvalenBaseClass& site = b.site;
    TSiteSettings& settings = b.settings;
    settings.SetPermission(site.ElementId(), u"Notifications"_s, true);
    settings.SetPermission(site.ElementId(), u"Camera"_s, false);
    settings.SetZoom(site.ElementId(), 1.25);
    {
        Dialog d(stores, site, true);
        EXPECT_TRUE(d.Control<QListWidget>("lbPages")->item(TfSiteDlg::spBrowsing)->isHidden())
            << "no page without the site's settings";
        d.dialog.SetSiteSettings(&settings);
        EXPECT_FALSE(d.Control<QListWidget>("lbPages")->item(TfSiteDlg::spBrowsing)->isHidden());
        EXPECT_EQ(d.Control<QComboBox>("cmbZoom")->currentText(), u"125 %"_s);
        auto* permissions = d.Control<QListWidget>("lbPermissions");
        ASSERT_EQ(permissions->count(), 2);
        EXPECT_EQ(permissions->item(0)->text(), u"Notifications: Allowed"_s);
        d.Control<QCheckBox>("cbOwnSession")->setChecked(true);
        d.Control<QComboBox>("cmbUserAgent")->setCurrentIndex(2);
        d.Control<QLineEdit>("edUserAgent")->setText(u"Agent/9"_s);
        permissions->setCurrentRow(0);
        d.Control<QPushButton>("btnResetPermission")->click();
        EXPECT_EQ(permissions->count(), 1);
        EXPECT_TRUE(settings.Permission(site.ElementId(), u"Notifications"_s).has_value()) << "before Ok";
        d.Control<QPushButton>("btnCancel")->click();
    }
    EXPECT_FALSE(settings.OwnSession(site.ElementId())) << "Cancel changes nothing";
    {
        Dialog d(stores, site, true);
        d.dialog.SetSiteSettings(&settings);
        d.Control<QCheckBox>("cbOwnSession")->setChecked(true);
        d.Control<QComboBox>("cmbUserAgent")->setCurrentIndex(2);
        d.Control<QLineEdit>("edUserAgent")->setText(u"Agent/9"_s);
        d.Control<QListWidget>("lbPermissions")->setCurrentRow(0);
        d.Control<QPushButton>("btnResetPermission")->click();
        d.Control<QPlainTextEdit>("mmUserStyle")->setPlainText(u"body { zoom: 1 }"_s);
        ClickButton(&d.dialog, "btnOk");
    }
    const TSiteSettings stored(settings.FileName());
    EXPECT_TRUE(stored.OwnSession(site.ElementId()));
    EXPECT_EQ(stored.UserAgent(site.ElementId()), u"Agent/9"_s);
    EXPECT_DOUBLE_EQ(stored.Zoom(site.ElementId()), 1.25);
    EXPECT_FALSE(stored.Permission(site.ElementId(), u"Notifications"_s).has_value()) << "reset asks again";
    EXPECT_EQ(stored.Permission(site.ElementId(), u"Camera"_s), std::optional<bool>(false));
    EXPECT_EQ(stored.UserStyle(site.ElementId()), u"body { zoom: 1 }"_s);
}

TEST(TfSiteDlg, ChangingTheOwnSessionAsksWhetherItsSignInIsKept)
{
    BrowsingSite b;
    Stores& stores = b.stores;
    TMorvalenBaseClass& site = b.site;
    TSiteSettings& settings = b.settings;
    settings.SetOwnSession(site.ElementId(), true);
    const QString cookies = stores.data.filePath(u"WebEngine/Sites/"_s + site.ElementId() + u"/Cookies"_s);
    QDir().mkpath(QFileInfo(cookies).path());
    WriteFile(cookies, "signed in");
    QList<bool> asked;
    const auto previous = TSiteBrowsingPage::KeepSignIn;
    const auto change = [&](bool ownSession, bool keep) {
        TSiteBrowsingPage::KeepSignIn = [&asked, keep](QWidget*, bool ownSessionNow) {
            asked.append(ownSessionNow);
            return keep;
        };
        Dialog d(stores, site, true);
        d.dialog.SetSiteSettings(&settings);
        d.Control<QCheckBox>("cbOwnSession")->setChecked(ownSession);
        ClickButton(&d.dialog, "btnOk");
    };

    change(false, true);
    EXPECT_EQ(asked, QList<bool>({false}));
    EXPECT_TRUE(QFile::exists(cookies)) << "kept for later";
    EXPECT_FALSE(settings.OwnSession(site.ElementId()));
    change(true, false);
    EXPECT_EQ(asked, QList<bool>({false, true}));
    EXPECT_FALSE(QFile::exists(cookies)) << "cleared";
    EXPECT_TRUE(settings.OwnSession(site.ElementId()));
    change(true, false);
    EXPECT_EQ(asked.size(), 2) << "no change, no question";
    TSiteBrowsingPage::KeepSignIn = previous;
}

// Also run at QT_SCALE_FACTOR=2 on a 1280 x 1024 screen (tests/sites/CMakeLists.txt), where the
// dialog's own 680 px are 1360 of the screen's.
TEST(TfSiteDlg, FitsTheScreensFreeAreaWithItsButtonsWhole)
{
    Stores stores;
    TMorvalenBaseClass site;
    Dialog d(stores, site, false);
    const QRect free = d.dialog.screen()->availableGeometry();
    EXPECT_LE(d.dialog.width(), free.width());
    EXPECT_LE(d.dialog.height(), free.height());
    if (free.width() > 720 && free.height() > 460) {
        EXPECT_EQ(d.dialog.size(), QSize(680, 400)) << "with room enough the dialog keeps its size";
    }
    for (const char* name : {"btnOk", "btnCancel"}) {
        auto* button = d.dialog.findChild<QPushButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        const QRect shown(button->mapTo(&d.dialog, QPoint(0, 0)), button->size());
        EXPECT_TRUE(d.dialog.rect().contains(shown)) << name << " is cut off";
        EXPECT_GE(button->width(), button->minimumSizeHint().width()) << name;
    }
}
