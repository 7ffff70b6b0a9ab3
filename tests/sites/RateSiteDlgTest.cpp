#include "support/ModalDriver.h"

#include "catalog/TWebApplicationClass.h"
#include "catalog/TWebApplicationList.h"
#include "details/TMVRating.h"
#include "dialogs/OwnerDrawnComboBox.h"
#include "markup/HtmlLabel.h"
#include "pictures/GraphicTools.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TfRateSiteDlg.h"
#include "support/RenderSupport.h"
#include "support/TestHttpServer.h"
#include "support/TestSupport.h"

#include <QPainter>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// One row of the rating list as the list draws it.
QImage RenderRow(OwnerDrawnComboBox& box, int index, bool selected)
{
    QImage row(200, OwnerDrawnComboBox::kRowHeight, QImage::Format_ARGB32);
    row.fill(Qt::transparent);
    QPainter painter(&row);
    box.PaintItem(painter, row.rect(), index, selected);
    return row;
}

// Whether the star picture stands at x, 2 pixels below the row's top: every opaque pixel of
// it is there (its last column may be covered by the next star).
bool StarAt(const QImage& row, int x, const QImage& star)
{
    const QImage opaque = star.convertToFormat(QImage::Format_ARGB32);
    for (int sy = 0; sy < opaque.height(); ++sy) {
        for (int sx = 0; sx < 14; ++sx) {
            const QColor pixel = opaque.pixelColor(sx, sy);
            if (pixel.alpha() == 255 && row.pixelColor(x + sx, 2 + sy).rgb() != pixel.rgb())
                return false;
        }
    }
    return true;
}

} // namespace

TEST(TfRateSiteDlg, ShowsTheSiteAndStartsWithOneStar)
{
    TfRateSiteDlg dialog(u"Web Mail"_s, 3.5f);
    EXPECT_EQ(dialog.windowTitle(), u"Rate site"_s);
    EXPECT_EQ(dialog.findChild<THtmlLabel*>(u"hlbTitle"_s)->Caption(),
              u"<b>Rate site <color clBlue>Web Mail</color>.</b>"_s);
    EXPECT_EQ(dialog.findChild<THtmlLabel*>(u"hlbText"_s)->Caption(), u"Rate this site from 1 to 5 stars."_s);
    EXPECT_EQ(dialog.RatingBox()->count(), 5);
    EXPECT_EQ(dialog.RatingBox()->currentText(), u"One star"_s);
    EXPECT_EQ(dialog.ChosenRating(), 1);
}

TEST(TfRateSiteDlg, ChoosingThreeStarsAnswersThreeAndCancelNothing)
{
    WhenModalShows<TfRateSiteDlg>([](TfRateSiteDlg* dialog) {
        dialog->RatingBox()->setCurrentIndex(2);
        ClickButton(dialog, "btnOk");
    });
    EXPECT_EQ(AskSiteRating(u"Site"_s, 0), std::optional<int>(3));

    WhenModalShows<TfRateSiteDlg>([](TfRateSiteDlg* dialog) {
        dialog->RatingBox()->setCurrentIndex(4);
        ClickButton(dialog, "btnCancel");
    });
    EXPECT_EQ(AskSiteRating(u"Site"_s, 0), std::nullopt);
}

TEST(TfRateSiteDlg, OkDoesNothingWithoutAChoice)
{
    TfRateSiteDlg dialog(u"Site"_s, 0);
    dialog.show();
    dialog.RatingBox()->setCurrentIndex(-1);
    ClickButton(&dialog, "btnOk");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    EXPECT_EQ(dialog.ChosenRating(), 0);
    dialog.RatingBox()->setCurrentIndex(1);
    ClickButton(&dialog, "btnOk");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), mrOk);
}

TEST(TfRateSiteDlg, EachChoiceIsDrawnWithItsNumberOfStars)
{
    TfRateSiteDlg dialog(u"Site"_s, 0);
    OwnerDrawnComboBox& box = *dialog.RatingBox();
    const QImage star = GraphicTools::LoadPngResource(u"rtStarFull"_s);
    const QColor selectedRow(0x31, 0x6A, 0xC5);
    for (int index = 0; index < 5; ++index) {
        const QImage row = RenderRow(box, index, false);
        for (int k = 0; k < 5; ++k)
            EXPECT_EQ(StarAt(row, 4 + 70 + 14 * k, star), k <= index) << "choice " << index << " star " << k;
    }

    // A selected row: the selection colour, white text, the stars on top.
    const QImage selected = RenderRow(box, 2, true);
    EXPECT_EQ(selected.pixelColor(1, 1), selectedRow);
    EXPECT_TRUE(StarAt(selected, 4 + 70 + 28, star));
    bool whiteText = false;
    for (int x = 4; x < 70; ++x) {
        for (int y = 0; y < selected.height(); ++y)
            whiteText = whiteText || SameColor(selected.pixelColor(x, y), Qt::white, 60);
    }
    EXPECT_TRUE(whiteText);
}

TEST(RateSite, TheChosenRatingReachesTheServerAndTheSiteCountsAsRated)
{
    TestHttpServer server;
    server.Serve(u"/link/update.php"_s, "OK");
    TWebApplicationList applications;
    applications.Add(42, nullptr).SetUserRating(4.5f);
    TMorvalenBaseClass site;
    site.SetTitle(u"Web Mail"_s);
    site.SetCatalogId(42);
    site.SetUserRating(1.0f);
    site.SetCanRate(true);
    QWidget owner;

    // Cancel: nothing is sent and the site may still be rated.
    WhenModalShows<TfRateSiteDlg>([](TfRateSiteDlg* dialog) { ClickButton(dialog, "btnCancel"); });
    EXPECT_FALSE(RateSite(site, applications, server.Url(QString()), &owner));
    EXPECT_TRUE(site.CanRate());

    float shownRating = -1;
    WhenModalShows<TfRateSiteDlg>([&](TfRateSiteDlg* dialog) {
        shownRating = dialog->findChild<TMVRating*>(u"rtCurrentRating"_s)->Rating();
        dialog->RatingBox()->setCurrentIndex(2);
        ClickButton(dialog, "btnOk");
    });
    EXPECT_TRUE(RateSite(site, applications, server.Url(QString()), &owner));
    // The catalog knows the application: its rating, not the stored one, is the current one.
    EXPECT_FLOAT_EQ(shownRating, 4.5f);
    EXPECT_FALSE(site.CanRate());
    ASSERT_TRUE(WaitUntil([&] { return server.RequestCount(u"/link/update.php"_s) == 1; }));
    EXPECT_EQ(server.Requests().value(0).target, "/link/update.php?imgId=42&rating=3");
}
