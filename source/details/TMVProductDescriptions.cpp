#include "TMVProductDescriptions.h"

#include "DetailText.h"
#include "markup/VisualPainting.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {

QFont Sized(QFont font, int points)
{
    font.setPointSize(points);
    font.setBold(true);
    return font;
}

} // namespace

TMVProductDescriptions::TMVProductDescriptions(QWidget* parent) : QWidget(parent)
{
    DeriveFonts();
    resize(360, 136);
}

TMVProductDescriptions::~TMVProductDescriptions() = default;

void TMVProductDescriptions::DeriveFonts()
{
    if (!m_titleFontSet)
        m_titleFont = Sized(font(), 12);
    if (!m_shortFontSet)
        m_shortFont = Sized(font(), 10);
}

void TMVProductDescriptions::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange) {
        DeriveFonts();
        update();
    }
    QWidget::changeEvent(event);
}

void TMVProductDescriptions::SetTitle(const QString& title)
{
    m_title = title;
    update();
}

void TMVProductDescriptions::SetDescriptionShort(const QString& text)
{
    m_descriptionShort = text;
    update();
}

void TMVProductDescriptions::SetDescriptionLong(const QString& text)
{
    m_descriptionLong = text;
    update();
}

void TMVProductDescriptions::SetTitleFont(const QFont& font)
{
    m_titleFont = font;
    m_titleFontSet = true;
    update();
}

void TMVProductDescriptions::SetTitleColor(TColor color)
{
    m_titleColor = color;
    update();
}

void TMVProductDescriptions::SetDescriptionShortFont(const QFont& font)
{
    m_shortFont = font;
    m_shortFontSet = true;
    update();
}

void TMVProductDescriptions::SetDescriptionShortColor(TColor color)
{
    m_shortColor = color;
    update();
}

void TMVProductDescriptions::SetFontColor(TColor color)
{
    m_fontColor = color;
    update();
}

QRect TMVProductDescriptions::TitleRect() const
{
    return QRect(0, 0, width(), QFontMetrics(m_titleFont).height());
}

QRect TMVProductDescriptions::DescriptionShortRect() const
{
    return QRect(0, TitleRect().bottom() + 1 + 4, width(), QFontMetrics(m_shortFont).height());
}

QRect TMVProductDescriptions::DescriptionLongRect() const
{
    const int top = DescriptionShortRect().bottom() + 1 + 4;
    return QRect(0, top, width(), height() - top);
}

void TMVProductDescriptions::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int flags = DetailText::HideMnemonic | DetailText::Ellipsis;
    painter.setFont(m_titleFont);
    painter.setPen(ColorToQColor(m_titleColor));
    DetailText::DrawLine(painter, TitleRect(), m_title, flags);
    painter.setFont(m_shortFont);
    painter.setPen(ColorToQColor(m_shortColor));
    DetailText::DrawLine(painter, DescriptionShortRect(), m_descriptionShort, flags);
    painter.setFont(font());
    painter.setPen(ColorToQColor(m_fontColor));
    VisualPainting::WrappedText(painter, DescriptionLongRect(), m_descriptionLong,
                                VisualPainting::wrEndEllipsis);
}
