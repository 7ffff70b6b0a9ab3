#include "DialogSamples.h"

#include "catalog/ProgramVersion.h"
#include "dialogs/TfAboutDlg.h"
#include "dialogs/TfConfirmationDlg.h"
#include "dialogs/TfFireFoxMissingDlg.h"
#include "dialogs/TfNewVersionDlg.h"
#include "dialogs/TfScreenShotPreviewDlg.h"
#include "dialogs/TfSettingsDlg.h"
#include "platform/Autostart.h"
#include "settings/TApplicationsSettings.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TfRateSiteDlg.h"
#include "sites/TfSiteDlg.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TThumbnailManager.h"

#include <QCheckBox>
#include <QDir>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;

namespace DialogSamples {

namespace {

// The gallery never registers itself to start with the session.
class NoAutostart final : public Autostart
{
public:
    bool IsRegistered() const override { return true; }
    void Apply(bool) override {}
};

QImage SampleIcon()
{
    QImage icon(16, 16, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x31, 0x6A, 0xC5));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    return icon;
}

// A made-up screenshot: a page with a title bar and a few blocks.
QString SampleScreenshot()
{
    QImage page(520, 340, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    QLinearGradient bar(0, 0, 0, 48);
    bar.setColorAt(0, QColor(0x4A, 0x7F, 0xC9));
    bar.setColorAt(1, QColor(0x2D, 0x5C, 0xA8));
    painter.fillRect(0, 0, 520, 48, bar);
    painter.setPen(Qt::white);
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(20);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(16, 0, 400, 48), Qt::AlignVCenter, u"Web Mail"_s);
    painter.fillRect(16, 64, 140, 260, QColor(0xEE, 0xF2, 0xF8));
    for (int row = 0; row < 8; ++row)
        painter.fillRect(172, 68 + row * 32, 330 - (row % 3) * 40, 18, QColor(0xDD, 0xE3, 0xEC));
    const QString path = QDir::temp().filePath(u"morvalen-gallery-screenshot.png"_s);
    page.save(path, "PNG");
    return path;
}

const QStringList kSitePages{u"general"_s, u"images"_s, u"browser"_s, u"monitor"_s, u"shortcuts"_s};

// The site dialog in a mode ("create", "install", "edit") on one of its pages, with stores
// in a folder of the gallery's own.
QWidget* SiteDialog(const QString& mode, const QString& page)
{
    static QTemporaryDir data;
    static TFavoriteIconManager icons;
    static TThumbnailManager thumbnails;
    static NoAutostart autostart;
    static TApplicationsSettings settings(autostart);
    if (icons.Folder().isEmpty()) {
        QDir().mkpath(data.filePath(u"FavIcons"_s));
        icons.SetFolder(data.filePath(u"FavIcons/"_s));
        QDir().mkpath(data.filePath(u"Thumbnails"_s));
        thumbnails.SetFolder(data.filePath(u"Thumbnails/"_s));
    }
    // The record lives as long as its dialog.
    auto* dialog = new TfSiteDlg;
    auto* site = new TMorvalenBaseClass;
    QObject::connect(dialog, &QObject::destroyed, [site] { delete site; });
    if (mode != u"create"_s) {
        site->SetTitle(u"Web Mail"_s);
        site->SetURL(u"http://www.webmail.example/"_s);
        site->SetDescription(u"Your mail in the browser"_s);
        site->SetMonitorChanges(true);
        site->SetShortcutKinds(1 | 8);
    }
    if (mode == u"create"_s)
        dialog->SetCreateMode();
    dialog->SetFavoriteIconManager(&icons);
    dialog->SetThumbnailManager(&thumbnails);
    dialog->SetSite(site);
    if (mode == u"edit"_s) {
        dialog->SetEditMode();
    } else {
        dialog->SetSettings(&settings);
        if (mode == u"install"_s) {
            dialog->SignUpBox()->setText(u"Sign up at Web Mail"_s);
            dialog->SignUpBox()->setVisible(true);
            dialog->SetInstallMode();
        }
    }
    dialog->findChild<QListWidget*>(u"lbPages"_s)
        ->setCurrentRow(int(std::max<qsizetype>(0, kSitePages.indexOf(page))));
    return dialog;
}

} // namespace

QStringList Names()
{
    return {u"settings"_s,
            u"confirm"_s,
            u"quit"_s,
            u"about"_s,
            u"firefox"_s,
            u"rate"_s,
            u"newversion"_s,
            u"latestversion"_s,
            u"screenshot"_s,
            u"site-create"_s,
            u"site-install"_s,
            u"site-edit"_s,
            u"site-edit-images"_s,
            u"site-edit-browser"_s,
            u"site-edit-monitor"_s,
            u"site-edit-shortcuts"_s};
}

QWidget* Make(const QString& name)
{
    QWidget* dialog = nullptr;
    if (name == u"settings"_s) {
        static NoAutostart autostart;
        static TApplicationsSettings settings(autostart);
        auto* settingsDialog = new TfSettingsDlg;
        settingsDialog->SetSettings(settings);
        dialog = settingsDialog;
    } else if (name == u"confirm"_s) {
        auto* confirm = new TfConfirmationDlg;
        confirm->SetTexts(u"Are You sure to remove site"_s, u" <img 1> <b>Web Mail</b> ?"_s);
        confirm->SetIcon(SampleIcon());
        dialog = confirm;
    } else if (name == u"quit"_s) {
        auto* quit = new TfConfirmationDlg;
        quit->setWindowTitle(u"Quit Morvalen Desktop"_s);
        quit->SetTexts(u"Are You sure you want to quit"_s, u"<b>Morvalen Desktop</b> ?"_s);
        quit->SetOpenBrowsers(2);
        dialog = quit;
    } else if (name == u"about"_s) {
        dialog = new TfAboutDlg(VersionText(ProgramVersion().value_or(PackVersion(2, 0, 6, 0))));
    } else if (name == u"firefox"_s) {
        dialog = new TfFireFoxMissingDlg;
    } else if (name == u"rate"_s) {
        dialog = new TfRateSiteDlg(u"Web Mail"_s, 3.5f);
    } else if (name == u"newversion"_s) {
        auto* newVersion = new TfNewVersionDlg;
        newVersion->SetNewVersion(u"2.0.6.0"_s, u"2.0.7.0"_s,
                                  u"Faster start-up, sharper site thumbnails and a notification window that "
                                  u"keeps out of the way. Search results open in tabs of their own."_s);
        dialog = newVersion;
    } else if (name == u"latestversion"_s) {
        auto* latest = new TfNewVersionDlg;
        latest->SetLatestVersion(u"2.0.6.0"_s);
        dialog = latest;
    } else if (name.startsWith(u"site-"_s)) {
        const QStringList parts = name.split(u'-');
        dialog = SiteDialog(parts.value(1), parts.value(2));
    } else if (name == u"screenshot"_s) {
        auto* preview = new TfScreenShotPreviewDlg(
            u"Web Mail"_s, u"Your mail in the browser"_s,
            u"Reads, writes and files mail from any browser, with folders, search and an address book."_s);
        preview->ShowPictureFile(SampleScreenshot());
        return preview;
    }
    if (dialog)
        dialog->setAttribute(Qt::WA_DeleteOnClose);
    return dialog;
}

} // namespace DialogSamples
