#include "TMVPropertyText.h"

#include "DetailGeometry.h"
#include "DetailText.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

QFont Enlarged(QFont font)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() + 2);
    else
        font.setPixelSize(font.pixelSize() + 3); // two points at 96 dots per inch
    return font;
}

} // namespace

TMVPropertyText::TMVPropertyText(QWidget* parent) : TMVCaptionControl(parent), m_textFont(Enlarged(font()))
{
    setMouseTracking(true);
}

TMVPropertyText::~TMVPropertyText() = default;

void TMVPropertyText::SetText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    update();
}

void TMVPropertyText::SetTextFont(const QFont& font)
{
    m_textFont = font;
    m_textFontSet = true;
    update();
}

void TMVPropertyText::SetTextColor(TColor color)
{
    m_textColor = color;
    update();
}

void TMVPropertyText::SetIsUrl(bool isUrl)
{
    m_isUrl = isUrl;
    m_textFont.setUnderline(isUrl);
    m_textColor = isUrl ? kLinkColor : FontColor();
    if (!isUrl) {
        m_urlZone = QRect();
        unsetCursor();
    }
    update();
}

void TMVPropertyText::changeEvent(QEvent* event)
{
    // The value's font follows the widget's (the parent's, once it has one) until the owner
    // chooses another.
    if (event->type() == QEvent::FontChange && !m_textFontSet) {
        m_textFont = Enlarged(font());
        m_textFont.setUnderline(m_isUrl);
        update();
    }
    TMVCaptionControl::changeEvent(event);
}

void TMVPropertyText::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect caption = PaintCaption(painter);
    const QSize value = DetailText::LineSize(m_textFont, m_text);
    const DetailGeometry::TValuePlacement placement =
        DetailGeometry::PropertyValueRect(rect(), caption.width(), value.width(), value.height());
    painter.setFont(m_textFont);
    painter.setPen(ColorToQColor(m_textColor));
    DetailText::DrawLine(painter, placement.Rect, m_text,
                         DetailText::ShowMnemonic | (placement.Fits ? 0 : DetailText::Ellipsis));
    m_urlZone = m_isUrl ? placement.Rect : QRect();
}

bool TMVPropertyText::InZone(QPoint point) const
{
    return m_isUrl && m_urlZone.contains(point);
}

void TMVPropertyText::mousePressEvent(QMouseEvent* event)
{
    m_pressed = InZone(event->position().toPoint());
    TMVCaptionControl::mousePressEvent(event);
}

void TMVPropertyText::mouseMoveEvent(QMouseEvent* event)
{
    if (InZone(event->position().toPoint()))
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    TMVCaptionControl::mouseMoveEvent(event);
}

void TMVPropertyText::mouseReleaseEvent(QMouseEvent* event)
{
    const bool pressed = m_pressed;
    m_pressed = false;
    if (pressed && InZone(event->position().toPoint()) && OnUrlClick)
        OnUrlClick(*this);
    else
        TMVCaptionControl::mouseReleaseEvent(event);
}
