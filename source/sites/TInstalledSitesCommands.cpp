// The commands on installed sites: run, close, add, install from the catalog, edit, remove
// and update a thumbnail.

#include "SiteArrangement.h"
#include "TInstalledSites.h"
#include "TMVVisualManager.h"
#include "TMVWebElement.h"
#include "TMorvalenBaseClass.h"
#include "catalog/CatalogAddresses.h"
#include "catalog/TWebApplicationClass.h"
#include "catalogviews/TCatalogViews.h"
#include "common/Errors.h"
#include "dialogs/ModalResult.h"
#include "dialogs/TfConfirmationDlg.h"
#include "pictures/MakeThumbnail.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureLimits.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TFileCacheManager.h"
#include "stores/TThumbnailManager.h"

#include <QAction>
#include <QScrollArea>
#include <QTabWidget>

using namespace Qt::Literals::StringLiterals;

namespace {

// The details panel of each catalog page, by page index 0 to 4 (What's New, Recommended,
// Popular, Highest Rated, Categories): the list tags of the catalog views.
constexpr int kDetailsTagOfPage[] = {1, 2, 4, 5, 3};

// The address a site installed from the application gets.
QString InstallAddress(const TWebApplicationClass& application)
{
    const bool ownAddress = !application.AppURL().isEmpty() || !application.MainURL().isEmpty();
    return VisitAddress(ownAddress ? application.MainURL() : application.LoginURL());
}

} // namespace

void TInstalledSites::RunSite(TMVWebElement& tile)
{
    TMorvalenBaseClass* record = tile.MorvalenItem();
    if (!record || !m_hooks.RunSite)
        return;
    m_hooks.RunSite(tile);
    // The order stays until the next arrange, also when sorted by popularity.
    record->SetRunCount(record->RunCount() + 1);
    m_manager->Save();
}

void TInstalledSites::CloseSiteBrowser(TMVWebElement& tile)
{
    if (m_hooks.CloseSiteBrowser)
        m_hooks.CloseSiteBrowser(tile);
}

void TInstalledSites::SiteBrowserChanged(const TMorvalenBaseClass& site, bool open)
{
    if (TMVWebElement* tile = m_manager->TileOf(&site))
        tile->SetHasBrowser(open);
}

void TInstalledSites::SiteSleepingChanged(const TMorvalenBaseClass& site, bool sleeping)
{
    if (TMVWebElement* tile = m_manager->TileOf(&site))
        tile->SetSleeping(sleeping);
}

void TInstalledSites::SiteUnreadCountChanged(const TMorvalenBaseClass& site, int count, bool old)
{
    if (TMVWebElement* tile = m_manager->TileOf(&site))
        tile->SetUnreadCount(count, old);
}

void TInstalledSites::SiteThumbnailCaptured(const TMorvalenBaseClass& site, const QImage& page)
{
    TMVWebElement* tile = m_manager->TileOf(&site);
    if (!tile)
        return;
    try {
        StoreThumbnail(site.URL(), page);
    } catch (const EMorvalenError& error) {
        qWarning("%s", qPrintable(error.Message()));
        return;
    }
    tile->ReloadImages();
    tile->update();
}

void TInstalledSites::SitePageIcon(TMorvalenBaseClass& site, const QIcon& icon)
{
    if (!site.FavIconFileName().isEmpty() && site.FavIconFileName() != m_favoriteIcons.DefaultFileName())
        return;
    // The engine's largest picture of it: the store makes its own sizes from that.
    QSize largest(64, 64);
    for (const QSize size : icon.availableSizes())
        if (size.width() * size.height() > largest.width() * largest.height())
            largest = size;
    const QString fileName = m_favoriteIcons.StorePageIcon(site.URL(), icon.pixmap(largest).toImage());
    if (fileName.isEmpty())
        return;
    try {
        m_favoriteIcons.SaveIndex();
    } catch (const EMorvalenError& error) {
        qWarning("%s", qPrintable(error.Message()));
    }
    site.SetFavIconFileName(fileName);
    site.Changed();
    if (TMVWebElement* tile = m_manager->TileOf(&site)) {
        tile->ReloadImages();
        tile->update();
    }
}

void TInstalledSites::AddSiteOrInstall()
{
    TWebApplicationClass* application = m_hooks.FocusedApplication ? m_hooks.FocusedApplication() : nullptr;
    if (application)
        InstallApplication(*application);
    else
        AddSite();
}

void TInstalledSites::AddSite()
{
    if (!m_hooks.ExecuteSiteDialog)
        return;
    auto record = std::make_unique<TMorvalenBaseClass>();
    TSiteDialogRequest request;
    request.Mode = TSiteDialogMode::CreateNew;
    request.Record = record.get();
    if (!m_hooks.ExecuteSiteDialog(request))
        return;
    if (m_hooks.ShowInstalledPage)
        m_hooks.ShowInstalledPage();
    m_manager->AddItem(std::move(record));
}

TMVWebElement* TInstalledSites::InstalledTile(const TWebApplicationClass& application) const
{
    // The application's own address, or the one installing it gave the site: the catalog's
    // application address often lies below the main address a site is installed with, and
    // such a site must not be installed twice.
    if (TMVWebElement* tile = m_manager->FindByURL(application.AppURL()))
        return tile;
    return m_manager->FindByURL(InstallAddress(application));
}

bool TInstalledSites::IsInstalled(const TWebApplicationClass& application) const
{
    return InstalledTile(application) != nullptr;
}

bool TInstalledSites::InstallApplication(TWebApplicationClass& application)
{
    if (TMVWebElement* installed = InstalledTile(application)) {
        if (m_hooks.ShowInstalledPage)
            m_hooks.ShowInstalledPage();
        installed->setFocus(Qt::OtherFocusReason);
        m_scrollBox->ensureWidgetVisible(installed, 10, 10);
        installed->Flash();
        return true;
    }

    // Under the site's own address, where its tile looks for it.
    PrepareThumbnail(application, InstallAddress(application));
    if (m_hooks.ShowInstalledPage)
        m_hooks.ShowInstalledPage();

    auto record = std::make_unique<TMorvalenBaseClass>();
    record->SetTitle(application.Title());
    record->SetURL(InstallAddress(application));
    record->SetDescription(application.Tagline());
    record->SetCanRate(true);
    record->SetUserRating(application.UserRating());
    record->SetCatalogId(application.ID());

    TSiteDialogRequest request;
    request.Mode = TSiteDialogMode::InstallNew;
    request.Record = record.get();
    const bool canSignUp = !application.SignupURL().isEmpty();
    if (canSignUp)
        request.SignUpCaption = u"Sign up at "_s + application.Title();
    // Without the dialog the catalog's record is installed as it stands.
    if (m_hooks.ExecuteSiteDialog && !m_hooks.ExecuteSiteDialog(request))
        return false;

    TMVWebElement* tile = m_manager->AddItem(std::move(record));
    if (request.SignUp && canSignUp && m_hooks.OpenWebPage)
        m_hooks.OpenWebPage(application.SignupURL(), u"Sign up at "_s + application.Title(), true);
    tile->Flash();
    return true;
}

void TInstalledSites::InstallFromCatalog(TCatalogViews& views)
{
    QTabWidget& pages = views.Pages();
    const int notedPage = pages.currentIndex();
    TWebApplicationClass* application = views.FocusedApplication();
    if (!application)
        return;
    if (!InstallApplication(*application)) {
        pages.setCurrentIndex(notedPage >= 0 ? notedPage : TCatalogViews::kInstalledPage);
        return;
    }
    if (notedPage >= 0 && notedPage < int(std::size(kDetailsTagOfPage)))
        views.ShowDetails(application, kDetailsTagOfPage[notedPage]);
}

void TInstalledSites::PrepareThumbnail(const TWebApplicationClass& application, const QString& address)
{
    if (application.ThumbnailURL().isEmpty())
        return;
    // The screenshot when it is cached, else the picture the details panel showed.
    QString cached = m_cache.GetCachedFileName(application.ScreenshotURL(), true);
    if (cached.isEmpty())
        cached = m_cache.GetCachedFileName(application.ThumbnailURL(), true);
    if (cached.isEmpty())
        return;
    try {
        StoreThumbnail(address, PictureFile::Load(cached, PictureLimits::kCatalogPicture));
    } catch (const EMorvalenError&) {
        // A damaged picture: the site is installed without a prepared thumbnail.
    }
}

void TInstalledSites::StoreThumbnail(const QString& address, const QImage& page)
{
    const QImage thumbnail = MakeThumbnail(page);
    if (!thumbnail.isNull())
        m_thumbnails.Store(address, thumbnail);
}

void TInstalledSites::EditSite(TMVWebElement& tile)
{
    TMorvalenBaseClass* record = tile.MorvalenItem();
    if (!record || !m_hooks.ExecuteSiteDialog)
        return;
    const QString title = record->Title();
    TSiteDialogRequest request;
    request.Mode = TSiteDialogMode::Edit;
    request.Record = record;
    if (!m_hooks.ExecuteSiteDialog(request))
        return;
    m_manager->TileChanged(tile);
    if (record->Title() == title) {
        m_manager->Save();
        return;
    }
    // Arranging saves as well.
    m_manager->Rearrange();
    if (m_hooks.SiteTitleChanged)
        m_hooks.SiteTitleChanged(tile);
}

bool TInstalledSites::Ask(const QString& text, const QString& text2, const QImage& icon)
{
    if (m_hooks.Confirm)
        return m_hooks.Confirm(text, text2, icon);
    return Confirm(text, text2, icon, m_scrollBox->window()) == mrYes;
}

void TInstalledSites::RemoveSite(TMVWebElement& tile)
{
    const TMorvalenBaseClass* record = tile.MorvalenItem();
    if (!record)
        return;
    tile.LoadPendingImages();
    if (!Ask(u"Are You sure to remove site"_s, u" <img 1> <b>"_s + record->Title() + u"</b> ?"_s,
             tile.IconPicture()))
        return;
    // An open browser window would later write its placement into the freed site.
    if (m_hooks.SiteRemoving)
        m_hooks.SiteRemoving(tile);
    m_manager->RemoveTile(&tile);
}

void TInstalledSites::UpdateThumbnail(TMVWebElement& tile)
{
    const TMorvalenBaseClass* record = tile.MorvalenItem();
    if (!record || !m_hooks.CaptureThumbnail)
        return;
    const size_t choice = std::min<size_t>(record->ThumbnailScreenSize(), ScreenSizes.size() - 1);
    const QSize size(ScreenSizes[choice].Width, ScreenSizes[choice].Height);
    QImage page;
    if (!m_hooks.CaptureThumbnail(record->URL(), size, page) || page.isNull())
        return;
    try {
        StoreThumbnail(record->URL(), page);
    } catch (const EMorvalenError& error) {
        if (m_hooks.SetStatusText)
            m_hooks.SetStatusText(error.Message());
        return;
    }
    tile.ReloadImages();
    tile.update();
}
