#include "support/ModalDriver.h"

#include "catalog/ProgramVersion.h"
#include "dialogs/TfAboutDlg.h"
#include "dialogs/TfFireFoxMissingDlg.h"
#include "markup/HtmlLabel.h"

#include <QLabel>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

TEST(ShowAbout, ShowsTheVersionAndNothingWithoutOne)
{
    QString version;
    QString title;
    WhenModalShows<TfAboutDlg>([&](TfAboutDlg* dialog) {
        title = dialog->windowTitle();
        version = dialog->findChild<THtmlLabel*>(u"hlbVersion"_s)->Caption();
        ClickButton(dialog, "btnOk");
    });
    EXPECT_TRUE(ShowAbout(PackVersion(2, 0, 6, 0)));
    EXPECT_EQ(title, u"About"_s);
    EXPECT_EQ(version, u"Version <color clBlue><b>2.0.6.0"_s);

    // Without a version there is nothing to tell: no dialog (a dialog would block here).
    EXPECT_FALSE(ShowAbout(std::nullopt));
}

TEST(TfFireFoxMissingDlg, DownloadAnswersOkAndCancelCancels)
{
    TfFireFoxMissingDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), u"Error"_s);
    EXPECT_EQ(dialog.findChild<THtmlLabel*>(u"hlbTitle"_s)->Caption(), u"<b>Error</b>"_s);
    EXPECT_TRUE(
        dialog.findChild<QLabel*>(u"lbMessage"_s)->text().startsWith(u"The WebKit component is missing. Please install WebKitGTK (Debian package "
                                                      "libwebkit2gtk-4.1-0) and use an X11 session."_s));
    EXPECT_TRUE(dialog.findChild<QLabel*>(u"lbMessage"_s)
                    ->text()
                    .endsWith(u"\nUntil then only use the Chromium rendering engine."_s));

    WhenModalShows<TfFireFoxMissingDlg>(
        [](TfFireFoxMissingDlg* shown) { ClickButton(shown, "btnDownload"); });
    EXPECT_EQ(dialog.exec(), mrOk);
    WhenModalShows<TfFireFoxMissingDlg>([](TfFireFoxMissingDlg* shown) { ClickButton(shown, "btnCancel"); });
    EXPECT_EQ(dialog.exec(), mrCancel);
    WhenModalShows<TfFireFoxMissingDlg>(
        [](TfFireFoxMissingDlg* shown) { QTest::keyClick(shown, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), mrCancel);
}
