#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include <functional>

// The widget painted off-screen over a background colour (transparent widgets show it).
inline QImage Render(QWidget& widget, const QColor& background = Qt::white)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(background);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

inline QColor Pixel(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

inline int CountPixels(const QImage& image, const QRect& area, const std::function<bool(const QColor&)>& test)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            if (test(image.pixelColor(x, y)))
                ++count;
        }
    }
    return count;
}

// How far a colour lies from white: the ink of text drawn on a white ground.
inline int Ink(const QColor& color)
{
    return 3 * 255 - color.red() - color.green() - color.blue();
}

// The most inked pixel of the area: where text shows its full colour.
inline QColor DarkestPixel(const QImage& image, const QRect& area)
{
    QColor darkest = Qt::white;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            if (Ink(image.pixelColor(x, y)) > Ink(darkest))
                darkest = image.pixelColor(x, y);
        }
    }
    return darkest;
}

inline bool SameColor(const QColor& a, const QColor& b, int tolerance = 0)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

inline bool IsWhite(const QColor& color)
{
    return color.red() == 255 && color.green() == 255 && color.blue() == 255;
}

// What the screen shows at a point of the widget, as 0xRRGGBB; 0 where nothing can be read.
inline QRgb ShownOnScreen(const QWidget& widget, QPoint inWidget)
{
    const QPoint global = widget.mapToGlobal(inWidget);
    const QImage shot = widget.screen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage();
    return shot.isNull() ? QRgb(0) : shot.pixel(0, 0) & 0xffffff;
}
