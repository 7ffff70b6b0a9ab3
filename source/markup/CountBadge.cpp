#include "CountBadge.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace CountBadge {

namespace {

// Tray icons are drawn at this size and scaled by the panel.
constexpr int kTrayIconSize = 64;

} // namespace

QString Text(int count)
{
    if (count > 999)
        return u"999+"_s;
    return QString::number(std::max(count, 0));
}

QRect Bounds(const QString& text, const QFont& font, int right, int middleY)
{
    const QFontMetrics metrics(font);
    const int height = metrics.height() + 2;
    const int width = std::max(height, metrics.horizontalAdvance(text) + height / 2 + 2);
    return QRect(right - width + 1, middleY - height / 2, width, height);
}

void Paint(QPainter& painter, const QRect& bounds, const QString& text, const QFont& font, const QColor& fill)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    const qreal radius = bounds.height() / 2.0;
    painter.drawRoundedRect(QRectF(bounds), radius, radius);
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::white);
    painter.drawText(bounds, Qt::AlignCenter, text);
    painter.restore();
}

QIcon OnIcon(const QIcon& icon, int count, bool quiet)
{
    if (count <= 0 && !quiet)
        return icon;
    QImage image(kTrayIconSize, kTrayIconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    icon.paint(&painter, image.rect());
    if (quiet) {
        // A small grey disc with a slash: the desktops' sign for "do not disturb".
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF sign(2, 2, 26, 26);
        painter.setPen(QPen(Qt::white, 3));
        painter.setBrush(QColor(0x60, 0x60, 0x60));
        painter.drawEllipse(sign);
        painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(sign.left() + 7, sign.center().y()),
                         QPointF(sign.right() - 7, sign.center().y()));
    }
    if (count > 0) {
        QFont font;
        font.setPixelSize(count > 99 ? 22 : 28);
        const QString text = Text(count);
        QRect bounds = Bounds(text, font, kTrayIconSize - 1, kTrayIconSize - 18);
        bounds.moveBottom(kTrayIconSize - 1);
        bounds.setLeft(std::max(bounds.left(), 0));
        Paint(painter, bounds, text, font, QColor(0xD0, 0x20, 0x20));
    }
    painter.end();
    return QIcon(QPixmap::fromImage(image));
}

} // namespace CountBadge
