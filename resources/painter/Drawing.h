#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

// The shapes and colours every picture of the program is drawn from, so that the set looks
// like one family: soft vertical gradients, a one-pixel darker outline, rounded corners.
namespace Drawing {

struct Tone
{
    QColor light;
    QColor base;
    QColor dark;
};

inline const Tone kBlue{QColor(0x8F, 0xBF, 0xF5), QColor(0x2F, 0x6F, 0xD0), QColor(0x1C, 0x48, 0x8E)};
inline const Tone kGreen{QColor(0x9A, 0xDE, 0x8A), QColor(0x3F, 0xA3, 0x4D), QColor(0x25, 0x6E, 0x30)};
inline const Tone kRed{QColor(0xF5, 0x9A, 0x8E), QColor(0xD9, 0x43, 0x3A), QColor(0x9C, 0x25, 0x1E)};
inline const Tone kOrange{QColor(0xFF, 0xCB, 0x7A), QColor(0xF0, 0x8A, 0x24), QColor(0xB0, 0x5A, 0x10)};
inline const Tone kGold{QColor(0xFF, 0xE8, 0x8A), QColor(0xF5, 0xBE, 0x2A), QColor(0xB0, 0x80, 0x14)};
inline const Tone kGrey{QColor(0xF2, 0xF3, 0xF5), QColor(0xB8, 0xBD, 0xC4), QColor(0x6E, 0x74, 0x7C)};
inline const QColor kInk(0x33, 0x3A, 0x45);
inline const QColor kWhite(0xFF, 0xFF, 0xFF);

// A transparent ARGB32 image and a painter on it whose coordinates run over designWidth x
// designHeight units, antialiased.
class Canvas final
{
public:
    Canvas(int width, int height, double designWidth, double designHeight);
    QPainter& Painter() { return m_painter; }
    QImage Finish();

private:
    QImage m_image;
    QPainter m_painter;
};

QPainterPath RoundedRect(const QRectF& rect, double radius);
QPainterPath Circle(const QPointF& centre, double radius);
QPainterPath Star(const QPointF& centre, double outer, double inner);
QPainterPath Polygon(std::initializer_list<QPointF> points);

// Fills with a vertical gradient from light at the top to base at the bottom, outlined in dark.
void Shape(QPainter& painter, const QPainterPath& path, const Tone& tone);
void Shape(QPainter& painter, const QPainterPath& path, const QColor& top, const QColor& bottom,
           const QColor& outline);
// A line of the given width in design units.
void Stroke(QPainter& painter, const QPainterPath& path, const QColor& color, double width);

// Composite pictures used by several names.
void Globe(QPainter& painter, const QRectF& rect, const Tone& tone);
void Page(QPainter& painter, const QRectF& rect);
void BrowserWindow(QPainter& painter, const QRectF& rect, const Tone& tone);
void Magnifier(QPainter& painter, const QRectF& rect);
QPainterPath CheckMark(const QRectF& rect);
QPainterPath Cross(const QRectF& rect);
QPainterPath QuestionMark(const QRectF& rect);
QPainterPath CurvedArrow(const QRectF& rect);

// The grey, lighter variant of a picture (disabled buttons, unsupported browsers).
QImage Grayed(const QImage& image);

} // namespace Drawing
