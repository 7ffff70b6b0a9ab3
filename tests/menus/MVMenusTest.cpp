#include "support/RenderSupport.h"

#include "catalog/TWebApplicationClass.h"
#include "menus/MVMenus.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QColor kLine(0x6E, 0x6D, 0x8F);
const QColor kCheckSelected(0xFE, 0x80, 0x3E);
const QColor kCheckUnselected(0xFF, 0xC0, 0x6F);
const QColor kItemBackground(0xFD, 0xFA, 0xFF);

QAction* AddTitle(QMenu& menu, const QString& hint)
{
    QAction* title = menu.addAction(u"-"_s);
    title->setStatusTip(hint);
    return title;
}

QImage RenderMenu(QMenu& menu, QAction* active = nullptr)
{
    menu.resize(menu.sizeHint());
    if (active)
        menu.setActiveAction(active);
    return Render(menu);
}

QImage Square(const QColor& color)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// What the menu answers when asked to measure the item, as Qt asks it.
QSize Measured(TMVMenuDrawing& drawing, const QMenu& menu, const QAction& action)
{
    QStyleOptionMenuItem option;
    option.font = menu.font();
    option.text = action.text();
    if (!action.shortcut().isEmpty())
        option.text += u'\t' + action.shortcut().toString(QKeySequence::NativeText);
    option.menuItemType = action.isSeparator()              ? QStyleOptionMenuItem::Separator
                          : menu.defaultAction() == &action ? QStyleOptionMenuItem::DefaultItem
                                                            : QStyleOptionMenuItem::Normal;
    int width = 0;
    int height = 0;
    if (action.isSeparator())
        drawing.MeasureSeparatorItem(option, width, height);
    else
        drawing.MeasureMenuItem(option, width, height);
    return {width, height};
}

constexpr int kAllowance = MenuMetrics::kPlatformItemAllowance;

int Width(const QFont& font, const QString& text, bool bold = false)
{
    QFont measured = font;
    measured.setBold(bold);
    return QFontMetrics(measured).horizontalAdvance(text);
}

int Height(const QFont& font, bool bold = false)
{
    QFont measured = font;
    measured.setBold(bold);
    return QFontMetrics(measured).height();
}

} // namespace

TEST(MVMenus, OrdinaryItemsMeasureCaptionPlus40ByAtLeast22)
{
    TMVPopupMenu menu;
    QAction* open = menu.addAction(u"Open site"_s);
    menu.PrepareItems();
    const QSize measured = Measured(menu, menu, *open);
    EXPECT_EQ(measured.width(), Width(menu.font(), u"Open site"_s) + 40);
    EXPECT_EQ(measured.height(), std::max(Height(menu.font()) + 6, 22));
    // The item gets what it measured, with the room the desktop adds to owner-drawn items.
    const QRect item = menu.actionGeometry(open);
    EXPECT_EQ(item.width(), measured.width() + kAllowance);
    EXPECT_EQ(item.height(), measured.height());

    // A tall font makes the item taller than 22.
    QFont big = menu.font();
    big.setPixelSize(30);
    menu.setFont(big);
    EXPECT_EQ(menu.actionGeometry(open).height(), Height(big) + 6);
}

TEST(MVMenus, ShortcutsAndTheDefaultItemWidenTheItem)
{
    TMVPopupMenu single;
    QAction* run = single.addAction(u"Run"_s);
    run->setShortcut(QKeySequence(u"Ctrl+R"_s));
    single.PrepareItems();
    const QString shortcut = QKeySequence(u"Ctrl+R"_s).toString(QKeySequence::NativeText);
    const int expected = Width(single.font(), u"Run"_s) + 8 + Width(single.font(), shortcut) + 40 + 8 + 24;
    EXPECT_EQ(Measured(single, single, *run).width(), expected);
    EXPECT_EQ(single.actionGeometry(run).width(), expected + kAllowance);

    TMVPopupMenu bold;
    QAction* item = bold.addAction(u"Default entry"_s);
    bold.setDefaultAction(item);
    bold.PrepareItems();
    EXPECT_EQ(Measured(bold, bold, *item).width(), Width(bold.font(), u"Default entry"_s, true) + 40);
    EXPECT_EQ(bold.actionGeometry(item).width(),
              Width(bold.font(), u"Default entry"_s, true) + 40 + kAllowance);
}

TEST(MVMenus, SeparatorsAreSevenPixelsAndTitleItemsMeasureTheirHeading)
{
    TMVPopupMenu menu;
    QAction* title = AddTitle(menu, u"Site Title"_s);
    QAction* open = menu.addAction(u"Open"_s);
    QAction* separator = menu.addAction(u"-"_s);
    menu.addAction(u"Close"_s);
    menu.PrepareItems();

    EXPECT_TRUE(title->isSeparator());
    EXPECT_TRUE(separator->isSeparator());
    EXPECT_EQ(menu.actionGeometry(separator).height(), 7);
    // The leading title item is kept, not collapsed away as Qt would.
    EXPECT_EQ(menu.actionGeometry(title).y(), 1);
    EXPECT_EQ(menu.actionGeometry(title).height(), Height(menu.font(), true) + 14);
    EXPECT_EQ(menu.actionGeometry(open).y(), 1 + Height(menu.font(), true) + 14);
    EXPECT_EQ(Measured(menu, menu, *title),
              QSize(Width(menu.font(), u"Site Title"_s, true) + 32, Height(menu.font(), true) + 14));
    EXPECT_EQ(Measured(menu, menu, *separator).height(), 7);
}

TEST(MVMenus, FirstTitleItemIsUnderlinedFromTheLeftAndLaterOnesBetweenTwoLines)
{
    TMVPopupMenu menu;
    QAction* first = AddTitle(menu, u"Site Title"_s);
    menu.addAction(u"Open"_s);
    QAction* later = AddTitle(menu, u"More"_s);
    QAction* plain = menu.addAction(u"-"_s);
    menu.addAction(u"Close"_s);
    menu.PrepareItems();
    const QImage image = RenderMenu(menu);

    const QRect a = menu.actionGeometry(first);
    EXPECT_EQ(Pixel(image, a.left(), a.bottom() - 3), kLine);
    EXPECT_EQ(Pixel(image, a.right(), a.bottom() - 3), kLine);
    EXPECT_NE(Pixel(image, a.left() + 30, a.top() + 3), kLine);

    const QRect b = menu.actionGeometry(later);
    EXPECT_NE(Pixel(image, b.left() + 10, b.bottom() - 3), kLine);
    EXPECT_EQ(Pixel(image, b.left() + 24, b.bottom() - 3), kLine);
    EXPECT_EQ(Pixel(image, b.left() + 24, b.top() + 3), kLine);
    EXPECT_EQ(Pixel(image, b.right(), b.top() + 3), kLine);
    EXPECT_NE(Pixel(image, b.left() + 23, b.top() + 3), kLine);

    const QRect c = menu.actionGeometry(plain);
    EXPECT_EQ(Pixel(image, c.left() + 24, c.top() + 3), kLine);
    EXPECT_NE(Pixel(image, c.left() + 23, c.top() + 3), kLine);
    EXPECT_EQ(Pixel(image, c.left() + 30, c.top() + 2), kItemBackground);
}

TEST(MVMenus, CheckedItemsSitOnAnOrangeBox)
{
    TMVPopupMenu menu;
    QAction* checked = menu.addAction(u"Arrange"_s);
    checked->setCheckable(true);
    checked->setChecked(true);
    QAction* other = menu.addAction(u"Other"_s);
    menu.PrepareItems();

    const QRect item = menu.actionGeometry(checked);
    const QImage idle = RenderMenu(menu, other);
    EXPECT_EQ(Pixel(idle, item.left() + 1, item.top() + 1), QColor(0x4B, 0x4B, 0x6F)); // outline
    EXPECT_EQ(Pixel(idle, item.left() + 3, item.top() + 3), kCheckUnselected);
    EXPECT_EQ(Pixel(idle, item.left() + 20, item.top() + 20), QColor(0x4B, 0x4B, 0x6F));
    EXPECT_NE(Pixel(idle, item.left() + 21, item.top() + 21), QColor(0x4B, 0x4B, 0x6F));

    const QImage selected = RenderMenu(menu, checked);
    EXPECT_EQ(Pixel(selected, item.left() + 3, item.top() + 3), kCheckSelected);
    // The highlight box frames the whole item.
    EXPECT_EQ(Pixel(selected, item.right(), item.center().y()), QColor(0x4B, 0x4B, 0x6F));
    EXPECT_EQ(Pixel(selected, item.right() - 2, item.center().y()), QColor(0xFF, 0xEE, 0xC2));
}

TEST(MVMenus, DisabledItemsShowTheirDisabledPictureOrNone)
{
    TMVPopupMenu menu;
    QAction* item = menu.addAction(u"Delete"_s);
    MVMenuItems::SetImageIndex(*item, 1);
    const TMVImageList images{Square(Qt::red), Square(Qt::green)};
    const TMVImageList disabledImages{Square(Qt::gray), Square(Qt::darkGray)};
    menu.SetImages(&images);
    menu.PrepareItems();
    const QRect rect = menu.actionGeometry(item);

    EXPECT_EQ(Pixel(RenderMenu(menu), rect.left() + 10, rect.top() + 10), QColor(Qt::green));
    item->setEnabled(false);
    const QColor noPicture = Pixel(RenderMenu(menu), rect.left() + 10, rect.top() + 10);
    EXPECT_NE(noPicture, QColor(Qt::green));
    EXPECT_NE(noPicture, QColor(Qt::darkGray));
    menu.SetDisabledImages(&disabledImages);
    EXPECT_EQ(Pixel(RenderMenu(menu), rect.left() + 10, rect.top() + 10), QColor(Qt::darkGray));
}

TEST(MVMenus, TrayMenuShowsSiteIconsAndTheOpenSiteInBoldBlue)
{
    TMVTrayPopupMenu menu;
    QAction* open = menu.addAction(u"Mail"_s);
    MVMenuItems::SetTag(*open, 0);
    open->setCheckable(true);
    open->setChecked(true);
    menu.setDefaultAction(open);
    QAction* closed = menu.addAction(u"News"_s);
    MVMenuItems::SetTag(*closed, 1);
    QAction* quit = menu.addAction(u"Quit"_s);
    MVMenuItems::SetTag(*quit, -1);
    menu.PrepareItems();

    QList<const QAction*> asked;
    menu.OnGetSiteInfo = [&](const TMVPopupMenu&, const QAction& item, QIcon& icon, bool& active) {
        asked << &item;
        if (MVMenuItems::Tag(item) >= 0) {
            icon = QIcon(QPixmap::fromImage(Square(Qt::green)));
            active = &item == open;
        }
    };
    const QImage image = RenderMenu(menu, quit);
    EXPECT_EQ(asked.size(), 3);

    // On the check box at box + 2, instead of the check mark.
    const QRect a = menu.actionGeometry(open);
    EXPECT_EQ(Pixel(image, a.left() + 3, a.top() + 3), QColor(Qt::green));
    EXPECT_EQ(Pixel(image, a.left() + 2, a.top() + 2), kCheckUnselected);
    EXPECT_EQ(DarkestPixel(image, a.adjusted(28, 3, -4, -3)), QColor(0, 0, 255));
    // Unchecked entries show the icon at (3, 3).
    const QRect b = menu.actionGeometry(closed);
    EXPECT_EQ(Pixel(image, b.left() + 3, b.top() + 3), QColor(Qt::green));
    EXPECT_NE(DarkestPixel(image, b.adjusted(28, 3, -4, -3)), QColor(0, 0, 255));
    // The fixed entry keeps the menu text colour, even as the default item.
    menu.setDefaultAction(quit);
    const QImage again = RenderMenu(menu);
    const QColor quitText = DarkestPixel(again, menu.actionGeometry(quit).adjusted(28, 3, -4, -3));
    EXPECT_NE(quitText, QColor(0, 0, 255));
    EXPECT_LT(quitText.blue(), 200);
}

TEST(MVMenus, CatalogMenuTitleIs79WiderAndHandsOverTheRatingStrip)
{
    TMVPopupMenu plain;
    QAction* plainTitle = AddTitle(plain, u"Web Mail"_s);
    plain.PrepareItems();
    TMVWebItemPopupMenu web;
    QAction* webTitle = AddTitle(web, u"Web Mail"_s);
    web.addAction(u"Install"_s);
    web.PrepareItems();
    EXPECT_EQ(Measured(web, web, *webTitle).width(), Measured(plain, plain, *plainTitle).width() + 79);
    EXPECT_EQ(web.actionGeometry(webTitle).width(), plain.actionGeometry(plainTitle).width() + 79);

    QRect strip;
    const TWebApplicationClass application(42);
    web.SetWebApp(&application);
    const TWebApplicationClass* received = nullptr;
    web.OnDrawRating = [&](const TMVPopupMenu&, const TWebApplicationClass* app, QPainter& canvas,
                           const QRect& rect) {
        strip = rect;
        received = app;
        canvas.fillRect(rect, Qt::red);
    };
    const QImage image = RenderMenu(web);
    const QRect item = web.actionGeometry(webTitle);
    EXPECT_EQ(received, &application);
    EXPECT_EQ(strip.width(), 75);
    EXPECT_EQ(strip.left(), item.right() + 1 - 4 - 99);
    EXPECT_EQ(strip.top(), item.top());
    EXPECT_EQ(Pixel(image, strip.center().x(), strip.center().y()), QColor(Qt::red));
    // With the desktop's room the strip keeps clear of the heading.
    QFont bold = web.font();
    bold.setBold(true);
    EXPECT_GT(strip.left(), item.left() + 16 + QFontMetrics(bold).horizontalAdvance(u"Web Mail"_s));
}

TEST(MVMenus, MainMenuBarItemsMeasureCaptionPlus8)
{
    TMVMainMenu bar;
    QMenu* file = bar.addMenu(u"&File"_s);
    file->addAction(u"-"_s);
    QAction* quit = file->addAction(u"Quit"_s);
    bar.PrepareItems();
    bar.resize(400, bar.sizeHint().height());
    const QRect top = bar.actionGeometry(file->menuAction());
    EXPECT_EQ(top.width(), Width(bar.font(), u"File"_s) + 8);
    EXPECT_EQ(top.height(), Height(bar.font()) + 6);

    // The drop-down is drawn by the main menu too; its first separator opens with the band.
    EXPECT_EQ(file->style(), bar.style());
    EXPECT_EQ(file->actionGeometry(quit).width(), Width(file->font(), u"Quit"_s) + 40 + kAllowance);
    EXPECT_EQ(file->actionGeometry(file->actions().first()).height(), 7);
}

TEST(MVMenus, WithoutOwnerDrawingTheDesktopStyleDrawsAndMeasures)
{
    TMVPopupMenu menu;
    QMenu* sub = menu.addMenu(u"More"_s);
    QAction* item = sub->addAction(u"Open site"_s);
    menu.PrepareItems();
    const QStyle* own = menu.style();
    EXPECT_EQ(sub->style(), own);

    menu.SetOwnerDraw(false);
    menu.PrepareItems();
    EXPECT_NE(menu.style(), own);
    EXPECT_NE(sub->style(), own);
    EXPECT_NE(sub->actionGeometry(item).width(), Width(sub->font(), u"Open site"_s) + 40 + kAllowance);
}

TEST(MVMenus, CheckedItemsWithoutPictureShowTheCheckMark)
{
    TMVPopupMenu menu;
    QAction* checked = menu.addAction(u"Arrange"_s);
    checked->setCheckable(true);
    checked->setChecked(true);
    QAction* withImage = menu.addAction(u"Stars"_s);
    withImage->setCheckable(true);
    withImage->setChecked(true);
    withImage->setIcon(QIcon(QPixmap::fromImage(Square(Qt::green))));
    menu.PrepareItems();
    const QImage image = RenderMenu(menu);

    // The mark covers some of the box from (5, 5) to (15, 15); the picture sits at (3, 3).
    const QRect mark = QRect(menu.actionGeometry(checked).topLeft() + QPoint(1 + 5, 1 + 5), QSize(10, 10));
    EXPECT_GT(CountPixels(image, mark, [](const QColor& c) { return c != kCheckUnselected; }), 5);
    const QRect box = menu.actionGeometry(withImage);
    EXPECT_EQ(Pixel(image, box.left() + 4, box.top() + 4), QColor(Qt::green));
    EXPECT_EQ(Pixel(image, box.left() + 3, box.top() + 3), kCheckUnselected);
}
