#include "catalog/TWebApplicationClass.h"
#include "menus/MVMenus.h"
#include "panels/TMVFrame.h"
#include "sites/SitesDataFile.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteFindEdit.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TFileCacheManager.h"
#include "stores/TThumbnailManager.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QBoxLayout>
#include <QDir>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

class TInstalledSitesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char16_t* folder : {u"Thumbnails", u"FavIcons", u"Cache"})
            QDir().mkpath(m_folder.filePath(QString::fromUtf16(folder)));
        m_thumbnails.SetFolder(m_folder.filePath(u"Thumbnails/"_s));
        m_thumbnails.LoadIndex(m_folder.filePath(u"Thumbnails/Thumbnails.dat"_s));
        m_favoriteIcons.SetFolder(m_folder.filePath(u"FavIcons/"_s));
        m_cache.SetCacheFolder(m_folder.filePath(u"Cache/"_s));
        m_page.resize(800, 500);
        new QVBoxLayout(&m_page);
    }

    // The tab, with the hooks as the test set them so far.
    TInstalledSites& Sites()
    {
        if (!m_sites) {
            m_hooks.SetStatusText = [this](const QString& text) {
                m_status << text;
            };
            m_hooks.ShowInstalledPage = [this] {
                ++m_pageShown;
            };
            m_hooks.MarkConfigChanged = [this] {
                ++m_configChanges;
            };
            m_sites =
                std::make_unique<TInstalledSites>(m_page, m_thumbnails, m_favoriteIcons, m_cache, m_hooks);
            m_sites->LoadFromFile(DataPath());
        }
        return *m_sites;
    }

    TMVWebElement* Add(const QString& title, const QString& url = {})
    {
        auto site = std::make_unique<TMorvalenBaseClass>();
        site->SetTitle(title);
        site->SetURL(url.isEmpty() ? u"http://%1.example/"_s.arg(title.toLower()) : url);
        return Sites().Manager().AddItem(std::move(site));
    }

    QString DataPath() const { return m_folder.filePath(u"MorvalenDesktop.dat"_s); }

    QStringList StoredTitles() const
    {
        QStringList titles;
        for (const auto& record : SitesDataFile::Parse(ReadFile(DataPath())).records)
            titles << record->Title();
        return titles;
    }

    void ShowActive()
    {
        m_page.show();
        QApplication::setActiveWindow(&m_page);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_page));
    }

    QTemporaryDir m_folder;
    TThumbnailManager m_thumbnails;
    TFavoriteIconManager m_favoriteIcons;
    TFileCacheManager m_cache;
    QWidget m_page;
    TInstalledSitesHooks m_hooks;
    std::unique_ptr<TInstalledSites> m_sites;
    QStringList m_status;
    int m_pageShown = 0;
    int m_configChanges = 0;
};

std::unique_ptr<TWebApplicationClass> Application(const QString& title, const QString& address)
{
    auto application = std::make_unique<TWebApplicationClass>(4711);
    application->SetTitle(title);
    application->SetAppURL(address);
    application->SetMainURL(u"http://www.catalog.example/go?to=http://"_s + title.toLower() + u".example/"_s);
    application->SetTagline(u"The "_s + title + u" of the web"_s);
    application->SetUserRating(3.5f);
    return application;
}

} // namespace

TEST_F(TInstalledSitesTest, FinderFocusesTheFirstTileWhoseTitleBeginsWithTheText)
{
    Add(u"Mail"_s);
    TMVWebElement* maps = Add(u"Maps"_s);
    ShowActive();
    TSiteFindEdit& finder = Sites().Finder();
    EXPECT_TRUE(finder.ShowsPlaceholder());

    finder.setFocus();
    EXPECT_EQ(finder.text(), QString());
    QTest::keyClicks(&finder, u"mA"_s);
    EXPECT_EQ(finder.TextColor(), QColor(0, 0, 128));
    QTest::keyClick(&finder, Qt::Key_Return);
    ASSERT_NE(Sites().Manager().FocusedTile(), nullptr);
    EXPECT_EQ(Sites().Manager().FocusedTile()->MorvalenItem()->Title(), u"Mail"_s);
    EXPECT_TRUE(finder.ShowsPlaceholder());
    EXPECT_NE(finder.TextColor(), QColor(0, 0, 128));

    finder.setFocus();
    QTest::keyClicks(&finder, u"x"_s);
    QTest::keyClick(&finder, Qt::Key_Return);
    EXPECT_EQ(finder.text(), u"x"_s);
    EXPECT_TRUE(finder.hasFocus());
    EXPECT_NE(Sites().Manager().FocusedTile(), maps);
}

TEST_F(TInstalledSitesTest, InstallingAnInstalledApplicationOnlyFlashesItsTile)
{
    TMVWebElement* mail = Add(u"Mail"_s, u"http://mail.example.com"_s);
    int dialogs = 0;
    m_hooks.ExecuteSiteDialog = [&](TSiteDialogRequest&) {
        ++dialogs;
        return true;
    };
    const auto application = Application(u"Mail"_s, u"  HTTP://Mail.Example.com/"_s);
    EXPECT_TRUE(Sites().IsInstalled(*application));
    EXPECT_TRUE(Sites().InstallApplication(*application));
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(Sites().Manager().Count(), 1);
    EXPECT_EQ(m_pageShown, 1);
    EXPECT_TRUE(mail->Flashing());
    ASSERT_TRUE(WaitUntil([&] { return !mail->Flashing(); }));
}

TEST_F(TInstalledSitesTest, InstallingANewApplicationGoesThroughTheDialog)
{
    QStringList opened;
    m_hooks.OpenWebPage = [&](const QString& address, const QString& title, bool flash) {
        opened << address << title << (flash ? u"flash"_s : u"quiet"_s);
    };
    bool answer = false;
    TSiteDialogRequest seen;
    m_hooks.ExecuteSiteDialog = [&](TSiteDialogRequest& request) {
        seen = request;
        request.SignUp = true;
        return answer;
    };
    auto application = Application(u"Notes"_s, u"http://notes.example/app"_s);
    application->SetSignupURL(u"http://notes.example/join"_s);

    // Cancelled: nothing is installed and nothing opens.
    EXPECT_FALSE(Sites().InstallApplication(*application));
    EXPECT_EQ(Sites().Manager().Count(), 0);
    EXPECT_EQ(seen.Mode, TSiteDialogMode::InstallNew);
    EXPECT_EQ(seen.SignUpCaption, u"Sign up at Notes"_s);
    EXPECT_TRUE(opened.isEmpty());

    answer = true;
    EXPECT_TRUE(Sites().InstallApplication(*application));
    ASSERT_EQ(Sites().Manager().Count(), 1);
    const TMorvalenBaseClass& site = *Sites().Manager().Items()[0];
    EXPECT_EQ(site.Title(), u"Notes"_s);
    // The visit address: what the catalog's redirecting link leads to.
    EXPECT_EQ(site.URL(), u"http://notes.example/"_s);
    EXPECT_EQ(site.Description(), u"The Notes of the web"_s);
    EXPECT_TRUE(site.CanRate());
    EXPECT_EQ(site.UserRating(), 3.5f);
    EXPECT_EQ(site.CatalogId(), 4711);
    EXPECT_TRUE(Sites().Manager().TileOf(&site)->Flashing());
    EXPECT_EQ(opened, QStringList({u"http://notes.example/join"_s, u"Sign up at Notes"_s, u"flash"_s}));
    EXPECT_EQ(StoredTitles(), QStringList({u"Notes"_s}));
    // Its application address lies below the installed one: still the same site, not a second.
    EXPECT_TRUE(Sites().IsInstalled(*application));
    EXPECT_TRUE(Sites().InstallApplication(*application));
    EXPECT_EQ(Sites().Manager().Count(), 1);

    // Without a sign-up address the box is hidden and nothing opens.
    opened.clear();
    auto plain = Application(u"Atlas"_s, u"http://atlas.example/"_s);
    EXPECT_TRUE(Sites().InstallApplication(*plain));
    EXPECT_EQ(seen.SignUpCaption, QString());
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(TInstalledSitesTest, RemoveAsksWithTheSiteAndOnlyYesRemoves)
{
    QStringList asked;
    bool answer = false;
    m_hooks.Confirm = [&](const QString& text, const QString& text2, const QImage&) {
        asked << text << text2;
        return answer;
    };
    Add(u"Mail"_s);
    TMVWebElement* maps = Add(u"Maps"_s);
    Sites().RemoveSite(*maps);
    EXPECT_EQ(asked, QStringList({u"Are You sure to remove site"_s, u" <img 1> <b>Maps</b> ?"_s}));
    EXPECT_EQ(Sites().Manager().Count(), 2);
    EXPECT_EQ(StoredTitles(), QStringList({u"Mail"_s, u"Maps"_s}));

    answer = true;
    QStringList closed;
    m_sites->Hooks().SiteRemoving = [&](TMVWebElement& tile) {
        closed << tile.MorvalenItem()->Title();
    };
    maps->SetHasBrowser(true);
    Sites().RemoveSite(*maps);
    // Its browser window closes first, so that it writes into no freed site.
    EXPECT_EQ(closed, QStringList({u"Maps"_s}));
    EXPECT_EQ(Sites().Manager().Count(), 1);
    EXPECT_EQ(StoredTitles(), QStringList({u"Mail"_s}));
    EXPECT_EQ(Sites().Frame().HelpText(),
              u"Total installed sites: 1. Use right click on site or background for more options."_s);
}

TEST_F(TInstalledSitesTest, RunningCountsEachLaunchAndSaves)
{
    int runs = 0;
    m_hooks.RunSite = [&](TMVWebElement& tile) {
        ++runs;
        tile.SetHasBrowser(true);
    };
    TMVWebElement* mail = Add(u"Mail"_s);
    Sites().RunSite(*mail);
    mail->OnDblClick(*mail);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(mail->MorvalenItem()->RunCount(), 2);
    EXPECT_EQ(SitesDataFile::Parse(ReadFile(DataPath())).records[0]->RunCount(), 2);

    // The tile's close request goes to the browsers; the mark is theirs to clear.
    QStringList closed;
    m_sites->Hooks().CloseSiteBrowser = [&](TMVWebElement& tile) {
        closed << tile.MorvalenItem()->Title();
    };
    mail->OnCloseClick(*mail);
    EXPECT_EQ(closed, QStringList{u"Mail"_s});
    Sites().SiteBrowserChanged(*mail->MorvalenItem(), false);
    EXPECT_FALSE(mail->HasBrowser());
}

TEST_F(TInstalledSitesTest, MenusFollowTheSiteAndTheArrangeMode)
{
    m_hooks.RunSite = [](TMVWebElement&) {
    };
    TMVWebElement* mail = Add(u"Mail"_s);
    TMVWebElement* atlas = Add(u"Atlas"_s);
    atlas->MorvalenItem()->SetCanRate(true);
    const auto visible = [&](const QString& caption) {
        for (QAction* item : Sites().TileMenu().actions()) {
            if (item->text() == caption)
                return item->isVisible();
        }
        ADD_FAILURE() << caption.toStdString();
        return false;
    };
    Sites().PrepareTileMenu(*mail);
    EXPECT_TRUE(visible(u"Run site in browser"_s));
    EXPECT_FALSE(visible(u"Close browser"_s));
    EXPECT_FALSE(visible(u"Rate site..."_s));
    EXPECT_EQ(Sites().TileMenu().actions().first()->statusTip(), u"Mail"_s);
    mail->SetHasBrowser(true);
    Sites().PrepareTileMenu(*mail);
    EXPECT_FALSE(visible(u"Run site in browser"_s));
    EXPECT_TRUE(visible(u"Close browser"_s));
    Sites().PrepareTileMenu(*atlas);
    EXPECT_TRUE(visible(u"Rate site..."_s));

    QMenu* arrange = Sites().HoldAreaMenu().actions().first()->menu();
    ASSERT_NE(arrange, nullptr);
    const QList<QAction*> modes = arrange->actions();
    Sites().PrepareHoldAreaMenu();
    EXPECT_FALSE(modes[0]->isChecked() || modes[1]->isChecked());
    modes[0]->trigger();
    EXPECT_EQ(Sites().Manager().ArrangeMode(), amByName);
    EXPECT_EQ(Sites().Manager().Items()[0]->Title(), u"Atlas"_s);
    EXPECT_EQ(m_configChanges, 1);
    Sites().PrepareHoldAreaMenu();
    EXPECT_TRUE(modes[0]->isChecked());
    EXPECT_FALSE(modes[1]->isChecked());

    // "Browsers" waits for an open window.
    EXPECT_FALSE(Sites().BrowsersButton().isEnabled());
    Sites().SetOpenBrowserCount(1);
    EXPECT_TRUE(Sites().BrowsersButton().isEnabled());
}

TEST_F(TInstalledSitesTest, EditingATitleRearrangesAndTellsTheBrowser)
{
    m_hooks.ExecuteSiteDialog = [](TSiteDialogRequest& request) {
        EXPECT_EQ(request.Mode, TSiteDialogMode::Edit);
        request.Record->SetTitle(u"Zeppelin"_s);
        return true;
    };
    QStringList retitled;
    m_hooks.SiteTitleChanged = [&](TMVWebElement& tile) {
        retitled << tile.MorvalenItem()->Title();
    };
    TMVWebElement* atlas = Add(u"Atlas"_s);
    Add(u"Mail"_s);
    Sites().Manager().Arrange(amByName);
    Sites().EditSite(*atlas);
    EXPECT_EQ(Sites().Manager().Items()[1]->Title(), u"Zeppelin"_s);
    EXPECT_EQ(StoredTitles(), QStringList({u"Mail"_s, u"Zeppelin"_s}));
    EXPECT_EQ(retitled, QStringList({u"Zeppelin"_s}));
    EXPECT_EQ(atlas->accessibleName(), u"Zeppelin"_s);
}

TEST_F(TInstalledSitesTest, UpdatedThumbnailIsCapturedAtTheSitesScreenSize)
{
    QSize asked;
    m_hooks.CaptureThumbnail = [&](const QString& address, QSize size, QImage& page) {
        EXPECT_EQ(address, u"http://mail.example/"_s);
        asked = size;
        page = QImage(size, QImage::Format_RGB32);
        page.fill(Qt::red);
        return true;
    };
    TMVWebElement* mail = Add(u"Mail"_s);
    mail->MorvalenItem()->SetThumbnailScreenSize(1);
    Sites().UpdateThumbnail(*mail);
    EXPECT_EQ(asked, QSize(800, 600));
    EXPECT_TRUE(m_thumbnails.HasThumbnail(u"http://mail.example/"_s));
    EXPECT_EQ(mail->Thumbnail().size(), QSize(105, 80));
}

TEST_F(TInstalledSitesTest, TheTabTellsHowManySitesItHolds)
{
    Add(u"Mail"_s);
    Add(u"Maps"_s);
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&Sites().ScrollBox());
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text(QAccessible::Description).startsWith(u"Total installed sites: 2."_s));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&Sites().Finder())->text(QAccessible::Name),
              u"Site find"_s);
    EXPECT_EQ(Sites().TileMenu().accessibleName(), u"Site menu"_s);
}
