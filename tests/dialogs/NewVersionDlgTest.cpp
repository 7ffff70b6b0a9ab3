#include "support/ModalDriver.h"

#include "catalog/ProgramVersion.h"
#include "catalog/TRemoteVersion.h"
#include "dialogs/TfNewVersionDlg.h"
#include "markup/HtmlLabel.h"
#include "panels/TDscLabel.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The version file's answer, read the way the version check reads it.
TRemoteVersion RemoteVersion(const QTemporaryDir& folder)
{
    const QString file = folder.filePath(u"version.xml"_s);
    WriteFile(file, "<products><product id=\"MorvalenDesktop\"><versions>"
                    "<version major=\"2\" minor=\"0\" release=\"7\" build=\"0\">"
                    "<description>Faster start-up.</description>"
                    "<download_url>http://127.0.0.1:8370/download/</download_url>"
                    "</version></versions></product></products>");
    TRemoteVersion remote;
    remote.LoadFromFile(file);
    return remote;
}

QString Caption(QWidget* dialog, const char* name)
{
    return dialog->findChild<THtmlLabel*>(QString::fromLatin1(name))->Caption();
}

} // namespace

TEST(TfNewVersionDlg, OffersTheNewVersionAndOpensItsPageOnDownload)
{
    QTemporaryDir folder;
    const TRemoteVersion remote = RemoteVersion(folder);
    ASSERT_TRUE(remote.Found());

    QString title, welcome, whatsNew, current, description;
    bool downloadShown = false;
    WhenModalShows<TfNewVersionDlg>([&](TfNewVersionDlg* dialog) {
        title = dialog->windowTitle();
        welcome = Caption(dialog, "hlbWelcome");
        whatsNew = Caption(dialog, "hlbWhatsNew");
        current = dialog->findChild<QLabel*>(u"lbCurrentVersion"_s)->text();
        description = dialog->findChild<TDscLabel*>(u"dlDescription"_s)->Caption();
        downloadShown = dialog->findChild<QPushButton*>(u"btnDownload"_s)->isVisible();
        ClickButton(dialog, "btnDownload");
    });
    QStringList opened;
    EXPECT_TRUE(
        OfferNewVersion(PackVersion(2, 0, 6, 0), remote,
                        [&](const QString& url, const QString& pageTitle) { opened << url << pageTitle; }));
    EXPECT_EQ(title, u"A New version is available"_s);
    EXPECT_EQ(
        welcome,
        u"New version of <b>Morvalen <color $00F06048>Desktop</color></b> is available for download!"_s);
    EXPECT_EQ(whatsNew, u"What's new in version <b>2.0.7.0</b>:"_s);
    EXPECT_EQ(current, u"2.0.6.0"_s);
    EXPECT_EQ(description, u"Faster start-up."_s);
    EXPECT_TRUE(downloadShown);
    EXPECT_EQ(opened, QStringList({u"http://127.0.0.1:8370/download/"_s, u"Download new version"_s}));

    // "Later" opens nothing.
    opened.clear();
    WhenModalShows<TfNewVersionDlg>([&](TfNewVersionDlg* dialog) { ClickButton(dialog, "btnLater"); });
    EXPECT_FALSE(OfferNewVersion(PackVersion(2, 0, 6, 0), remote,
                                 [&](const QString& url, const QString&) { opened << url; }));
    EXPECT_TRUE(opened.isEmpty());
}

TEST(TfNewVersionDlg, TheLatestVersionFormHasOnlyACloseButton)
{
    TfNewVersionDlg dialog;
    dialog.SetLatestVersion(VersionText(PackVersion(2, 0, 6, 0)));
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), u"Latest version"_s);
    EXPECT_EQ(Caption(&dialog, "hlbWelcome"),
              u"You have the latest version of <b>Morvalen <color $00F06048>Desktop</color></b>!"_s);
    EXPECT_EQ(dialog.findChild<QLabel*>(u"lbCurrentVersion"_s)->text(), u"2.0.6.0"_s);
    EXPECT_EQ(dialog.height(), 214);
    EXPECT_FALSE(dialog.findChild<QPushButton*>(u"btnDownload"_s)->isVisible());
    auto* close = dialog.findChild<QPushButton*>(u"btnLater"_s);
    EXPECT_TRUE(close->isVisible());
    EXPECT_EQ(close->text(), u"Close"_s);
    // Everything still shown fits into the smaller form.
    for (QWidget* child : dialog.findChildren<QWidget*>()) {
        if (child->isVisible()) {
            EXPECT_TRUE(dialog.rect().contains(QRect(child->mapTo(&dialog, QPoint()), child->size())))
                << child->objectName().toStdString();
        }
    }

    // An unreadable program version is told as 0.0.0.0.
    QString shownVersion;
    WhenModalShows<TfNewVersionDlg>([&](TfNewVersionDlg* shown) {
        shownVersion = shown->findChild<QLabel*>(u"lbCurrentVersion"_s)->text();
        ClickButton(shown, "btnLater");
    });
    ShowLatestVersion(0);
    EXPECT_EQ(shownVersion, u"0.0.0.0"_s);
}
