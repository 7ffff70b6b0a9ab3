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
