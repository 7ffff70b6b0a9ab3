#pragma once

#include "MenuMetrics.h"
#include "pictures/ColorNames.h"

#include <QImage>
#include <QRect>

#include <optional>
#include <vector>

class QAction;
class QColor;
class QMenu;
class QPainter;
class QStyleOptionMenuItem;

// Pictures of menu items by image index (16 x 16).
using TMVImageList = std::vector<QImage>;

// What a menu item carries besides what QAction has: the tag (-1 marks the tray menu's fixed
// entries) and the index of its picture in the menu's image lists. The hint of a "-" item
// (its heading as a title item) is the action's status tip.
namespace MVMenuItems {

void SetTag(QAction& item, int tag);
int Tag(const QAction& item);
void SetImageIndex(QAction& item, int index);
int ImageIndex(const QAction& item);

// An item whose caption is exactly "-", or one PrepareItems already made a separator.
bool IsSeparator(const QAction& item);

} // namespace MVMenuItems

// The look shared by all menus of the program: how items are measured and drawn. The menu
// classes derive from it; TMVMenuStyle calls it for every item Qt measures or paints.
class TMVMenuDrawing
{
public:
    explicit TMVMenuDrawing(MenuMetrics::TMVMenuKind kind);
    virtual ~TMVMenuDrawing();

    TMVMenuDrawing(const TMVMenuDrawing&) = delete;
    TMVMenuDrawing& operator=(const TMVMenuDrawing&) = delete;

    MenuMetrics::TMVMenuKind Kind() const { return m_kind; }

    // Pictures of the items by their image index; not owned. Items without an index show
    // their action's icon.
    const TMVImageList* Images() const { return m_images; }
    void SetImages(const TMVImageList* images) { m_images = images; }
    // Pictures for disabled items, by the same index; not owned. Without it disabled items
    // show no picture.
    const TMVImageList* DisabledImages() const { return m_disabledImages; }
    void SetDisabledImages(const TMVImageList* images) { m_disabledImages = images; }

    // menu is the Qt menu that shows the item (the main menu's drop-downs for its items).
    virtual void DrawMenuItem(const QMenu& menu, QAction& item, QPainter& canvas, const QRect& rect,
                              bool selected);
    virtual void MeasureMenuItem(const QStyleOptionMenuItem& item, int& width, int& height);
    virtual void DrawSeparatorItem(const QMenu& menu, QAction& item, QPainter& canvas, const QRect& rect,
                                   bool selected);
    virtual void MeasureSeparatorItem(const QStyleOptionMenuItem& item, int& width, int& height);

    // The items on the main menu bar itself.
    void DrawTopLevelItem(QAction& item, QPainter& canvas, const QRect& rect, bool selected,
                          bool showMnemonic) const;
    QSize MeasureTopLevelItem(const QFont& font, const QString& caption) const;

protected:
    // The picture to show for the item in its state, or a null image.
    QImage ItemImage(const QAction& item) const;
    QImage DisabledItemImage(const QAction& item) const;
    const QImage& CheckMark() const { return m_checkMark; }
    // The image shown at the left of the first title item.
    virtual QImage TitleImage(const QAction& item) const;

    void DrawItemBackground(QPainter& canvas, const QRect& rect) const;
    void DrawHighlight(QPainter& canvas, const QRect& rect, bool enabled) const;
    // The box behind a checked item's glyph; returns it.
    QRect DrawCheckBox(QPainter& canvas, const QRect& rect, bool selected) const;
    // Caption and shortcut; captionColor replaces the menu text colour of an enabled item.
    void DrawItemText(const QAction& item, QPainter& canvas, const QRect& rect, bool selected, bool bold,
                      std::optional<QColor> captionColor) const;
    // A title item's heading and lines in textRect.
    void DrawTitle(const QAction& item, QPainter& canvas, const QRect& rect, const QRect& textRect,
                   bool firstItem) const;
    static bool IsFirstItem(const QMenu& menu, const QAction& item);

private:
    MenuMetrics::TMVMenuKind m_kind;
    const TMVImageList* m_images = nullptr;
    const TMVImageList* m_disabledImages = nullptr;
    QImage m_checkMark;
};
