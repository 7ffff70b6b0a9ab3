#include "Drawing.h"

#include <QLinearGradient>

#include <cmath>
#include <numbers>

namespace Drawing {

Canvas::Canvas(int width, int height, double designWidth, double designHeight)
    : m_image(width, height, QImage::Format_ARGB32_Premultiplied)
{
    m_image.fill(Qt::transparent);
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.scale(width / designWidth, height / designHeight);
}

QImage Canvas::Finish()
{
    m_painter.end();
    return m_image.convertToFormat(QImage::Format_ARGB32);
}

QPainterPath RoundedRect(const QRectF& rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath Circle(const QPointF& centre, double radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath Star(const QPointF& centre, double outer, double inner)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
        const double radius = i % 2 == 0 ? outer : inner;
        const QPointF point(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& point : points) {
        if (first)
            path.moveTo(point);
        else
            path.lineTo(point);
        first = false;
    }
    path.closeSubpath();
    return path;
}

void Shape(QPainter& painter, const QPainterPath& path, const QColor& top, const QColor& bottom,
           const QColor& outline)
{
    const QRectF bounds = path.boundingRect();
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    QPen pen(outline);
    pen.setCosmetic(true);
    pen.setWidthF(1.0);
    pen.setJoinStyle(Qt::RoundJoin);
    painter.setPen(outline.alpha() == 0 ? QPen(Qt::NoPen) : pen);
    painter.setBrush(gradient);
    painter.drawPath(path);
}

void Shape(QPainter& painter, const QPainterPath& path, const Tone& tone)
{
    Shape(painter, path, tone.light, tone.base, tone.dark);
}

void Stroke(QPainter& painter, const QPainterPath& path, const QColor& color, double width)
{
    QPen pen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

void Globe(QPainter& painter, const QRectF& rect, const Tone& tone)
{
    QPainterPath disc;
    disc.addEllipse(rect);
    Shape(painter, disc, tone);
    // Meridians and parallels in a light line, clipped to the disc.
    painter.save();
    painter.setClipPath(disc);
    const QColor line(255, 255, 255, 170);
    const double w = rect.width();
    const double h = rect.height();
    QPainterPath grid;
    grid.addEllipse(rect.adjusted(w * 0.28, 0, -w * 0.28, 0));
    grid.moveTo(rect.center().x(), rect.top());
    grid.lineTo(rect.center().x(), rect.bottom());
    grid.moveTo(rect.left(), rect.center().y());
    grid.lineTo(rect.right(), rect.center().y());
    grid.moveTo(rect.left() + w * 0.06, rect.top() + h * 0.3);
    grid.lineTo(rect.right() - w * 0.06, rect.top() + h * 0.3);
    grid.moveTo(rect.left() + w * 0.06, rect.top() + h * 0.7);
    grid.lineTo(rect.right() - w * 0.06, rect.top() + h * 0.7);
    Stroke(painter, grid, line, w / 18);
    painter.restore();
    QPen outline(tone.dark);
    outline.setCosmetic(true);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(rect);
}

void Page(QPainter& painter, const QRectF& rect)
{
    const double fold = rect.width() * 0.3;
    const QPainterPath sheet =
        Polygon({rect.topLeft(), QPointF(rect.right() - fold, rect.top()),
                 QPointF(rect.right(), rect.top() + fold), rect.bottomRight(), rect.bottomLeft()});
    Shape(painter, sheet, kWhite, QColor(0xE6, 0xE9, 0xEE), kGrey.dark);
    Shape(painter,
          Polygon({QPointF(rect.right() - fold, rect.top()), QPointF(rect.right() - fold, rect.top() + fold),
                   QPointF(rect.right(), rect.top() + fold)}),
          kGrey.light, kGrey.base, kGrey.dark);
    QPainterPath lines;
    const double step = rect.height() / 6;
    for (int i = 2; i <= 4; ++i) {
        lines.moveTo(rect.left() + rect.width() * 0.2, rect.top() + step * i);
        lines.lineTo(rect.right() - rect.width() * 0.2, rect.top() + step * i);
    }
    Stroke(painter, lines, kGrey.base, rect.height() / 16);
}

void BrowserWindow(QPainter& painter, const QRectF& rect, const Tone& tone)
{
    const double radius = rect.width() / 10;
    Shape(painter, RoundedRect(rect, radius), kWhite, QColor(0xEE, 0xF1, 0xF5), tone.dark);
    const QRectF bar(rect.left(), rect.top(), rect.width(), rect.height() * 0.26);
    painter.save();
    painter.setClipPath(RoundedRect(rect, radius));
    Shape(painter, RoundedRect(bar, 0), tone.light, tone.base, QColor(Qt::transparent));
    painter.restore();
    QPen outline(tone.dark);
    outline.setCosmetic(true);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(RoundedRect(rect, radius));
}

void Magnifier(QPainter& painter, const QRectF& rect)
{
    const double w = rect.width();
    const QRectF lens(rect.left(), rect.top(), w * 0.66, w * 0.66);
    QPainterPath handle;
    handle.moveTo(lens.center() + QPointF(w * 0.24, w * 0.24));
    handle.lineTo(rect.right() - w * 0.06, rect.bottom() - w * 0.06);
    Stroke(painter, handle, kInk, w * 0.17);
    QPainterPath glass;
    glass.addEllipse(lens.adjusted(w * 0.05, w * 0.05, -w * 0.05, -w * 0.05));
    Shape(painter, glass, QColor(0xE8, 0xF3, 0xFF), QColor(0xB5, 0xD4, 0xF7), kBlue.dark);
    Stroke(painter, glass, kBlue.dark, w * 0.09);
}

QPainterPath CheckMark(const QRectF& rect)
{
    QPainterPath path;
    path.moveTo(rect.left(), rect.top() + rect.height() * 0.55);
    path.lineTo(rect.left() + rect.width() * 0.38, rect.bottom());
    path.lineTo(rect.right(), rect.top());
    return path;
}

QPainterPath Cross(const QRectF& rect)
{
    QPainterPath path;
    path.moveTo(rect.topLeft());
    path.lineTo(rect.bottomRight());
    path.moveTo(rect.topRight());
    path.lineTo(rect.bottomLeft());
    return path;
}

QPainterPath QuestionMark(const QRectF& rect)
{
    // A hook over a stem; the dot is a separate circle the caller fills.
    const double w = rect.width();
    const double h = rect.height();
    QPainterPath path;
    path.moveTo(rect.left() + w * 0.1, rect.top() + h * 0.28);
    path.cubicTo(rect.left() + w * 0.1, rect.top() - h * 0.02, rect.right() - w * 0.05, rect.top() - h * 0.02,
                 rect.right() - w * 0.05, rect.top() + h * 0.26);
    path.cubicTo(rect.right() - w * 0.05, rect.top() + h * 0.45, rect.left() + w * 0.5, rect.top() + h * 0.45,
                 rect.left() + w * 0.5, rect.top() + h * 0.68);
    return path;
}

QPainterPath CurvedArrow(const QRectF& rect)
{
    // A quarter turn from the lower left up and to the right, ending in a head.
    const double w = rect.width();
    const double h = rect.height();
    QPainterPath path;
    path.moveTo(rect.left() + w * 0.15, rect.bottom() - h * 0.1);
    path.cubicTo(rect.left() + w * 0.15, rect.top() + h * 0.45, rect.left() + w * 0.35, rect.top() + h * 0.32,
                 rect.right() - w * 0.2, rect.top() + h * 0.32);
    path.moveTo(rect.right() - w * 0.4, rect.top() + h * 0.1);
    path.lineTo(rect.right() - w * 0.12, rect.top() + h * 0.32);
    path.lineTo(rect.right() - w * 0.4, rect.top() + h * 0.54);
    return path;
}

QImage Grayed(const QImage& image)
{
    QImage gray = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < gray.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(gray.scanLine(y));
        for (int x = 0; x < gray.width(); ++x) {
            const int luminance = qGray(line[x]);
            const int light = luminance + (255 - luminance) * 2 / 5;
            line[x] = qRgba(light, light, light, qAlpha(line[x]) * 4 / 5);
        }
    }
    return gray;
}

} // namespace Drawing
