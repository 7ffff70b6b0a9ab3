#include "MVMenuStyle.h"

#include "MVMenuDrawing.h"
#include "markup/VisualPainting.h"
#include "pictures/Colors.h"
#include "pictures/GraphicTools.h"

#include <QFontMetrics>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace {

constexpr TColor kStyleItemBackground = 0xFFFAFD;
constexpr TColor kMenuBorder = 0x8F6D6E;

} // namespace

TMVMenuStyle::TMVMenuStyle(TMVMenuDrawing& drawing, bool menuBar) : m_drawing(drawing), m_menuBar(menuBar) {}

int TMVMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_MenuPanelWidth:
        return 1; // a one-pixel border around the items
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuBarItemSpacing:
    case PM_MenuBarHMargin:
    case PM_MenuBarVMargin:
    case PM_MenuBarPanelWidth:
    case PM_MenuDesktopFrameWidth:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize TMVMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                     const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type == CT_MenuItem && item) {
        int width = 0;
        int height = 0;
        if (item->menuItemType == QStyleOptionMenuItem::Separator) {
            m_drawing.MeasureSeparatorItem(*item, width, height);
            return {width + MenuMetrics::kPlatformItemAllowance, height};
        }
        m_drawing.MeasureMenuItem(*item, width, height);
        // QMenu adds the widest shortcut of the menu to every item, so the item's own
        // shortcut comes off here: an item with a shortcut still ends up exactly as wide.
        const qsizetype tab = item->text.indexOf(u'\t');
        if (tab >= 0 && widget)
            width -= widget->fontMetrics().horizontalAdvance(item->text.mid(tab + 1));
        return {width + MenuMetrics::kPlatformItemAllowance, height};
    }
    if (type == CT_MenuBarItem && item && m_menuBar)
        return m_drawing.MeasureTopLevelItem(item->font, item->text);
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void TMVMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuItem && item) {
        const auto* menu = qobject_cast<const QMenu*>(widget);
        QAction* action = menu ? menu->actionAt(item->rect.center()) : nullptr;
        if (!action)
            return;
        painter->save();
        painter->setFont(item->font);
        const bool selected = item->state & State_Selected;
        if (item->menuItemType == QStyleOptionMenuItem::Separator) {
            m_drawing.DrawSeparatorItem(*menu, *action, *painter, item->rect, selected);
        } else {
            m_drawing.DrawMenuItem(*menu, *action, *painter, item->rect, selected);
            if (item->menuItemType == QStyleOptionMenuItem::SubMenu) {
                QStyleOption arrow = *option;
                arrow.rect = QRect(item->rect.right() - 12, item->rect.y(), 9, item->rect.height());
                arrow.palette.setColor(QPalette::ButtonText, painter->pen().color());
                QProxyStyle::drawPrimitive(PE_IndicatorArrowRight, &arrow, painter, widget);
            }
        }
        painter->restore();
        return;
    }
    if (element == CE_MenuBarItem && item && m_menuBar) {
        const auto* bar = qobject_cast<const QMenuBar*>(widget);
        QAction* action = bar ? bar->actionAt(item->rect.center()) : nullptr;
        if (action) {
            painter->save();
            painter->setFont(item->font);
            const bool showMnemonic = styleHint(SH_UnderlineShortcut, option, widget, nullptr) != 0;
            m_drawing.DrawTopLevelItem(*action, *painter, item->rect,
                                       item->state & (State_Selected | State_Sunken), showMnemonic);
            painter->restore();
        }
        return;
    }
    if (element == CE_MenuBarEmptyArea && m_menuBar) {
        painter->fillRect(option->rect, ColorToQColor(clMenuBar));
        return;
    }
    if (element == CE_MenuEmptyArea) {
        painter->fillRect(option->rect, ColorToQColor(kStyleItemBackground));
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TMVMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                 const QWidget* widget) const
{
    switch (element) {
    case PE_PanelMenu:
        VisualPainting::Rectangle(*painter, option->rect, ColorToQColor(kMenuBorder),
                                  ColorToQColor(kStyleItemBackground));
        return;
    case PE_FrameMenu:
        VisualPainting::Rectangle(*painter, option->rect, ColorToQColor(kMenuBorder), Qt::transparent);
        return;
    case PE_PanelMenuBar:
        painter->fillRect(option->rect, ColorToQColor(clMenuBar));
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}
