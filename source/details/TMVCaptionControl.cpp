#include "TMVCaptionControl.h"

#include "DetailGeometry.h"
#include "DetailText.h"

#include <QPainter>

TMVCaptionControl::TMVCaptionControl(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(kHeight);
    setMaximumHeight(kHeight);
    resize(kDefaultWidth, kHeight);
}

TMVCaptionControl::~TMVCaptionControl() = default;

void TMVCaptionControl::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void TMVCaptionControl::SetFontColor(TColor color)
{
    if (color == m_fontColor)
        return;
    m_fontColor = color;
    update();
}

QRect TMVCaptionControl::PaintCaption(QPainter& painter) const
{
    const QSize size = DetailText::LineSize(font(), m_caption);
    const QRect where = DetailGeometry::CaptionRect(rect(), size.width(), size.height());
    painter.setFont(font());
    painter.setPen(ColorToQColor(m_fontColor));
    DetailText::DrawLine(painter, where, m_caption, DetailText::ShowMnemonic);
    return where;
}
