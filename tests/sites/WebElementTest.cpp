#include "support/RenderSupport.h"

#include "pictures/GraphicTools.h"
#include "sites/TFlashThread.h"
#include "sites/TMVWebElement.h"
#include "sites/TMVWebElementDrag.h"
#include "sites/TMorvalenBaseClass.h"
#include "sites/TileGeometry.h"
#include "stores/TFavoriteIconManager.h"
#include "stores/TThumbnailManager.h"
#include "support/PictureSamples.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDrag>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor kWhite(Qt::white);

QImage Picture(const QColor& color, QSize size = {105, 80})
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

bool ShowsPicture(const QImage& rendered, QPoint at, const QImage& picture, const QColor& ground)
{
    QImage expected(picture.size(), QImage::Format_RGB32);
    expected.fill(ground);
    QPainter painter(&expected);
    painter.drawImage(0, 0, picture);
    painter.end();
    return rendered.copy(QRect(at, picture.size())).convertToFormat(QImage::Format_RGB32) == expected;
}

// Rows (or columns) of the area holding a pixel that passes the test.
std::pair<int, int> InkSpan(const QImage& image, const QRect& area, bool rows,
                            const std::function<bool(const QColor&)>& test)
{
    int first = -1;
    int last = -1;
    const QRect clipped = area & image.rect();
    const int outerFrom = rows ? clipped.top() : clipped.left();
    const int outerTo = rows ? clipped.bottom() : clipped.right();
    for (int i = outerFrom; i <= outerTo; ++i) {
        const int innerFrom = rows ? clipped.left() : clipped.top();
        const int innerTo = rows ? clipped.right() : clipped.bottom();
        for (int j = innerFrom; j <= innerTo; ++j) {
            if (test(rows ? image.pixelColor(j, i) : image.pixelColor(i, j))) {
                if (first < 0)
                    first = i;
                last = i;
                break;
            }
        }
    }
    return {first, last};
}

bool Inked(const QColor& color)
{
    return Ink(color) > 150;
}

const QFont& TitleFont()
{
    static const QFont font(u"Tahoma"_s, 10, QFont::Bold);
    return font;
}

// One tile with a site record and no stores, as the installed-sites manager sets one up.
class TileTest : public ::testing::Test
{
protected:
    TileTest()
    {
        m_record.SetTitle(u"Morvalen Notes"_s);
        m_record.SetURL(u"http://notes.example.com/"_s);
        m_record.SetDescription(u"Notes everywhere"_s);
        m_tile.SetMorvalenItem(&m_record);
        m_tile.ExecuteDrag = [this](QDrag& drag) {
            ++m_drags;
            m_lastDrag = qobject_cast<TMVWebElementDrag*>(drag.mimeData());
            m_lastDragPixmap = drag.pixmap().size();
        };
        m_tile.OnRunClick = [this](TMVWebElement& sender) {
            EXPECT_EQ(&sender, &m_tile);
            m_events += u'R';
        };
        m_tile.OnCloseClick = [this](TMVWebElement&) {
            m_events += u'C';
        };
        m_tile.OnDblClick = [this](TMVWebElement&) {
            m_events += u'D';
        };
    }

    // Shows the tile in a window of its own, optionally with the keyboard focus.
    void ShowTile(bool focused)
    {
        // A window of its own would hand the tile the focus when it becomes active.
        if (!focused)
            m_tile.ForceFocusLook(false);
        m_tile.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_tile));
        if (focused) {
            m_tile.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&m_tile));
            m_tile.setFocus();
            ASSERT_TRUE(m_tile.hasFocus());
        }
        Render(m_tile);
    }

    TileGeometry::TTileLayout Layout(bool button)
    {
        TileGeometry::TTileContent content;
        content.HasThumbnail = !m_tile.Thumbnail().isNull();
        content.HasIcon = !m_tile.Icon().Empty();
        content.ButtonShows = button;
        return TileGeometry::Layout(m_tile.size(), content);
    }

    TMorvalenBaseClass m_record;
    TMVWebElement m_tile;
    QString m_events;
    int m_drags = 0;
    QPointer<TMVWebElementDrag> m_lastDrag;
    QSize m_lastDragPixmap;
};

} // namespace

TEST_F(TileTest, WithoutRecordShowsNoElementAndNothingElse)
{
    TMVWebElement tile;
    EXPECT_EQ(tile.size(), QSize(280, 90));
    EXPECT_EQ(tile.focusPolicy(), Qt::StrongFocus);
    const QImage image = Render(tile, Qt::red);
    const TileGeometry::TTileLayout layout = TileGeometry::Layout(tile.size(), {});
    // Card and shadows.
    EXPECT_EQ(Pixel(image, 0, 0), QColor(0xBD, 0xBE, 0xCE));
    EXPECT_EQ(Pixel(image, 277, 87), QColor(0xBD, 0xBE, 0xCE));
    EXPECT_EQ(Pixel(image, 1, 88), QColor(0xE3, 0xE3, 0xE3));
    EXPECT_EQ(Pixel(image, 278, 1), QColor(0xE3, 0xE3, 0xE3));
    EXPECT_EQ(Pixel(image, 278, 0), kWhite);
    EXPECT_EQ(Pixel(image, 2, 89), QColor(0xF5, 0xF5, 0xF5));
    EXPECT_EQ(Pixel(image, 279, 2), QColor(0xF5, 0xF5, 0xF5));
    EXPECT_EQ(Pixel(image, 279, 89), QColor(0xF5, 0xF5, 0xF5));
    EXPECT_EQ(Pixel(image, 279, 1), kWhite);

    // The title reads "No element" in black; below the header nothing is drawn.
    const auto [left, right] = InkSpan(image, layout.Title, false, Inked);
    EXPECT_NEAR(right - left + 1, QFontMetrics(TitleFont()).horizontalAdvance(u"No element"_s), 3);
    EXPECT_TRUE(SameColor(DarkestPixel(image, layout.Title), Qt::black, 40));
    EXPECT_EQ(
        CountPixels(image, layout.Inner.adjusted(0, 29, 0, 0), [](const QColor& c) { return !IsWhite(c); }),
        0);
}

TEST_F(TileTest, UnfocusedTileWithoutBrowserHasNoButtonAndArmsADragInstead)
{
    ShowTile(false);
    const QImage image = Render(m_tile);
    EXPECT_TRUE(m_tile.ZoneRect(TMVWebElement::zoneRun).isEmpty());
    EXPECT_TRUE(m_tile.ZoneRect(TMVWebElement::zoneClose).isEmpty());
    const QRect zone = Layout(true).ButtonZone;
    EXPECT_EQ(CountPixels(image, zone, [](const QColor& c) { return !IsWhite(c); }), 0);

    QTest::mousePress(&m_tile, Qt::LeftButton, {}, zone.center());
    QTest::mouseMove(&m_tile, zone.center() + QPoint(-25, 0));
    QTest::mouseRelease(&m_tile, Qt::LeftButton, {}, zone.center() + QPoint(-25, 0));
    EXPECT_EQ(m_events, QString());
    EXPECT_EQ(m_drags, 1);
}

TEST_F(TileTest, CloseButtonShowsWithBrowserFocusedOrNotAndRaisesOnlyClose)
{
    m_tile.SetHasBrowser(true);
    ShowTile(false);
    const QImage image = Render(m_tile);
    const TileGeometry::TTileLayout layout = Layout(true);
    EXPECT_EQ(m_tile.ZoneRect(TMVWebElement::zoneClose), layout.ButtonZone);
    EXPECT_TRUE(m_tile.ZoneRect(TMVWebElement::zoneRun).isEmpty());
    EXPECT_TRUE(ShowsPicture(image, layout.ButtonPos, GraphicTools::LoadPngResource(u"wiClose"_s), kWhite));

    QTest::mouseMove(&m_tile, QPoint(5, 5));
    QTest::mouseMove(&m_tile, layout.ButtonZone.center());
    EXPECT_EQ(m_tile.Hint(), u"Close current browser"_s);
    EXPECT_EQ(m_tile.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(&m_tile, Qt::LeftButton, {}, layout.ButtonZone.center());
    EXPECT_EQ(m_events, u"C"_s);
    EXPECT_EQ(m_tile.Hint(), QString());

    m_tile.ForceFocusLook(true);
    Render(m_tile);
    EXPECT_EQ(m_tile.ZoneRect(TMVWebElement::zoneClose), layout.ButtonZone);
    EXPECT_TRUE(m_tile.ZoneRect(TMVWebElement::zoneRun).isEmpty());
    QTest::mouseClick(&m_tile, Qt::LeftButton, {}, layout.ButtonZone.center());
    EXPECT_EQ(m_events, u"CC"_s);
}

TEST_F(TileTest, FocusedTileRunsFromItsButtonOnlyWhenReleasedOnIt)
{
    ShowTile(true);
    const TileGeometry::TTileLayout layout = Layout(true);
    const QImage image = Render(m_tile);
    // Focus look: blue border, the gradients, the run button.
    EXPECT_EQ(Pixel(image, 0, 0), QColor(0, 0, 0xFF));
    EXPECT_EQ(Pixel(image, 150, 29), QColor(0xCE, 0xCE, 0xCE));
    EXPECT_TRUE(SameColor(Pixel(image, 60, 28), QColor(0xE7, 0xE7, 0xFF), 6));
    EXPECT_TRUE(SameColor(Pixel(image, 60, 86), QColor(0xF6, 0xEF, 0xD4), 6));
    EXPECT_EQ(m_tile.ZoneRect(TMVWebElement::zoneRun), layout.ButtonZone);
    // The focused title is dark red.
    const QColor title = DarkestPixel(image, layout.Title);
    EXPECT_GT(title.red(), title.blue() + 60);

    // Qt drops a move to where the pointer already is (an earlier test may have left it there).
    QTest::mouseMove(&m_tile, QPoint(5, 5));
    QTest::mouseMove(&m_tile, layout.ButtonZone.center());
    EXPECT_EQ(m_tile.Hint(), u"Open in Browser"_s);
    QTest::mouseMove(&m_tile, QPoint(150, 60));
    EXPECT_EQ(m_tile.Hint(), QString());
    EXPECT_EQ(m_tile.cursor().shape(), Qt::ArrowCursor);

    // Pressed on the button, moved off, released elsewhere: nothing, and no drag.
    QTest::mousePress(&m_tile, Qt::LeftButton, {}, layout.ButtonZone.center());
    QTest::mouseMove(&m_tile, QPoint(150, 60));
    QTest::mouseRelease(&m_tile, Qt::LeftButton, {}, QPoint(150, 60));
    EXPECT_EQ(m_events, QString());
    EXPECT_EQ(m_drags, 0);
    // Pressed elsewhere and released on the button: nothing either.
    QTest::mousePress(&m_tile, Qt::LeftButton, {}, QPoint(150, 60));
    QTest::mouseRelease(&m_tile, Qt::LeftButton, {}, layout.ButtonZone.center());
    EXPECT_EQ(m_events, QString());

    QTest::mouseClick(&m_tile, Qt::LeftButton, {}, layout.ButtonZone.center());
    EXPECT_EQ(m_events, u"R"_s);
    // A right click on the button arms a drag instead of pressing it.
    QTest::mousePress(&m_tile, Qt::RightButton, {}, layout.ButtonZone.center());
    QTest::mouseMove(&m_tile, layout.ButtonZone.center() + QPoint(0, 30));
    QTest::mouseRelease(&m_tile, Qt::RightButton, {}, layout.ButtonZone.center() + QPoint(0, 30));
    EXPECT_EQ(m_events, u"R"_s);
    EXPECT_EQ(m_drags, 1);
}

TEST_F(TileTest, ClickGivesTheFocusAndTheButtonShowsOnlyAfterThat)
{
    QWidget window;
    auto* other = new QWidget(&window);
    other->setFocusPolicy(Qt::StrongFocus);
    other->setGeometry(0, 100, 50, 20);
    auto* tile = new TMVWebElement(&window);
    tile->SetMorvalenItem(&m_record);
    int runs = 0;
    tile->OnRunClick = [&](TMVWebElement&) {
        ++runs;
    };
    window.resize(300, 130);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    Render(*tile);
    const QRect zone = Layout(true).ButtonZone;

    // The first click focuses; the button it lands on was not shown yet.
    QTest::mouseClick(tile, Qt::LeftButton, {}, zone.center());
    EXPECT_TRUE(tile->hasFocus());
    EXPECT_EQ(runs, 0);
    Render(*tile);
    QTest::mouseClick(tile, Qt::LeftButton, {}, zone.center());
    EXPECT_EQ(runs, 1);
    other->setFocus();
    Render(*tile);
    EXPECT_TRUE(tile->ZoneRect(TMVWebElement::zoneRun).isEmpty());
}

TEST_F(TileTest, DoubleClickRaisesOnDblClickButNotOnTheButton)
{
    ShowTile(true);
    const QRect zone = Layout(true).ButtonZone;
    const QPointF elsewhere(150, 60);
    QMouseEvent outside(QEvent::MouseButtonDblClick, elsewhere, m_tile.mapToGlobal(elsewhere), Qt::LeftButton,
                        Qt::LeftButton, {});
    QCoreApplication::sendEvent(&m_tile, &outside);
    EXPECT_EQ(m_events, u"D"_s);
    // A widget gets press, release, double click, release: one run, no double click.
    QTest::mousePress(&m_tile, Qt::LeftButton, {}, zone.center());
    QTest::mouseRelease(&m_tile, Qt::LeftButton, {}, zone.center());
    const QPointF at(zone.center());
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, m_tile.mapToGlobal(at), Qt::LeftButton,
                            Qt::LeftButton, {});
    QCoreApplication::sendEvent(&m_tile, &doubleClick);
    QTest::mouseRelease(&m_tile, Qt::LeftButton, {}, zone.center());
    EXPECT_EQ(m_events, u"DR"_s);
}

TEST_F(TileTest, EnterRunsTheSiteAsTheButtonDoesAndSpaceSelectsTheTile)
{
    ShowTile(true);
    QTest::keyClick(&m_tile, Qt::Key_Return);
    QTest::keyClick(&m_tile, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(m_events, u"RR"_s);
    // Other Enter keys are not the tile's.
    QTest::keyClick(&m_tile, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(m_events, u"RR"_s);

    QWidget other;
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    m_tile.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_tile));
    m_tile.clearFocus();
    ASSERT_FALSE(m_tile.hasFocus());
    QTest::keyClick(&m_tile, Qt::Key_Space);
    EXPECT_TRUE(m_tile.hasFocus());
    EXPECT_EQ(m_events, u"RR"_s);
}

TEST_F(TileTest, AddressCountsExtraTabsAndDescriptionCentresOrWrapsIntoTwoLines)
{
    ShowTile(false);
    const TileGeometry::TTileLayout layout = Layout(false);
    const auto addressInk = [&] {
        return InkSpan(Render(m_tile), layout.Address, false, [](const QColor& c) { return Ink(c) > 100; });
    };
    const auto [plainLeft, plainRight] = addressInk();
    m_record.SetTabURLs({u"http://notes.example.com/tags"_s, u"http://notes.example.com/shared"_s});
    const auto [tabsLeft, tabsRight] = addressInk();
    const int prefix = QFontMetrics(QFont(u"Tahoma"_s, 8)).horizontalAdvance(u"(3) "_s);
    EXPECT_NEAR(tabsRight - plainRight, prefix, 2);
    EXPECT_NEAR(tabsLeft, plainLeft, 1);

    // A short description sits in the middle of its area, in grey while unfocused.
    const QRect area = layout.Description;
    QImage image = Render(m_tile);
    const auto [top, bottom] = InkSpan(image, area, true, Inked);
    ASSERT_GE(top, 0);
    EXPECT_NEAR(top - area.top(), area.bottom() - bottom, 3);
    EXPECT_TRUE(SameColor(DarkestPixel(image, area), QColor(0x80, 0x80, 0x80), 10));

    // A long one wraps into two lines from the area's top and stops there.
    QString longText;
    for (int i = 0; i < 12; ++i)
        longText += u"Write, tag and share notes with anyone. "_s;
    m_record.SetDescription(longText);
    image = Render(m_tile);
    const int lineHeight = QFontMetrics(QFont(u"Tahoma"_s, 8)).height();
    const auto [wrapTop, wrapBottom] = InkSpan(image, area, true, Inked);
    EXPECT_LE(wrapTop - area.top(), 3);
    EXPECT_GT(wrapBottom - area.top(), lineHeight);
    EXPECT_LT(wrapBottom - area.top(), 2 * lineHeight);
    // Nothing below the two lines.
    EXPECT_EQ(CountPixels(image, QRect(area.left(), area.top() + 2 * lineHeight, area.width(), 4), Inked), 0);
}

TEST_F(TileTest, StatusTextFillsAnEmptyDescriptionOnlyWhileFocused)
{
    m_record.SetDescription(QString());
    int asked = 0;
    m_tile.OnGetStatusText = [&](TMVWebElement& sender, QString& text) {
        EXPECT_EQ(&sender, &m_tile);
        ++asked;
        text = u"Double-click to open"_s;
    };
    const QRect area = Layout(false).Description;
    m_tile.ForceFocusLook(false);
    QImage image = Render(m_tile);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(CountPixels(image, area, Inked), 0);

    m_tile.ForceFocusLook(true);
    image = Render(m_tile);
    EXPECT_GE(asked, 1);
    EXPECT_GT(CountPixels(image, area, Inked), 20);
}

TEST_F(TileTest, DragStartsAtTwentyPixelsAndCarriesTheTile)
{
    m_tile.SetThumbnail(Picture(QColor(0x33, 0x66, 0x99)));
    ShowTile(false);
    const QPoint start(150, 60);
    QTest::mousePress(&m_tile, Qt::LeftButton, {}, start);
    QTest::mouseMove(&m_tile, start + QPoint(19, 0));
    QTest::mouseMove(&m_tile, start + QPoint(19, -19));
    EXPECT_EQ(m_drags, 0);
    QTest::mouseMove(&m_tile, start + QPoint(0, 20));
    EXPECT_EQ(m_drags, 1);
    ASSERT_TRUE(m_lastDrag);
    EXPECT_EQ(m_lastDrag->Element(), &m_tile);
    EXPECT_FALSE(m_lastDrag->RightButtonReleased());
    EXPECT_EQ(m_lastDragPixmap, QSize(105, 80));
    // Once started, the same press starts no second drag.
    QTest::mouseMove(&m_tile, start + QPoint(0, 60));
    QTest::mouseRelease(&m_tile, Qt::LeftButton, {}, start + QPoint(0, 60));
    EXPECT_EQ(m_drags, 1);

    // A right-button release during the drag marks the drag object.
    ProcessEventsFor(10);
    QMouseEvent left(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton,
                     {});
    QCoreApplication::sendEvent(&m_tile, &left);
    EXPECT_FALSE(m_lastDrag->RightButtonReleased());
    QMouseEvent right(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::RightButton, Qt::NoButton,
                      {});
    QCoreApplication::sendEvent(&m_tile, &right);
    EXPECT_TRUE(m_lastDrag->RightButtonReleased());
}

TEST_F(TileTest, RightClickWithoutDragOpensTheMenuForThisTile)
{
    QMenu menu;
    menu.addAction(u"Run site in browser"_s);
    m_tile.SetPopupMenu(&menu);
    ShowTile(false);
    QTest::mouseClick(&m_tile, Qt::RightButton, {}, QPoint(150, 60));
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(TMVWebElement::PopupComponentOf(&menu), &m_tile);
    menu.hide();
    EXPECT_EQ(m_drags, 0);
}

TEST_F(TileTest, ThumbnailMovesTheTextsAndCarriesTheShortcutOverlay)
{
    TExIcon icon;
    GraphicTools::LoadBestSmallIcon(icon, QString(), u"res_ico_DefaultFavoriteIcon"_s);
    ASSERT_FALSE(icon.Empty());
    m_tile.SetIcon(icon);
    m_record.SetShortcutKinds(1 << skDesktop);
    const QImage shortcut = GraphicTools::LoadPngResource(u"wiShortCut"_s);

    const QImage iconPicture = icon.Handle();
    m_tile.ForceFocusLook(false);

    // Without a thumbnail: the icon at the card's edge plus 5, no overlay.
    QImage image = Render(m_tile);
    EXPECT_TRUE(ShowsPicture(image, QPoint(6, 7), iconPicture, kWhite));
    m_record.SetShortcutKinds(0);
    EXPECT_EQ(Render(m_tile), image);
    m_record.SetShortcutKinds(1 << skDesktop);

    m_tile.SetThumbnail(Picture(QColor(0x33, 0x66, 0x99)));
    const QImage withOverlay = Render(m_tile);
    EXPECT_EQ(Pixel(withOverlay, 4 + 104, 4), QColor(0x33, 0x66, 0x99));
    EXPECT_TRUE(ShowsPicture(withOverlay, QPoint(114, 7), iconPicture, kWhite));
    m_record.SetShortcutKinds(0);
    const QImage without = Render(m_tile);
    // The overlay changes the thumbnail's lower-left corner and nothing else.
    const QRect corner(1, 55, 32, 32);
    EXPECT_NE(withOverlay.copy(corner), without.copy(corner));
    QImage outside = withOverlay;
    QImage outsideWithout = without;
    QPainter(&outside).fillRect(corner, Qt::black);
    QPainter(&outsideWithout).fillRect(corner, Qt::black);
    EXPECT_EQ(outside, outsideWithout);
}

TEST_F(TileTest, ReloadImagesTakesThePicturesFromTheStoresAndKeepsThemWhenMissing)
{
    QTemporaryDir folder;
    TThumbnailManager thumbnails;
    thumbnails.SetFolder(folder.filePath(u"Thumbnails"_s));
    QDir().mkpath(thumbnails.Folder());
    thumbnails.LoadIndex(folder.filePath(u"Thumbnails/Thumbnails.dat"_s));
    const QImage stored = Picture(QColor(0x10, 0xA0, 0x40));
    thumbnails.Store(m_record.URL(), stored);
    TFavoriteIconManager icons;
    QDir().mkpath(folder.filePath(u"FavIcons"_s));
    icons.SetFolder(folder.filePath(u"FavIcons"_s));
    WriteFile(folder.filePath(u"FavIcons/notes.ico"_s), PictureSamples::TwoImageIcon());
    m_record.SetFavIconFileName(u"notes.ico"_s);

    TMVWebElement tile;
    tile.SetThumbnailManager(&thumbnails);
    tile.SetFavoriteIconManager(&icons);
    tile.SetMorvalenItem(&m_record);
    ASSERT_EQ(tile.Thumbnail().size(), QSize(105, 80));
    EXPECT_EQ(tile.Thumbnail().pixelColor(50, 40), QColor(0x10, 0xA0, 0x40));
    ASSERT_FALSE(tile.Icon().Empty());
    // The 32-bit image of the two 16 x 16 ones, and the tile paints it.
    EXPECT_EQ(tile.Icon().CurrentIndex(), 0);
    TExIcon shown;
    shown.Assign(tile.Icon());
    tile.ForceFocusLook(false);
    const QImage image = Render(tile);
    EXPECT_TRUE(ShowsPicture(image, QPoint(114, 7), shown.Handle(), kWhite));
    EXPECT_EQ(Pixel(image, 4 + 50, 4 + 40), QColor(0x10, 0xA0, 0x40));
    EXPECT_EQ(tile.Icon().Images(tile.Icon().CurrentIndex()).PixelFormat, IconImageData::pf32bit);

    // A site the stores do not know keeps what the tile had.
    m_record.SetURL(u"http://unknown.example.com/"_s);
    m_record.SetFavIconFileName(u"gone.ico"_s);
    tile.ReloadImages();
    EXPECT_EQ(tile.Thumbnail().pixelColor(50, 40), QColor(0x10, 0xA0, 0x40));
    EXPECT_FALSE(tile.Icon().Empty());
}

TEST_F(TileTest, FlashAlternatesTheLooksFiveTimesThenEnds)
{
    std::vector<std::pair<bool, bool>> seen;
    struct PaintWatch : QObject
    {
        std::function<void()> onPaint;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                onPaint();
            return false;
        }
    } watch;
    watch.onPaint = [&] {
        const std::pair<bool, bool> state{m_tile.Flashing(), m_tile.FlashPhase()};
        if (seen.empty() || seen.back() != state)
            seen.push_back(state);
    };
    ShowTile(false);
    m_tile.ForceFocusLook(true);
    m_tile.installEventFilter(&watch);

    m_tile.Flash();
    EXPECT_TRUE(m_tile.Flashing());
    EXPECT_TRUE(m_tile.FlashPhase());
    // Plain phase: the focus look is gone.
    QImage image = Render(m_tile);
    EXPECT_EQ(Pixel(image, 0, 0), QColor(0xBD, 0xBE, 0xCE));
    EXPECT_EQ(Pixel(image, 60, 86), kWhite);

    ASSERT_TRUE(WaitUntil([&] { return !m_tile.FlashPhase(); }));
    image = Render(m_tile);
    EXPECT_EQ(Pixel(image, 0, 0), QColor(0xFF, 0, 0));
    EXPECT_TRUE(SameColor(Pixel(image, 60, 28), QColor(0xFF, 0xFF, 0), 12));

    ASSERT_TRUE(WaitUntil([&] { return !m_tile.Flashing(); }));
    ProcessEventsFor(50);
    m_tile.removeEventFilter(&watch);
    // Five ticks: plain, flash, plain, flash, plain, flash, then the normal look. The last
    // tick and the end may be painted as one.
    std::vector<std::pair<bool, bool>> expected = {{true, true}, {true, false}, {true, true},  {true, false},
                                                   {true, true}, {true, false}, {false, false}};
    if (seen.size() == expected.size() - 1)
        expected.erase(expected.end() - 2);
    EXPECT_EQ(seen, expected);
    image = Render(m_tile);
    EXPECT_EQ(Pixel(image, 0, 0), QColor(0, 0, 0xFF));
}

TEST_F(TileTest, TileDestroyedWhileFlashingIsNeverPaintedAgain)
{
    auto* tile = new TMVWebElement;
    tile->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(tile));
    tile->Flash();
    QPointer<TFlashThread> worker = tile->findChild<TFlashThread*>();
    ASSERT_FALSE(worker.isNull());
    ProcessEventsFor(250);
    EXPECT_TRUE(tile->Flashing());
    delete tile;
    // The worker went with the tile, so no tick can reach it.
    EXPECT_TRUE(worker.isNull());
    ProcessEventsFor(1200);
}

TEST_F(TileTest, TheUnreadBadgeShowsACountInTheHeaderPaleWhenOldAndNothingForNone)
{
    m_tile.SetHasBrowser(true);
    ShowTile(false);
    const TileGeometry::TTileLayout layout = Layout(true);
    const QRect header = layout.Header;
    // The badge has the address line's colour, the old one the description's grey.
    const auto fresh = [](const QColor& c) {
        return c == QColor(0x48, 0x60, 0xF0);
    };
    const auto old = [](const QColor& c) {
        return c == QColor(0x80, 0x80, 0x80);
    };

    EXPECT_EQ(CountPixels(Render(m_tile), header, fresh), 0);

    m_tile.SetUnreadCount(12, false);
    const QImage twelve = Render(m_tile);
    const int area = CountPixels(twelve, header, fresh);
    EXPECT_GT(area, 100);
    // Beside the close button, never over it.
    EXPECT_TRUE(ShowsPicture(twelve, layout.ButtonPos, GraphicTools::LoadPngResource(u"wiClose"_s), kWhite));
    EXPECT_EQ(CountPixels(twelve, layout.ButtonZone, fresh), 0);

    // A longer count makes a wider badge; beyond 999 it stops growing.
    m_tile.SetUnreadCount(120, false);
    EXPECT_GT(CountPixels(Render(m_tile), header, fresh), area);
    m_tile.SetUnreadCount(5000, false);
    const int capped = CountPixels(Render(m_tile), header, fresh);
    m_tile.SetUnreadCount(99999, false);
    EXPECT_EQ(CountPixels(Render(m_tile), header, fresh), capped);

    m_tile.SetUnreadCount(12, true);
    const QImage stale = Render(m_tile);
    EXPECT_EQ(CountPixels(stale, header, fresh), 0);
    EXPECT_GT(CountPixels(stale, header, old), 100);

    m_tile.SetUnreadCount(0, false);
    EXPECT_EQ(CountPixels(Render(m_tile), header, fresh), 0);
    EXPECT_EQ(CountPixels(Render(m_tile), header, old), 0);

    if (const QByteArray shots = qgetenv("MORVALEN_TEST_SHOTS"); !shots.isEmpty()) {
        for (const int count : {1, 12, 120}) {
            m_tile.SetUnreadCount(count, false);
            Render(m_tile).save(QString::fromLocal8Bit(shots) + u"/tile-"_s + QString::number(count) +
                                u".png"_s);
        }
    }
}
