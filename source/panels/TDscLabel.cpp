#include "TDscLabel.h"

#include "markup/VisualPainting.h"
#include "pictures/Colors.h"
#include "pictures/GraphicTools.h"

#include <QPainter>
#include <QStyleOptionFrame>

TDscLabel::TDscLabel(QWidget* parent) : QWidget(parent)
{
    resize(200, 100);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TDscLabel::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void TDscLabel::SetBorderSpace(int space)
{
    if (space == m_borderSpace)
        return;
    m_borderSpace = space;
    update();
}

void TDscLabel::SetUseXPStyles(bool use)
{
    m_useXPStyles = use;
    update();
}

void TDscLabel::SetColor(TColor color)
{
    m_color = color;
    update();
}

void TDscLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_useXPStyles) {
        painter.fillRect(rect(), ColorToQColor(m_color));
        QStyleOptionFrame option;
        option.initFrom(this);
        option.lineWidth = 1;
        option.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_Frame, &option, &painter, this);
    } else {
        VisualPainting::Rectangle(painter, rect(), ColorToQColor(clBtnShadow), ColorToQColor(m_color));
    }
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    const int inset = m_borderSpace + 1;
    VisualPainting::WrappedText(painter, rect().adjusted(inset, inset, -inset, -inset), m_caption,
                                VisualPainting::wrWordEllipsis | VisualPainting::wrShowMnemonic);
}
