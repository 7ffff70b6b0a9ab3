#include "support/RenderSupport.h"

#include "panels/TDialogHeader.h"
#include "panels/TDscLabel.h"
#include "panels/TMVDelimiter.h"
#include "panels/TMVFrame.h"
#include "panels/TSpecialFrame.h"

#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor kLine(0xCE, 0xCE, 0xCE);

// A frame holding one child in a layout, as the catalog panels hold their lists.
struct FramedChild
{
    FramedChild()
    {
        frame.resize(300, 200);
        auto* layout = new QVBoxLayout(&frame);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(child);
    }

    QRect ChildGeometry()
    {
        frame.layout()->activate();
        return child->geometry();
    }

    TMVFrame frame;
    QWidget* child = new QWidget;
};

} // namespace

TEST(TMVFrame, ChildrenGetTheAreaBetweenCaptionBarAndHelpArea)
{
    FramedChild framed;
    EXPECT_EQ(framed.frame.ClientRect(), QRect(1, 20, 298, 200 - 20 - 1 - 19));
    EXPECT_EQ(framed.ChildGeometry(), framed.frame.ClientRect());
    framed.frame.SetShowCaptionBar(false);
    framed.frame.SetBottomSpace(10);
    EXPECT_EQ(framed.ChildGeometry(), QRect(1, 1, 298, 200 - 2 - 19 - 10));
}

TEST(TMVFrame, CollapsedFrameIsTwentyHighGivesNoRoomAndRestoresItsHeight)
{
    FramedChild framed;
    framed.frame.show();
    framed.frame.SetFrameState(fsExpanded);
    EXPECT_EQ(framed.frame.height(), 200);

    framed.frame.SetFrameState(fsCollapsed);
    EXPECT_EQ(framed.frame.height(), 20);
    EXPECT_TRUE(framed.frame.ClientRect().isEmpty());
    EXPECT_TRUE(framed.frame.contentsRect().isEmpty());
    EXPECT_FALSE(framed.child->isVisible());
    // A layout around the panel cannot stretch it open again.
    EXPECT_EQ(framed.frame.maximumHeight(), 20);

    framed.frame.SetFrameState(fsExpanded);
    EXPECT_EQ(framed.frame.height(), 200);
    EXPECT_TRUE(framed.child->isVisible());
    EXPECT_EQ(framed.ChildGeometry(), framed.frame.ClientRect());
    EXPECT_EQ(framed.frame.maximumHeight(), QWIDGETSIZE_MAX);

    // A child the owner had hidden stays hidden after the round trip.
    framed.child->hide();
    framed.frame.SetFrameState(fsCollapsed);
    framed.frame.SetFrameState(fsNormal);
    EXPECT_FALSE(framed.child->isVisible());
}

TEST(TMVFrame, CollapsedFramePaintsItsBarOnly)
{
    TMVFrame frame;
    frame.SetCaption(u"Details"_s);
    frame.SetFrameState(fsCollapsed);
    const QImage image = Render(frame, Qt::red);
    ASSERT_EQ(image.height(), 20);
    EXPECT_EQ(Pixel(image, 0, 0), kLine);
    EXPECT_EQ(Pixel(image, 150, 19), kLine);
    EXPECT_EQ(Pixel(image, 299, 10), kLine);
    EXPECT_EQ(Pixel(image, 150, 1), QColor(Qt::white));
}

TEST(TMVFrame, HidingTheHelpAreaGivesItsHeightToTheChildren)
{
    FramedChild framed;
    const int before = framed.ChildGeometry().height();
    framed.frame.SetShowHelpArea(false);
    EXPECT_EQ(framed.ChildGeometry().height(), before + framed.frame.HelpAreaHeight());
}

TEST(TMVFrame, WrappedHelpTextMakesTheHelpAreaTaller)
{
    FramedChild framed;
    framed.frame.show();
    const QString help = u"Select an application in the list to see its details, screenshots and rating; "
                         u"double-click it to install it as a site of your own."_s;
    framed.frame.SetHelpText(help);
    EXPECT_EQ(framed.frame.HelpAreaHeight(), 19);
    const int oneLine = framed.ChildGeometry().height();

    framed.frame.SetHelpTextWrap(true);
    const int lineHeight = QFontMetrics(framed.frame.font()).height();
    EXPECT_GE(framed.frame.HelpAreaHeight(), 2 * lineHeight + 4);
    EXPECT_EQ(framed.ChildGeometry().height(), oneLine - (framed.frame.HelpAreaHeight() - 19));

    // A wider panel needs fewer lines.
    const int narrow = framed.frame.HelpAreaHeight();
    framed.frame.resize(1200, 200);
    EXPECT_LT(framed.frame.HelpAreaHeight(), narrow);
    EXPECT_EQ(framed.ChildGeometry().bottom(), 200 - 1 - framed.frame.HelpAreaHeight() - 1);
}

TEST(TMVDelimiter, DrawsItsLineOnTheMiddleRowOrColumn)
{
    TMVDelimiter delimiter;
    ASSERT_EQ(delimiter.size(), QSize(156, 5));
    const QImage image = Render(delimiter, Qt::red);
    for (int x : {0, 77, 155})
        EXPECT_EQ(Pixel(image, x, 2), kLine) << x;
    for (int y : {0, 1, 3, 4})
        EXPECT_EQ(Pixel(image, 77, y), QColor(Qt::red)) << y;

    delimiter.SetOrientation(doVertical);
    delimiter.resize(6, 40);
    const QImage vertical = Render(delimiter, Qt::red);
    EXPECT_EQ(Pixel(vertical, 2, 0), kLine);
    EXPECT_EQ(Pixel(vertical, 2, 39), kLine);
    EXPECT_EQ(Pixel(vertical, 3, 20), QColor(Qt::red));
}

TEST(TSpecialFrame, OneRoundCornerCutsOnlyThatCorner)
{
    TSpecialFrame frame;
    frame.resize(50, 30);
    frame.SetColor(0x0000FF);      // red around the corners
    frame.SetFillColor(0xFFFFFF);  // white inside
    frame.SetFrameColor(0xFF0000); // blue outline
    bool changed = false;
    frame.Corners().OnChange = [&](TFrameCorners&) {
        changed = true;
    };
    frame.Corners().SetTopLeft(csRound);
    EXPECT_TRUE(changed);

    const QImage image = Render(frame);
    EXPECT_EQ(Pixel(image, 0, 0), QColor(Qt::red));
    EXPECT_EQ(Pixel(image, 1, 0), QColor(Qt::red));
    EXPECT_EQ(Pixel(image, 0, 2), QColor(Qt::blue));
    EXPECT_EQ(Pixel(image, 1, 1), QColor(Qt::blue));
    EXPECT_EQ(Pixel(image, 2, 0), QColor(Qt::blue));
    EXPECT_EQ(Pixel(image, 49, 0), QColor(Qt::blue));
    EXPECT_EQ(Pixel(image, 49, 29), QColor(Qt::blue));
    EXPECT_EQ(Pixel(image, 0, 29), QColor(Qt::blue));
    EXPECT_EQ(Pixel(image, 25, 15), QColor(Qt::white));
}

TEST(TDialogHeader, ChildrenKeepOffThePictureAndTheBottomEdge)
{
    TDialogHeader header;
    header.resize(400, 56);
    EXPECT_EQ(header.contentsRect(), QRect(0, 0, 400, 54));

    QImage picture(48, 48, QImage::Format_ARGB32);
    picture.fill(Qt::green);
    header.SetImage(picture);
    EXPECT_EQ(header.contentsRect(), QRect(0, 0, 400 - 48 - 14, 54));
    const QImage right = Render(header, Qt::red);
    EXPECT_EQ(Pixel(right, 400 - 14 - 48, 3), QColor(Qt::green));
    EXPECT_EQ(Pixel(right, 400 - 14 - 1, 50), QColor(Qt::green));
    EXPECT_EQ(Pixel(right, 400 - 14 - 49, 3), QColor(Qt::white));
    EXPECT_EQ(Pixel(right, 400 - 14 - 48, 2), QColor(Qt::white));

    header.SetImageAlignment(iaLeft);
    header.SetImageOffset(10);
    EXPECT_EQ(header.contentsRect(), QRect(58, 0, 400 - 58, 54));
    EXPECT_EQ(Pixel(Render(header), 10, 3), QColor(Qt::green));
}

TEST(TDscLabel, WrapsItsCaptionInsideTheBorderSpace)
{
    TDscLabel label;
    label.resize(120, 100);
    label.SetUseXPStyles(false);
    label.SetColor(0xFFFFFF);
    label.SetCaption(u"New version of the program is available for download now."_s);
    const QImage image = Render(label);
    const int inset = label.BorderSpace() + 1;
    auto ink = [](const QColor& c) {
        return Ink(c) > 300;
    };
    // No text in the border space, and more than one line of it.
    EXPECT_EQ(CountPixels(image, QRect(1, 1, 118, inset - 1), ink), 0);
    EXPECT_EQ(CountPixels(image, QRect(120 - inset, 1, inset - 1, 98), ink), 0);
    const int lineHeight = QFontMetrics(label.font()).height();
    EXPECT_GT(CountPixels(image, QRect(inset, inset, 120 - 2 * inset, lineHeight), ink), 0);
    EXPECT_GT(CountPixels(image, QRect(inset, inset + lineHeight, 120 - 2 * inset, lineHeight), ink), 0);
}

namespace {

// A shown frame, painted once so that its click zones are known.
struct ShownFrame
{
    explicit ShownFrame(TMVFrameState state, TMVFrameOptions options)
    {
        framed.frame.SetOptions(options);
        framed.frame.SetFrameState(state);
        framed.frame.show();
        Render(framed.frame);
    }

    TMVFrame& Frame() { return framed.frame; }

    void Click(QPoint at)
    {
        QTest::mouseClick(&framed.frame, Qt::LeftButton, {}, at);
        Render(framed.frame);
    }

    FramedChild framed;
};

} // namespace

TEST(TMVFrame, TheGlyphCollapsesAndExpandsWithTheRightOptions)
{
    ShownFrame shown(fsExpanded, foExpandClick | foCollapseClick);
    const QRect glyph = shown.Frame().ZoneRect(TMVFrame::zoneCollapse);
    ASSERT_EQ(glyph.size(), QSize(16, 16));
    EXPECT_EQ(glyph.left(), 5);

    // Elsewhere on the bar nothing happens without foCaptionBarClick.
    shown.Click(QPoint(150, 10));
    EXPECT_EQ(shown.Frame().FrameState(), fsExpanded);
    shown.Click(glyph.center());
    EXPECT_EQ(shown.Frame().FrameState(), fsCollapsed);
    EXPECT_EQ(shown.Frame().height(), 20);

    const QRect expand = shown.Frame().ZoneRect(TMVFrame::zoneExpand);
    ASSERT_FALSE(expand.isEmpty());
    shown.Click(expand.center());
    EXPECT_EQ(shown.Frame().FrameState(), fsExpanded);
    EXPECT_EQ(shown.Frame().height(), 200);
}

TEST(TMVFrame, CaptionBarClicksAndMissingOptions)
{
    ShownFrame bar(fsExpanded, foCollapseClick | foCaptionBarClick);
    EXPECT_EQ(bar.Frame().ZoneRect(TMVFrame::zoneCollapse), QRect(5, 1, 290, 18));
    QTest::mouseMove(&bar.Frame(), QPoint(200, 10));
    EXPECT_EQ(bar.Frame().cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&bar.Frame(), QPoint(200, 100));
    EXPECT_EQ(bar.Frame().cursor().shape(), Qt::ArrowCursor);
    bar.Click(QPoint(200, 10));
    EXPECT_EQ(bar.Frame().FrameState(), fsCollapsed);

    // Without foCollapseClick nothing reacts, not even the glyph.
    ShownFrame none(fsExpanded, foExpandClick | foHideHelpClick);
    EXPECT_TRUE(none.Frame().ZoneRect(TMVFrame::zoneCollapse).isEmpty());
    none.Click(QPoint(12, 10));
    EXPECT_EQ(none.Frame().FrameState(), fsExpanded);

    // A press on the glyph released elsewhere does nothing.
    ShownFrame moved(fsExpanded, foCollapseClick);
    QTest::mousePress(&moved.Frame(), Qt::LeftButton, {}, QPoint(12, 10));
    QTest::mouseRelease(&moved.Frame(), Qt::LeftButton, {}, QPoint(150, 100));
    EXPECT_EQ(moved.Frame().FrameState(), fsExpanded);
}

TEST(TMVFrame, TheHideGlyphHidesTheHelpArea)
{
    ShownFrame shown(fsNormal, foHideHelpClick);
    const int before = shown.framed.ChildGeometry().height();
    const QRect hide = shown.Frame().ZoneRect(TMVFrame::zoneHideHelp);
    ASSERT_EQ(hide.size(), QSize(16, 16));
    EXPECT_EQ(hide.right(), 300 - 1 - 1 - 2);
    shown.Click(hide.center());
    EXPECT_FALSE(shown.Frame().ShowHelpArea());
    EXPECT_EQ(shown.framed.ChildGeometry().height(), before + 19);

    // Without the option the glyph is not drawn and the text runs to the edge.
    ShownFrame without(fsNormal, 0);
    EXPECT_TRUE(without.Frame().ZoneRect(TMVFrame::zoneHideHelp).isEmpty());
}

TEST(TMVFrame, CaptionBarIsAGradientOverALine)
{
    TMVFrame frame;
    const QImage image = Render(frame);
    EXPECT_EQ(Pixel(image, 150, 1), QColor(Qt::white));
    EXPECT_TRUE(SameColor(Pixel(image, 150, 18), QColor(0xE4, 0xE4, 0xE4), 1));
    EXPECT_EQ(Pixel(image, 150, 19), kLine);
    EXPECT_EQ(Pixel(image, 150, 20), QColor(Qt::white));
    // The help box starts 13 pixels in, sharing the content's bottom line.
    EXPECT_EQ(Pixel(image, 13, 200 - 19 - 1), kLine);
    EXPECT_EQ(Pixel(image, 13, 199), kLine);
    EXPECT_NE(Pixel(image, 5, 199), kLine);
}

TEST(TMVDelimiter, FadesAlongTheLine)
{
    TMVDelimiter delimiter;
    delimiter.SetFillType(ftGradientTN);
    QImage image = Render(delimiter);
    EXPECT_EQ(Pixel(image, 0, 2), QColor(0xF4, 0xF4, 0xF4));
    EXPECT_TRUE(SameColor(Pixel(image, 155, 2), kLine, 1));

    delimiter.SetFillType(ftGradientTNT);
    image = Render(delimiter);
    EXPECT_EQ(Pixel(image, 0, 2), QColor(0xF4, 0xF4, 0xF4));
    EXPECT_TRUE(SameColor(Pixel(image, 77, 2), kLine, 1));
    EXPECT_TRUE(SameColor(Pixel(image, 155, 2), QColor(0xF4, 0xF4, 0xF4), 1));
}
