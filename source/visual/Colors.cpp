#include "Colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

// The Windows system colour indexes mapped onto the nearest palette roles.
QColor SystemColor(int index)
{
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case 1:  // desktop background
    case 12: // application workspace
    case 16: // button shadow
        return palette.color(QPalette::Active, QPalette::Mid);
    case 2:  // active caption
    case 13: // highlight
    case 26: // hot-tracked item
    case 27: // active caption gradient
    case 29: // menu highlight
        return palette.color(QPalette::Active, QPalette::Highlight);
    case 3:  // inactive caption
    case 28: // inactive caption gradient
        return palette.color(QPalette::Inactive, QPalette::Highlight);
    case 5: // window
        return palette.color(QPalette::Active, QPalette::Base);
    case 6:  // window frame
    case 21: // 3-D dark shadow
        return palette.color(QPalette::Active, QPalette::Shadow);
    case 7: // menu text
    case 8: // window text
        return palette.color(QPalette::Active, QPalette::WindowText);
    case 9:  // caption text
    case 14: // highlighted text
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    case 17: // grey text
    case 19: // inactive caption text
        return palette.color(QPalette::Disabled, QPalette::WindowText);
    case 18: // button text
        return palette.color(QPalette::Active, QPalette::ButtonText);
    case 20: // button highlight
        return palette.color(QPalette::Active, QPalette::Light);
    case 22: // 3-D light
        return palette.color(QPalette::Active, QPalette::Midlight);
    case 23: // tooltip text
        return palette.color(QPalette::Active, QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::Active, QPalette::ToolTipBase);
    default: // scroll bar, menu, borders, button face, menu bar and unknown indexes
        return palette.color(QPalette::Active, QPalette::Button);
    }
}

} // namespace

QColor ColorToQColor(TColor color)
{
    if ((uint32_t(color) & 0xFF000000u) == uint32_t(kSystemColorFlag))
        return SystemColor(color & 0xFF);
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

TColor ColorToRGB(TColor color)
{
    const QColor resolved = ColorToQColor(color);
    return RGBColor(resolved.red(), resolved.green(), resolved.blue());
}
