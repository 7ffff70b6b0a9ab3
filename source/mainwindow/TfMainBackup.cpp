// The main window's backup of the installed sites, and the restore into the running
// program: the sites, their settings and pictures are read again from the data folder
// afterwards, so that nothing the program held before is written back over them.

#include "TSiteBrowsers.h"
#include "TfMain.h"
#include "browser/TUnreadCounts.h"
#include "common/Errors.h"
#include "sites/SiteBackup.h"
#include "sites/TInstalledSites.h"
#include "sites/TMVVisualManager.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TSiteSettings.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TThumbnailManager.h"

#include <QDir>
#include <QFileDialog>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QSet>

Q_DECLARE_LOGGING_CATEGORY(lcWindow)

using namespace Qt::Literals::StringLiterals;

namespace {

const auto kRestoreTitle = u"Restore sites"_s;

// A list of site titles for a question: a long one is cut, saying how many more there are.
QString TitleList(const QStringList& titles)
{
    constexpr qsizetype kShown = 12;
    QString text;
    for (qsizetype i = 0; i < titles.size() && i < kShown; ++i)
        text += u"\n    "_s + titles[i];
    if (titles.size() > kShown)
        text += u"\n    ... and %1 more"_s.arg(titles.size() - kShown);
    return text;
}

} // namespace

void TfMain::BackUpSites()
{
    const QString title = u"Back up sites"_s;
    const QString path = QFileDialog::getSaveFileName(
        this, title, QDir::homePath() + u"/Morvalen sites.zip"_s, u"Zip archives (*.zip)"_s);
    if (path.isEmpty())
        return;
    // Sign-ins let whoever holds the archive into the user's accounts: only when asked for.
    const QMessageBox::StandardButton signIns = QMessageBox::question(
        this, title,
        u"Include the sites' sign-ins (cookies and stored logins)? Anyone who has the archive can then use them."_s,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No);
    if (signIns == QMessageBox::Cancel)
        return;
    // The arrangement lives in the configuration file, which is written only now and then.
    SaveConfig();
    try {
        SiteBackup::Write(m_dataFolder, path, signIns == QMessageBox::Yes);
        SetStatusText(u"The sites were backed up to %1."_s.arg(path));
    } catch (const EMorvalenError& error) {
        QMessageBox::warning(this, title, QString::fromUtf8(error.what()));
    }
}

void TfMain::RestoreSites()
{
    const QString path =
        QFileDialog::getOpenFileName(this, kRestoreTitle, QDir::homePath(), u"Zip archives (*.zip)"_s);
    if (!path.isEmpty())
        RestoreSitesFrom(path);
}

bool TfMain::RestoreSitesFrom(const QString& archivePath)
{
    std::vector<std::unique_ptr<TMorvalenBaseClass>> sites;
    try {
        sites = SiteBackup::Sites(archivePath);
    } catch (const EMorvalenError& error) {
        ShowMessageHook(QString::fromUtf8(error.what()));
        return false;
    }
    TMVVisualManager& manager = m_installedSites->Manager();
    const auto ownTile = [&manager](const QString& elementId) -> TMVWebElement* {
        for (const auto& item : manager.Items())
            if (item->ElementId() == elementId)
                return manager.TileOf(item.get());
        return nullptr;
    };
    QStringList adding, replacing;
    QSet<QString> replaceIds;
    for (const auto& site : sites) {
        if (ownTile(site->ElementId())) {
            replacing.push_back(site->Title());
            replaceIds.insert(site->ElementId());
        } else {
            adding.push_back(site->Title());
        }
    }
    if (adding.isEmpty() && replacing.isEmpty()) {
        ShowMessageHook(u"The archive \"%1\" holds no sites."_s.arg(archivePath));
        return false;
    }

    QMessageBox question(QMessageBox::Question, kRestoreTitle, QString(), QMessageBox::NoButton, this);
    question.setObjectName(u"RestoreQuestion"_s);
    QString text = adding.isEmpty()
                       ? u"The archive adds no sites."_s
                       : u"The archive adds %1 site(s):"_s.arg(adding.size()) + TitleList(adding);
    if (replacing.isEmpty()) {
        question.addButton(u"Restore"_s, QMessageBox::AcceptRole)->setObjectName(u"btnRestore"_s);
    } else {
        text += u"\n\nYou have %1 of its site(s) already:"_s.arg(replacing.size()) + TitleList(replacing) +
                u"\n\nReplace them by the archive's? Their windows close first."_s;
        question.addButton(u"Replace"_s, QMessageBox::YesRole)->setObjectName(u"btnReplace"_s);
        QPushButton* keep = question.addButton(u"Keep mine"_s, QMessageBox::NoRole);
        keep->setObjectName(u"btnKeep"_s);
        keep->setEnabled(!adding.isEmpty());
    }
    QPushButton* cancel = question.addButton(QMessageBox::Cancel);
    cancel->setObjectName(u"btnCancel"_s);
    question.setDefaultButton(cancel);
    question.setText(text);
    question.exec();
    const QMessageBox::ButtonRole answer = question.buttonRole(question.clickedButton());
    if (answer != QMessageBox::AcceptRole && answer != QMessageBox::YesRole && answer != QMessageBox::NoRole)
        return false;
    if (answer == QMessageBox::NoRole)
        replaceIds.clear();

    // A closing window writes its placement into its site and so into the data file: that
    // happens now, before the restore, never over it.
    for (const QString& id : replaceIds)
        if (TMVWebElement* tile = ownTile(id))
            m_siteBrowsers->CloseSiteBrowser(*tile);
    // The folder's own arrangement and its sites as they are now are what the restore merges
    // into; a folder without a data file yet would take the archive's configuration instead.
    SaveConfig();
    if (!manager.Save()) {
        ShowMessageHook(u"The sites could not be restored: the installed sites cannot be saved."_s);
        return false;
    }
    SiteBackup::RestoreResult result;
    try {
        result =
            SiteBackup::Restore(m_dataFolder, archivePath, [&replaceIds](const TMorvalenBaseClass& site) {
                return replaceIds.contains(site.ElementId());
            });
    } catch (const EMorvalenError& error) {
        ShowMessageHook(QString::fromUtf8(error.what()));
        return false;
    }
    ReloadRestoredSites(replaceIds);
    qCDebug(lcWindow) << "restored" << archivePath << "added" << result.added << "replaced"
                      << result.replaced;
    SetStatusText(u"Sites restored from %1: %2 added, %3 replaced."_s.arg(archivePath)
                      .arg(result.added)
                      .arg(result.replaced));
    return true;
}

void TfMain::ReloadRestoredSites(const QSet<QString>& replaced)
{
    // The pictures first: the new tiles read theirs from the stores.
    const auto reload = [](const char* what, const std::function<void()>& step) {
        try {
            step();
        } catch (const EMorvalenError& error) {
            qWarning("%s: %s", what, qPrintable(error.Message()));
        }
    };
    reload(TFavoriteIconManager::kIndexFileName,
           [this] { m_favoriteIconManager->LoadIndex(m_favoriteIconManager->FileName()); });
    reload(TThumbnailManager::kIndexFileName,
           [this] { m_thumbnailManager->LoadIndex(m_thumbnailManager->FileName()); });
    m_siteSettings->Reload();
    for (const QString& id : replaced)
        m_siteBrowsers->UnreadCounts().Forget(id);
    m_installedSites->Manager().ReloadFromFile(replaced);
    for (const auto& site : m_installedSites->Manager().Items())
        m_siteBrowsers->RestoreUnreadCount(*site);
}
