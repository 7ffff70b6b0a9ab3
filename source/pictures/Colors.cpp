#include "Colors.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>

#include <iterator>

namespace {

// Without a GUI application (the command-line tool, core tests) there is no palette to ask:
// the classic desktop colours stand in, so pictures made there come out the same everywhere.
QColor DefaultSystemColor(int index)
{
    static constexpr QRgb kColors[] = {
        0xC8C8C8, 0x000000, 0x99B4D1, 0xBFCDDB, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
        0x000000, 0x000000, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0x0078D7, 0xFFFFFF, 0xF0F0F0,
        0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
        0xFFFFE1, 0x000000, 0x0066CC, 0xB9D1EA, 0xD7E4F2, 0x0078D7, 0xF0F0F0,
    };
    return QColor::fromRgb(index >= 0 && index < int(std::size(kColors)) ? kColors[index] : kColors[15]);
}

// The Windows system colour indexes mapped onto the nearest palette roles.
QColor SystemColor(int index)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        return DefaultSystemColor(index);
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
