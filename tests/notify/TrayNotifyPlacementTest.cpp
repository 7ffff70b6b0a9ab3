#include "notify/TrayNotifyPlacement.h"

#include <gtest/gtest.h>

using namespace TrayNotifyPlacement;

namespace {

const QRect kScreen(0, 0, 1024, 768);
const QSize kWindow(260, 90);

} // namespace

TEST(TrayNotifyPlacement, FindsThePanelFromWhatTheScreenKeepsBack)
{
    // A panel along the bottom of a second screen to the right of the first.
    const QRect screen(1920, 0, 1280, 1024);
    TPanelInfo panel = PanelFromScreen(screen, QRect(1920, 0, 1280, 994));
    EXPECT_EQ(panel.Edge, peBottom);
    EXPECT_EQ(panel.Bounds, QRect(1920, 994, 1280, 30));

    panel = PanelFromScreen(kScreen, QRect(0, 24, 1024, 744));
    EXPECT_EQ(panel.Edge, peTop);
    EXPECT_EQ(panel.Bounds, QRect(0, 0, 1024, 24));

    panel = PanelFromScreen(kScreen, QRect(48, 0, 976, 768));
    EXPECT_EQ(panel.Edge, peLeft);
    EXPECT_EQ(panel.Bounds, QRect(0, 0, 48, 768));

    panel = PanelFromScreen(kScreen, QRect(0, 0, 990, 768));
    EXPECT_EQ(panel.Edge, peRight);
    EXPECT_EQ(panel.Bounds, QRect(990, 0, 34, 768));

    // Two panels: the wider strip is the one with the notification area.
    panel = PanelFromScreen(kScreen, QRect(0, 24, 1024, 704));
    EXPECT_EQ(panel.Edge, peBottom);

    EXPECT_EQ(PanelFromScreen(kScreen, kScreen).Edge, peNone);
}

TEST(TrayNotifyPlacement, SitsBesideThePanelAndTwoPixelsOffAPanelThatHidesItself)
{
    // No panel: the bottom right corner.
    EXPECT_EQ(PlaceWindow(kScreen, {}, kWindow), QPoint(764, 678));

    TPanelInfo bottom{peBottom, QRect(0, 738, 1024, 30), false};
    EXPECT_EQ(PlaceWindow(kScreen, bottom, kWindow), QPoint(764, 648));
    bottom.AutoHide = true;
    EXPECT_EQ(PlaceWindow(kScreen, bottom, kWindow), QPoint(764, 676));

    TPanelInfo top{peTop, QRect(0, 0, 1024, 24), false};
    EXPECT_EQ(PlaceWindow(kScreen, top, kWindow), QPoint(764, 24));
    top.AutoHide = true;
    EXPECT_EQ(PlaceWindow(kScreen, top, kWindow), QPoint(764, 2));

    TPanelInfo left{peLeft, QRect(0, 0, 48, 768), false};
    EXPECT_EQ(PlaceWindow(kScreen, left, kWindow), QPoint(48, 678));
    left.AutoHide = true;
    EXPECT_EQ(PlaceWindow(kScreen, left, kWindow), QPoint(2, 678));

    TPanelInfo right{peRight, QRect(990, 0, 34, 768), false};
    EXPECT_EQ(PlaceWindow(kScreen, right, kWindow), QPoint(730, 678));
    right.AutoHide = true;
    EXPECT_EQ(PlaceWindow(kScreen, right, kWindow), QPoint(762, 678));

    // On a second screen the corner is that screen's.
    const QRect second(1024, 0, 1280, 1024);
    EXPECT_EQ(PlaceWindow(second, PanelFromScreen(second, QRect(1024, 0, 1280, 994)), kWindow),
              QPoint(2044, 904));
}

TEST(TrayNotifyPlacement, FindsAPanelThatReservesNothingAmongTheDockWindows)
{
    // Hidden down to a strip at the bottom: two pixels above the screen's edge.
    const QRect strip(0, 766, 1024, 2);
    TPanelInfo panel = PanelFromScreen(kScreen, kScreen, {QRect(300, 300, 200, 40), strip});
    EXPECT_EQ(panel.Edge, peBottom);
    EXPECT_TRUE(panel.AutoHide);
    EXPECT_EQ(PlaceWindow(kScreen, panel, kWindow), QPoint(764, 676));

    // Shown over the windows without reserving room: beside it.
    panel = PanelFromScreen(kScreen, kScreen, {QRect(990, 0, 34, 768)});
    EXPECT_EQ(panel.Edge, peRight);
    EXPECT_FALSE(panel.AutoHide);
    EXPECT_EQ(PlaceWindow(kScreen, panel, kWindow), QPoint(730, 678));

    // A panel on another screen, or a dock in the middle, is not this screen's panel.
    EXPECT_EQ(PanelFromScreen(kScreen, kScreen, {QRect(1024, 994, 1280, 30), QRect(300, 300, 200, 40)}).Edge,
              peNone);
    // What the screen reserves wins over the dock windows.
    panel = PanelFromScreen(kScreen, QRect(0, 24, 1024, 744), {strip});
    EXPECT_EQ(panel.Edge, peTop);
    EXPECT_FALSE(panel.AutoHide);
}
