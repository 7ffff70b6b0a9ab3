#include "TfSiteDlg.h"

#include "TMorvalenBaseClass.h"
#include "TSiteBrowsingPage.h"
#include "TSiteShortcuts.h"
#include "common/Errors.h"
#include "dialogs/OwnerDrawnComboBox.h"
#include "dialogs/TfFireFoxMissingDlg.h"
#include "markup/HtmlLabel.h"
#include "menus/MVMenus.h"
#include "pictures/GraphicTools.h"
#include "pictures/MakeThumbnail.h"
#include "pictures/TExIcon.h"
#include "platform/XWaylandChoice.h"
#include "settings/TApplicationsSettings.h"
#include "stores/SiteAddress.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TThumbnailManager.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kInvalidURL = u"Please enter valid URL!"_s;
const QString kEmptyTitle = u"Title can not be empty!"_s;

void ShowError(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, u"Error"_s, text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace

const QStringList& TfSiteDlg::EngineNames()
{
    static const QStringList names{u"Chromium engine"_s, u"WebKit engine"_s};
    return names;
}

TfSiteDlg::TfSiteDlg(QWidget* parent)
    : TMVDialog(parent), m_thumbnailImage(GraphicTools::LoadPngResource(
                             QString::fromLatin1(TThumbnailManager::kDefaultThumbnail)))
{
    BuildLayout();
    ShowThumbnail();
    UpdateCommands();
    m_title->setFocus();
}

TfSiteDlg::~TfSiteDlg() = default;

void TfSiteDlg::SetHeader(const QString& caption, const QString& title, const QString& text)
{
    setWindowTitle(caption);
    if (auto* line = findChild<THtmlLabel*>(u"hlbTitle"_s))
        line->SetCaption(u"<b>"_s + title + u"</b>"_s);
    if (auto* line = findChild<THtmlLabel*>(u"hlbText"_s))
        line->SetCaption(text);
}

void TfSiteDlg::SetCreateMode()
{
    SetHeader(u"Create new site"_s, u"Create new site"_s,
              u"Enter the URL,Title and Description for the new site. You can customize icon, thumbnail and "
              "browser options."_s);
}

void TfSiteDlg::SetInstallMode()
{
    const QString title = m_site ? m_site->Title() : QString();
    SetHeader(u"Install new site"_s, u"Install <color clBlue>%1</color>"_s.arg(title),
              u"Select site icon and thumbnail. Don't forget shortcuts for fast access."_s);
}

void TfSiteDlg::SetEditMode()
{
    const QString title = m_site ? m_site->Title() : QString();
    SetHeader(u"Edit site"_s, u"Edit <color clBlue>%1</color>"_s.arg(title),
              u"Modify the URL,Title and Description of the site. You can change icon, thumbnail and browser "
              "options."_s);
}

void TfSiteDlg::SetFavoriteIconManager(TFavoriteIconManager* icons)
{
    m_icons = icons;
    FillIcons();
    UpdateCommands();
}

void TfSiteDlg::SetThumbnailManager(TThumbnailManager* thumbnails)
{
    m_thumbnails = thumbnails;
}

void TfSiteDlg::SetSite(TMorvalenBaseClass* site)
{
    m_site = site;
    if (m_site)
        LoadSite();
}

void TfSiteDlg::SetSettings(TApplicationsSettings* settings)
{
    m_settings = settings;
    if (m_settings) {
        const int engine = m_settings->DefaultRenderEngine();
        m_renderEngine->setCurrentIndex(engine >= 0 && engine < m_renderEngine->count() ? engine : 0);
    }
}

void TfSiteDlg::SetThumbnailCapture(TThumbnailCapture capture)
{
    m_capture = std::move(capture);
    UpdateCommands();
}

void TfSiteDlg::FillIcons()
{
    m_favIcons->clear();
    m_iconImages.clear();
    if (!m_icons)
        return;
    m_icons->ForEachIcon([this](const QString& name, const QString& fileName) {
        TExIcon icon;
        GraphicTools::LoadBestSmallIcon(icon, m_icons->Folder() + fileName,
                                        QString::fromLatin1(TFavoriteIconManager::kDefaultIconResource));
        QImage image;
        try {
            image = icon.Handle();
        } catch (const EMorvalenError&) {
            // An icon that cannot be drawn still names the site's entry.
        }
        m_iconImages.push_back(image);
        m_favIcons->addItem(name);
    });
    if (m_favIcons->count() > 0)
        m_favIcons->setCurrentIndex(0);
}

void TfSiteDlg::SelectIcon(const QString& name)
{
    const int index = m_favIcons->findText(name, Qt::MatchFixedString);
    if (index >= 0)
        m_favIcons->setCurrentIndex(index);
}

void TfSiteDlg::LoadSite()
{
    m_title->setText(m_site->Title());
    m_url->setText(m_site->URL());
    m_description->setPlainText(m_site->Description());
    if (m_icons)
        SelectIcon(m_icons->NameOfFileName(m_site->FavIconFileName(), true));
    if (m_thumbnails)
        m_thumbnails->LoadThumbnail(m_site->URL(), m_thumbnailImage);
    ShowThumbnail();
    // A record of another version may carry indexes the tables do not have.
    m_screenSizeIndex =
        m_site->ThumbnailScreenSize() < ScreenSizes.size() ? m_site->ThumbnailScreenSize() : 2;
    m_renderEngine->setCurrentIndex(m_site->BrowserEngine() < m_renderEngine->count()
                                        ? int(m_site->BrowserEngine())
                                        : int(beInternetExplorer));
    m_runAsTrayIcon->setChecked(m_site->RunAsTrayIcon());
    m_monitorChanges->setChecked(m_site->MonitorChanges());
    m_monitorInterval->setCurrentIndex(
        m_site->MonitorInterval() < MonitorIntervals.size() ? m_site->MonitorInterval() : 2);
    UpdateMonitorControls();
    for (size_t kind = 0; kind < m_shortcutBoxes.size(); ++kind)
        m_shortcutBoxes[kind]->setChecked(m_site->ShortcutKinds() & (1 << kind));
}

void TfSiteDlg::ShowThumbnail()
{
    m_thumbnail->setPixmap(QPixmap::fromImage(m_thumbnailImage));
}

void TfSiteDlg::URLChanged(const QString& text)
{
    m_downloadURL.clear();
    QString rest = text.toLower();
    bool scheme = true;
    if (rest.contains(u"http://"_s))
        rest.remove(0, 7);
    else if (rest.contains(u"https://"_s))
        rest.remove(0, 8);
    else
        scheme = false; // a bare host name: nothing to download from yet
    if (scheme && !rest.isEmpty())
        m_downloadURL = text;
    UpdateCommands();
}

void TfSiteDlg::GetDescription()
{
    if (m_downloadURL.isEmpty())
        return;
    QByteArray page;
    QString description;
    m_getDescription->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // A page, not a download: a short wait and a bounded size.
    if (DownloadToStream(m_downloadURL, page, HttpLimits{5000, 10000, 2 * 1024 * 1024}, {}))
        description = PageDescription(page);
    QApplication::restoreOverrideCursor();
    UpdateCommands();
    if (description.isEmpty()) {
        ShowError(this, u"The site's page gives no description."_s);
        return;
    }
    m_description->setPlainText(description);
}

void TfSiteDlg::UpdateCommands()
{
    const bool address = !m_downloadURL.isEmpty();
    m_downloadIcon->setEnabled(address && m_icons);
    m_getDescription->setEnabled(address);
    m_updateThumb->setEnabled(address && m_capture);
    m_menuUpdate->setEnabled(address && m_capture);
}

bool TfSiteDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_url && event->type() == QEvent::FocusOut)
        URLExit();
    return TMVDialog::eventFilter(watched, event);
}

void TfSiteDlg::URLExit()
{
    const QString url = AddURLScheme(m_url->text());
    const QString name = SiteNameOfURL(url);
    if (!name.isEmpty())
        SelectIcon(name);
    if (m_thumbnails && m_thumbnails->HasThumbnail(url)) {
        m_thumbnails->LoadThumbnail(url, m_thumbnailImage);
        ShowThumbnail();
    }
    if (m_title->text().isEmpty() && !name.isEmpty()) {
        QString title = name;
        if (title.at(0) >= u'a' && title.at(0) <= u'z')
            title[0] = title.at(0).toUpper();
        m_title->setText(title);
    }
}

void TfSiteDlg::UpdateMonitorControls()
{
    const bool monitor = m_monitorChanges->isChecked();
    m_intervalLabel->setEnabled(monitor);
    m_monitorInterval->setEnabled(monitor);
}

void TfSiteDlg::DownloadSiteIcon()
{
    if (!m_icons || m_downloadURL.isEmpty())
        return;
    const QString first = m_favIcons->count() > 0 ? m_favIcons->itemText(0) : QString();
    QString name;
    m_icons->DownloadIcon(m_downloadURL, name);
    if (name != first) {
        try {
            m_icons->SaveIndex();
        } catch (const EMorvalenError& error) {
            ShowError(this, error.Message());
        }
        FillIcons();
    }
    SelectIcon(name);
    m_downloadIcon->setEnabled(false);
}

void TfSiteDlg::CaptureSiteThumbnail()
{
    if (!m_capture || m_downloadURL.isEmpty())
        return;
    const TMVScreenSizeRec& size = ScreenSizes.at(m_screenSizeIndex);
    const QImage page = m_capture(m_downloadURL, size.Width, size.Height, this);
    if (page.isNull())
        return;
    const QImage thumbnail = MakeThumbnail(page);
    if (thumbnail.isNull())
        return;
    m_thumbnailImage = thumbnail;
    ShowThumbnail();
}

void TfSiteDlg::SelectScreenSize(int index)
{
    if (index < 0 || index >= int(ScreenSizes.size()))
        return;
    m_screenSizeIndex = index;
    if (m_updateThumb->isEnabled())
        CaptureSiteThumbnail();
}

void TfSiteDlg::ResetThumbnail()
{
    m_thumbnailImage =
        GraphicTools::LoadPngResource(QString::fromLatin1(TThumbnailManager::kDefaultThumbnail));
    ShowThumbnail();
}

bool TfSiteDlg::ValidateInput()
{
    QStringList messages;
    if (m_url->text().trimmed().isEmpty() || HostOfURL(m_url->text()).isEmpty())
        messages.append(kInvalidURL);
    if (m_title->text().trimmed().isEmpty())
        messages.append(kEmptyTitle);
    if (!messages.isEmpty()) {
        ShowError(this, messages.join(u'\n'));
        return false;
    }
    if (m_renderEngine->currentIndex() == beFireFox && !m_firefoxAvailable) {
        TfFireFoxMissingDlg missing(this);
        if (missing.exec() == mrOk && OnDownloadFirefox)
            OnDownloadFirefox();
        m_renderEngine->setCurrentIndex(beInternetExplorer);
        return false;
    }
    return true;
}

void TfSiteDlg::OkClick()
{
    if (!ValidateInput())
        return;
    if (m_site)
        StoreSite();
    if (m_siteSettings && m_site)
        m_browsing->Store(*m_siteSettings, m_site->ElementId());
    // The program's, not the site's: the way every WebKit site of this session opens.
    if (m_throughXWayland && m_throughXWayland->isChecked() != XWaylandChoice::Chosen())
        XWaylandChoice::Choose(m_throughXWayland->isChecked());
    done(mrOk);
}

void TfSiteDlg::SetSiteSettings(TSiteSettings* settings)
{
    m_siteSettings = settings;
    m_pages->item(spBrowsing)->setHidden(!settings || !m_site);
    if (settings && m_site)
        m_browsing->Load(*settings, m_site->ElementId());
}

void TfSiteDlg::StoreSite()
{
    TMorvalenBaseClass& site = *m_site;
    site.SetTitle(m_title->text().trimmed());
    const QString oldURL = site.URL();
    site.SetURL(m_url->text().trimmed());
    site.SetDescription(m_description->toPlainText().trimmed());
    if (m_icons)
        site.SetFavIconFileName(m_icons->FileNameOfName(m_favIcons->currentText(), true));

    if (m_thumbnails) {
        if (m_thumbnails->HasThumbnail(oldURL) && site.URL() != oldURL)
            m_thumbnails->Rename(oldURL, site.URL());
        try {
            m_thumbnails->Store(site.URL(), m_thumbnailImage);
        } catch (const EMorvalenError& error) {
            // The site is kept; its tile shows the default picture.
            ShowError(this, error.Message());
        }
    }

    site.SetThumbnailScreenSize(uint8_t(m_screenSizeIndex));
    site.SetBrowserEngine(uint8_t(m_renderEngine->currentIndex()));
    site.SetRunAsTrayIcon(m_runAsTrayIcon->isChecked());
    site.SetMonitorChanges(m_monitorChanges->isChecked());
    site.SetMonitorInterval(uint8_t(m_monitorInterval->currentIndex()));

    uint8_t kinds = 0;
    for (size_t kind = 0; kind < m_shortcutBoxes.size(); ++kind) {
        if (m_shortcutBoxes[kind]->isChecked())
            kinds |= uint8_t(1 << kind);
    }
    if (m_shortcuts) {
        m_shortcuts->RemoveShortcuts(site);
        site.SetShortcutKinds(kinds);
        QStringList errors;
        if (!m_shortcuts->CreateShortcuts(site, &errors))
            ShowError(this, QString::fromUtf16(TSiteShortcuts::kCreateError) + u'\n' + errors.join(u'\n'));
    } else {
        site.SetShortcutKinds(kinds);
    }
}

void TfSiteDlg::DrawIcon(QPainter& painter, const QRect& rect, int index, bool selected) const
{
    if (index >= 0 && index < int(m_iconImages.size()) && !m_iconImages[index].isNull()) {
        const QImage& icon = m_iconImages[index];
        painter.drawImage(QRect(rect.left() + 2, rect.top() + (rect.height() - 16) / 2, 16, 16), icon);
    }
    m_favIcons->DrawText(painter, rect, 22, m_favIcons->itemText(index), selected);
}

void TfSiteDlg::DrawEngine(QPainter& painter, const QRect& rect, int index, bool selected) const
{
    if (index == beInternetExplorer || index == beFireFox) {
        const QImage& picture = m_engineImages[m_renderEngine->isEnabled() ? index : index + 2];
        painter.drawImage(rect.left() + 2,
                          rect.top() + (rect.height() - int(picture.deviceIndependentSize().height())) / 2,
                          picture);
    }
    m_renderEngine->DrawText(painter, rect, 22, m_renderEngine->itemText(index), selected);
}
