#include "SamplePictures.h"

#include "pictures/GraphicTools.h"
#include "pictures/MakeThumbnail.h"
#include "pictures/TExIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace Qt::Literals::StringLiterals;

namespace SamplePictures {

namespace {

// A line of text as a page shows it from afar: a rounded grey bar.
void TextBar(QPainter& painter, int x, int y, int width, const QColor& color, int height = 9)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(x, y, width, height), 3, 3);
}

void Paragraph(QPainter& painter, int x, int y, int width, int lines, int seed)
{
    for (int i = 0; i < lines; ++i) {
        const int shorter = (i == lines - 1) ? width / 3 : ((seed * 37 + i * 53) % 60);
        TextBar(painter, x, y + i * 18, width - shorter, QColor(0xC8, 0xCC, 0xD4));
    }
}

// A soft landscape in the accent colour, the kind of picture a home page leads with.
void Hero(QPainter& painter, const QRect& area, const QColor& accent)
{
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    sky.setColorAt(0, accent.lighter(170));
    sky.setColorAt(1, accent.lighter(120));
    painter.fillRect(area, sky);
    QPainterPath hills;
    hills.moveTo(area.left(), area.bottom());
    hills.cubicTo(area.left() + area.width() * 0.3, area.top() + area.height() * 0.35,
                  area.left() + area.width() * 0.6, area.bottom() - area.height() * 0.1, area.right(),
                  area.top() + area.height() * 0.55);
    hills.lineTo(area.right(), area.bottom());
    hills.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(accent.darker(115));
    painter.drawPath(hills);
    painter.setBrush(QColor(255, 255, 255, 200));
    painter.drawEllipse(QPointF(area.right() - area.width() * 0.22, area.top() + area.height() * 0.3),
                        area.height() * 0.12, area.height() * 0.12);
}

} // namespace

QImage WebPage(const QColor& accent, const QString& name, int variant)
{
    QImage page(800, 600, QImage::Format_RGB32);
    page.fill(QColor(0xFA, 0xFB, 0xFC));
    QPainter painter(&page);
    painter.setRenderHint(QPainter::Antialiasing);

    // Header with the site's name and a navigation row.
    painter.fillRect(QRect(0, 0, 800, 86), accent);
    QFont title(u"DejaVu Sans"_s);
    title.setPixelSize(44);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(36, 0, 600, 86), Qt::AlignVCenter | Qt::AlignLeft, name);
    for (int i = 0; i < 4; ++i)
        TextBar(painter, 500 + i * 72, 36, 56, accent.lighter(150), 14);
    painter.fillRect(QRect(0, 86, 800, 34), QColor(0xEE, 0xF0, 0xF4));
    for (int i = 0; i < 5; ++i)
        TextBar(painter, 36 + i * 110, 99, 80, QColor(0xB0, 0xB6, 0xC2));

    switch (variant % 4) {
    case 0: // a wide picture over three columns
        Hero(painter, QRect(36, 140, 728, 220), accent);
        for (int column = 0; column < 3; ++column) {
            TextBar(painter, 36 + column * 250, 384, 150, accent.darker(120), 14);
            Paragraph(painter, 36 + column * 250, 412, 224, 8, column + variant);
        }
        break;
    case 1: // a list of items with pictures beside a sidebar
        for (int row = 0; row < 4; ++row) {
            const int y = 140 + row * 112;
            Hero(painter, QRect(36, y, 140, 96), row % 2 ? accent.lighter(115) : accent);
            TextBar(painter, 196, y + 4, 260, accent.darker(130), 14);
            Paragraph(painter, 196, y + 30, 340, 3, row);
        }
        painter.fillRect(QRect(570, 140, 194, 430), QColor(0xEE, 0xF1, 0xF6));
        Paragraph(painter, 586, 160, 160, 20, 3);
        break;
    case 2: // a grid of pictures
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 4; ++column) {
                const QRect cell(36 + column * 184, 140 + row * 150, 168, 104);
                Hero(painter, cell, (row + column) % 2 ? accent : accent.lighter(125));
                TextBar(painter, cell.left(), cell.bottom() + 12, 120, QColor(0xB0, 0xB6, 0xC2));
            }
        }
        break;
    default: // a document with a table of contents
        painter.fillRect(QRect(36, 140, 180, 430), QColor(0xEE, 0xF1, 0xF6));
        Paragraph(painter, 52, 160, 148, 20, 5);
        TextBar(painter, 250, 146, 360, accent.darker(120), 22);
        Paragraph(painter, 250, 190, 514, 10, 7);
        Hero(painter, QRect(250, 384, 250, 170), accent);
        Paragraph(painter, 520, 390, 244, 9, 2);
        break;
    }
    return page;
}

QImage Thumbnail(const QColor& accent, const QString& name, int variant)
{
    return MakeThumbnail(WebPage(accent, name, variant));
}

QImage SiteIcon(const QColor& color, QChar letter)
{
    QImage icon(16, 16, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, 16);
    fill.setColorAt(0, color.lighter(125));
    fill.setColorAt(1, color.darker(110));
    painter.setBrush(fill);
    painter.setPen(QPen(color.darker(140), 1));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3.5, 3.5);
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString(letter));
    painter.end();
    return icon.convertToFormat(QImage::Format_ARGB32);
}

QImage ProgramIcon(const QString& resourceName)
{
    TExIcon icon;
    GraphicTools::LoadBestSmallIcon(icon, QString(), resourceName);
    return icon.Empty() ? QImage() : icon.Handle();
}

std::vector<QImage> LinkIcons()
{
    return {ProgramIcon(u"res_ico_lbInstall"_s), ProgramIcon(u"res_ico_lbVisitSite"_s),
            ProgramIcon(u"res_ico_lbSignup"_s), ProgramIcon(u"res_ico_lbTellFriend"_s),
            ProgramIcon(u"res_ico_lbInstalled"_s)};
}

} // namespace SamplePictures
