#include "MVMenus.h"

#include "MVMenuStyle.h"

#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QRgb kSiteEntryCaption = qRgb(0x00, 0x00, 0xFF);

// Separators from "-" items, and the menu's look on every sub-menu.
void PrepareMenu(QMenu& menu, QStyle* style)
{
    menu.setStyle(style);
    // Qt would hide a leading separator, which is where the title items live.
    menu.setSeparatorsCollapsible(false);
    for (QAction* action : menu.actions()) {
        if (MVMenuItems::IsSeparator(*action)) {
            action->setSeparator(true);
            // Qt hands a separator's text to the style: that is the title item's heading.
            action->setText(action->statusTip());
        }
        if (QMenu* subMenu = action->menu())
            PrepareMenu(*subMenu, style);
    }
}

} // namespace

TMVPopupMenu::TMVPopupMenu(QWidget* parent) : TMVPopupMenu(MenuMetrics::mkPopup, parent) {}

TMVPopupMenu::TMVPopupMenu(MenuMetrics::TMVMenuKind kind, QWidget* parent)
    : QMenu(parent), TMVMenuDrawing(kind), m_style(new TMVMenuStyle(*this, false))
{
    m_style->setParent(this);
    setStyle(m_style);
    setSeparatorsCollapsible(false);
}

TMVPopupMenu::~TMVPopupMenu() = default;

QAction* AddTitleItem(QMenu& menu, const QString& heading)
{
    QAction* title = menu.addAction(u"-"_s);
    title->setStatusTip(heading);
    return title;
}

void TMVPopupMenu::PrepareItems()
{
    PrepareMenu(*this, m_ownerDraw ? m_style : nullptr);
}

void TMVPopupMenu::SetOwnerDraw(bool ownerDraw)
{
    m_ownerDraw = ownerDraw;
    setStyle(ownerDraw ? m_style : nullptr);
}

QImage TMVPopupMenu::TitleImage(const QAction& item) const
{
    if (!m_titleIcon.isNull())
        return m_titleIcon.pixmap(16, 16).toImage();
    return TMVMenuDrawing::TitleImage(item);
}

TMVMainMenu::TMVMainMenu(QWidget* parent)
    : QMenuBar(parent), TMVMenuDrawing(MenuMetrics::mkMain), m_style(new TMVMenuStyle(*this, true))
{
    m_style->setParent(this);
    setStyle(m_style);
    // The bar is drawn by the program, never by the desktop's global menu.
    setNativeMenuBar(false);
}

TMVMainMenu::~TMVMainMenu() = default;

void TMVMainMenu::PrepareItems()
{
    for (QAction* action : actions()) {
        if (QMenu* subMenu = action->menu())
            PrepareMenu(*subMenu, m_ownerDraw ? m_style : nullptr);
    }
}

void TMVMainMenu::SetOwnerDraw(bool ownerDraw)
{
    m_ownerDraw = ownerDraw;
    setStyle(ownerDraw ? m_style : nullptr);
}

TMVTrayPopupMenu::TMVTrayPopupMenu(QWidget* parent) : TMVPopupMenu(MenuMetrics::mkTray, parent) {}

void TMVTrayPopupMenu::DrawMenuItem(const QMenu& menu, QAction& item, QPainter& canvas, const QRect& rect,
                                    bool selected)
{
    QIcon siteIcon;
    bool active = false;
    if (OnGetSiteInfo)
        OnGetSiteInfo(*this, item, siteIcon, active);
    const QImage siteImage = siteIcon.isNull() ? QImage() : siteIcon.pixmap(16, 16).toImage();

    DrawItemBackground(canvas, rect);
    if (selected)
        DrawHighlight(canvas, rect, item.isEnabled());
    const QImage image = ItemImage(item);
    if (item.isChecked()) {
        const QRect box = DrawCheckBox(canvas, rect, selected);
        if (!image.isNull())
            canvas.drawImage(box.topLeft() + QPoint(3, 3), image);
        else if (!siteImage.isNull())
            canvas.drawImage(box.topLeft() + QPoint(2, 2), siteImage);
        else if (!CheckMark().isNull())
            canvas.drawImage(box.topLeft() + QPoint(5, 5), CheckMark());
    } else if (item.isEnabled()) {
        const QImage shown = image.isNull() ? siteImage : image;
        if (!shown.isNull())
            canvas.drawImage(rect.topLeft() + QPoint(3, 3), shown);
    } else if (const QImage disabled = DisabledItemImage(item); !disabled.isNull()) {
        canvas.drawImage(rect.topLeft() + QPoint(3, 3), disabled);
    }
    const bool isDefault = menu.defaultAction() == &item;
    const bool siteEntry = MVMenuItems::Tag(item) != -1;
    DrawItemText(item, canvas, rect, selected, isDefault,
                 isDefault && siteEntry ? std::optional<QColor>(QColor(kSiteEntryCaption)) : std::nullopt);
}

TMVWebItemPopupMenu::TMVWebItemPopupMenu(QWidget* parent) : TMVPopupMenu(MenuMetrics::mkWebItem, parent) {}

void TMVWebItemPopupMenu::DrawSeparatorItem(const QMenu& menu, QAction& item, QPainter& canvas,
                                            const QRect& rect, bool selected)
{
    TMVPopupMenu::DrawSeparatorItem(menu, item, canvas, rect, selected);
    if (item.text().isEmpty() || !OnDrawRating)
        return;
    const QRect text = MenuMetrics::TitleTextRect(MenuMetrics::mkWebItem, rect, IsFirstItem(menu, item));
    canvas.save();
    OnDrawRating(*this, m_webApp, canvas, MenuMetrics::RatingStrip(text));
    canvas.restore();
}
