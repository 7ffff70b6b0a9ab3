#include "support/ModalDriver.h"

#include "dialogs/TfConfirmationDlg.h"
#include "markup/HtmlLabel.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

THtmlLabel* Label(QWidget* dialog, const char* name)
{
    return dialog->findChild<THtmlLabel*>(QString::fromLatin1(name));
}

} // namespace

TEST(Confirm, YesAnswersSixAndEverythingElseCancel)
{
    WhenModalShows<TfConfirmationDlg>([](TfConfirmationDlg* dialog) { ClickButton(dialog, "btnYes"); });
    EXPECT_EQ(Confirm(u"Are You sure to remove site"_s, u" <b>Mail</b> ?"_s), mrYes);
    EXPECT_EQ(int(mrYes), 6);

    WhenModalShows<TfConfirmationDlg>([](TfConfirmationDlg* dialog) { ClickButton(dialog, "btnNo"); });
    EXPECT_EQ(Confirm(u"a"_s, u"b"_s), mrCancel);

    WhenModalShows<TfConfirmationDlg>(
        [](TfConfirmationDlg* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_EQ(Confirm(u"a"_s, u"b"_s), mrCancel);

    // Enter takes the default button.
    WhenModalShows<TfConfirmationDlg>(
        [](TfConfirmationDlg* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
    EXPECT_EQ(Confirm(u"a"_s, u"b"_s), mrYes);
}

TEST(Confirm, ShowsBothTextsAndTheCallersIconForImageOne)
{
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(QColor(0x12, 0x34, 0x56));
    TfConfirmationDlg dialog;
    dialog.SetTexts(u"Are You sure to remove site"_s, u" <img 1> <b>Web Mail</b> ?"_s);
    dialog.SetIcon(icon);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), u"Confirmation"_s);
    EXPECT_EQ(Label(&dialog, "lbText")->Caption(), u"Are You sure to remove site"_s);

    THtmlLabel* second = Label(&dialog, "lbText2");
    const std::vector<TStyledPhrase>& phrases = second->Phrases();
    bool iconShown = false;
    for (size_t i = 0; i < phrases.size(); ++i) {
        if (phrases[i].IsImage && phrases[i].Target == u"1"_s)
            iconShown = second->PhrasePicture(i) == icon && phrases[i].Bounds.width() == 16;
    }
    EXPECT_TRUE(iconShown);
    EXPECT_FALSE(Label(&dialog, "lbOpenBrowsers")->isVisible());
}

TEST(ConfirmQuit, NamesTheOpenBrowsersOnlyWhenThereAreAny)
{
    QString title;
    QString openBrowsers;
    bool shown = true;
    WhenModalShows<TfConfirmationDlg>([&](TfConfirmationDlg* dialog) {
        title = dialog->windowTitle();
        openBrowsers = Label(dialog, "lbOpenBrowsers")->Caption();
        shown = Label(dialog, "lbOpenBrowsers")->isVisible();
        ClickButton(dialog, "btnNo");
    });
    EXPECT_EQ(ConfirmQuit(2), mrCancel);
    EXPECT_EQ(title, u"Quit Morvalen Desktop"_s);
    EXPECT_EQ(openBrowsers, u"Open browsers: 2"_s);
    EXPECT_TRUE(shown);

    QString question;
    WhenModalShows<TfConfirmationDlg>([&](TfConfirmationDlg* dialog) {
        question = Label(dialog, "lbText")->Caption() + u'|' + Label(dialog, "lbText2")->Caption();
        shown = Label(dialog, "lbOpenBrowsers")->isVisible();
        ClickButton(dialog, "btnYes");
    });
    EXPECT_EQ(ConfirmQuit(0), mrYes);
    EXPECT_EQ(question, u"Are You sure you want to quit|<b>Morvalen Desktop</b> ?"_s);
    EXPECT_FALSE(shown);
}
