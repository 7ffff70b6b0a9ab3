#include "CardPainter.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::Literals::StringLiterals;

namespace CardPainter {

namespace {

// A small generator of its own, so that the layout follows the catalog number alone.
class Dice final
{
public:
    explicit Dice(uint32_t seed) : m_state(seed * 2654435761u + 0x9E3779B9u) {}

    int Next(int bound)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return int(m_state % uint32_t(bound));
    }

private:
    uint32_t m_state;
};

void DrawBrowserFrame(QPainter& painter, const SourceApplication& application, const QColor& accent)
{
    painter.fillRect(0, 0, kScreenshotWidth, 34, QColor(0xE4, 0xE4, 0xE4));
    painter.setPen(QColor(0xCE, 0xCE, 0xCE));
    painter.drawLine(0, 34, kScreenshotWidth, 34);
    const QColor buttons[] = {QColor(0xE8, 0x5C, 0x4A), QColor(0xF2, 0xB8, 0x3C), QColor(0x5C, 0xB8, 0x5C)};
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(buttons[i]);
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(14 + i * 16, 17), 5, 5);
    }
    painter.setBrush(Qt::white);
    painter.setPen(QColor(0xCE, 0xCE, 0xCE));
    painter.drawRoundedRect(QRectF(70, 7, kScreenshotWidth - 84, 20), 4, 4);
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(QColor(0x50, 0x50, 0x50));
    painter.drawText(QRectF(80, 7, kScreenshotWidth - 104, 20), Qt::AlignVCenter | Qt::AlignLeft,
                     application.mainURL);
    painter.setBrush(accent);
    painter.setPen(Qt::NoPen);
    painter.drawRect(70, 25, 40, 2);
}

void DrawHeader(QPainter& painter, const SourceApplication& application, const QString& categoryTitle,
                const QColor& accent)
{
    QLinearGradient band(0, 35, 0, 150);
    band.setColorAt(0, accent);
    band.setColorAt(1, accent.darker(135));
    painter.fillRect(0, 35, kScreenshotWidth, 115, band);

    // The application's mark: a rounded square with its initial.
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(24, 55, 72, 72), 14, 14);
    QFont mark(u"DejaVu Sans"_s);
    mark.setPixelSize(44);
    mark.setBold(true);
    painter.setFont(mark);
    painter.setPen(accent);
    painter.drawText(QRectF(24, 55, 72, 72), Qt::AlignCenter, application.title.left(1).toUpper());

    QFont title(u"DejaVu Sans"_s);
    title.setPixelSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    const QRectF titleBox(116, 56, kScreenshotWidth - 140, 40);
    painter.drawText(
        titleBox, Qt::AlignLeft | Qt::AlignVCenter,
        painter.fontMetrics().elidedText(application.title, Qt::ElideRight, int(titleBox.width())));

    QFont tagline(u"DejaVu Sans"_s);
    tagline.setPixelSize(14);
    painter.setFont(tagline);
    const QRectF taglineBox(116, 96, kScreenshotWidth - 140, 22);
    painter.drawText(
        taglineBox, Qt::AlignLeft | Qt::AlignVCenter,
        painter.fontMetrics().elidedText(application.tagline, Qt::ElideRight, int(taglineBox.width())));
    QFont small(u"DejaVu Sans"_s);
    small.setPixelSize(11);
    painter.setFont(small);
    painter.setPen(QColor(255, 255, 255, 200));
    painter.drawText(QRectF(116, 118, kScreenshotWidth - 140, 18), Qt::AlignLeft | Qt::AlignVCenter,
                     categoryTitle + u"  ·  "_s + application.cost);
}

// Blocks and lines that read as a page: a menu, a column of content, a sidebar.
void DrawPage(QPainter& painter, const SourceApplication& application, const QColor& accent)
{
    Dice dice(uint32_t(application.id));
    const int top = 166;
    const bool sidebarLeft = dice.Next(2) == 0;
    const QRect sidebar(sidebarLeft ? 24 : kScreenshotWidth - 184, top, 160, kScreenshotHeight - top - 20);
    const QRect content(sidebarLeft ? 204 : 24, top, kScreenshotWidth - 228, kScreenshotHeight - top - 20);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xF3, 0xF4, 0xF6));
    painter.drawRoundedRect(sidebar, 6, 6);
    for (int i = 0, items = 4 + dice.Next(4); i < items; ++i) {
        painter.setBrush(i == 0 ? accent.lighter(150) : QColor(0xDD, 0xE0, 0xE5));
        painter.drawRoundedRect(
            QRect(sidebar.left() + 12, sidebar.top() + 14 + i * 30, 70 + dice.Next(70), 14), 4, 4);
    }

    int y = content.top();
    while (y < content.bottom() - 40) {
        switch (dice.Next(3)) {
        case 0: { // a row of cards
            const int cards = 2 + dice.Next(2);
            const int width = (content.width() - (cards - 1) * 12) / cards;
            for (int i = 0; i < cards; ++i) {
                const QRect card(content.left() + i * (width + 12), y, width, 70);
                painter.setBrush(QColor(0xF7, 0xF8, 0xFA));
                painter.setPen(QColor(0xDD, 0xE0, 0xE5));
                painter.drawRoundedRect(card, 6, 6);
                painter.setPen(Qt::NoPen);
                painter.setBrush(accent.lighter(120 + 20 * i));
                painter.drawRoundedRect(QRect(card.left() + 10, card.top() + 10, 26, 26), 4, 4);
                painter.setBrush(QColor(0xC8, 0xCC, 0xD2));
                painter.drawRect(card.left() + 10, card.top() + 46, width - 30 - dice.Next(30), 8);
            }
            y += 84;
            break;
        }
        case 1: { // lines of text
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(0xC8, 0xCC, 0xD2));
            for (int i = 0, lines = 3 + dice.Next(3); i < lines; ++i)
                painter.drawRect(content.left(), y + i * 14, content.width() - dice.Next(120), 7);
            y += 3 * 14 + 30;
            break;
        }
        default: { // a chart
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QColor(0xDD, 0xE0, 0xE5));
            const QRect chart(content.left(), y, content.width(), 90);
            painter.drawRect(chart);
            QPainterPath path(QPointF(chart.left(), chart.bottom() - 20));
            for (int x = chart.left(); x <= chart.right(); x += 24)
                path.lineTo(x, chart.top() + 10 + dice.Next(chart.height() - 25));
            painter.setPen(QPen(accent, 2.5));
            painter.drawPath(path);
            y += 104;
            break;
        }
        }
    }
}

} // namespace

QImage Screenshot(const SourceApplication& application, const QString& categoryTitle)
{
    QImage image(kScreenshotWidth, kScreenshotHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // Hue from the catalog number, so neighbours in a list differ.
    const QColor accent = QColor::fromHsv(int((uint32_t(application.id) * 47u) % 360u), 150, 190);
    DrawBrowserFrame(painter, application, accent);
    DrawHeader(painter, application, categoryTitle, accent);
    DrawPage(painter, application, accent);
    painter.end();
    return image;
}

QImage Thumbnail(const QImage& screenshot)
{
    return screenshot.scaled(kThumbnailWidth, kThumbnailHeight, Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
}

} // namespace CardPainter
