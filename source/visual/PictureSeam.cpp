#include "PictureSeam.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

namespace PictureSeam {

QColor ToQColor(TColor color)
{
    if ((uint32_t(color) & 0xFF000000u) == 0xFF000000u) {
        // Stand-in: the window colour and a mid tone for every other system colour.
        const QPalette palette = QGuiApplication::palette();
        return (color & 0xFF) == 5 ? palette.color(QPalette::Base) : palette.color(QPalette::Mid);
    }
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

void GradientFillRect(QPainter& canvas, const QRect& rect, TColor startColor, int, TColor)
{
    canvas.fillRect(rect, ToQColor(startColor));
}

QImage LoadPngResource(const QString&)
{
    return {};
}

} // namespace PictureSeam
