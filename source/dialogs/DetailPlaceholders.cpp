#include "DetailPlaceholders.h"

#include "visual/GraphicTools.h"

#include <QPainter>

using namespace Qt::Literals::StringLiterals;

PlaceholderRating::PlaceholderRating(QWidget* parent)
    : QWidget(parent), m_full(GraphicTools::LoadPngResource(u"rtStarFull"_s)),
      m_empty(GraphicTools::LoadPngResource(u"rtStarEmpty"_s))
{
    setFixedHeight(17);
    resize(156, 17);
}

void PlaceholderRating::SetCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void PlaceholderRating::SetRating(float rating)
{
    m_rating = rating >= 0 && rating <= 5 ? rating : 0;
    update();
}

void PlaceholderRating::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, m_caption);
    int x = width() - 5 * m_full.width();
    for (int i = 1; i <= 5; ++i) {
        const QImage& star = m_rating + 0.5f >= float(i) ? m_full : m_empty;
        painter.drawImage(x, (height() - star.height()) / 2, star);
        x += star.width();
    }
}

PlaceholderProductDescriptions::PlaceholderProductDescriptions(QWidget* parent) : QWidget(parent)
{
    resize(360, 136);
}

void PlaceholderProductDescriptions::SetTitle(const QString& title)
{
    m_title = title;
    update();
}

void PlaceholderProductDescriptions::SetDescriptionShort(const QString& text)
{
    m_short = text;
    update();
}

void PlaceholderProductDescriptions::SetDescriptionLong(const QString& text)
{
    m_long = text;
    update();
}

void PlaceholderProductDescriptions::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QFont titleFont = font();
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    QFont shortFont = font();
    shortFont.setPointSize(10);
    shortFont.setBold(true);
    QRect area = rect();
    const auto line = [&](const QString& text, const QFont& lineFont, const QColor& color) {
        painter.setFont(lineFont);
        painter.setPen(color);
        const QFontMetrics metrics(lineFont);
        painter.drawText(area.adjusted(0, 0, 0, -(area.height() - metrics.height())),
                         Qt::AlignLeft | Qt::TextSingleLine,
                         metrics.elidedText(text, Qt::ElideRight, area.width()));
        area.setTop(area.top() + metrics.height() + 4);
    };
    line(m_title, titleFont, QColor(0x40, 0x97, 0x32));
    line(m_short, shortFont, Qt::black);
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_long);
}
