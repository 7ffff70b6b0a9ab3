#include "TSpecialFrame.h"

#include "pictures/Colors.h"
#include "pictures/GraphicTools.h"

#include <QPainter>
#include <QPolygon>
#include <QStyleOptionTabWidgetFrame>

void TFrameCorners::Set(TCornerStyle& corner, TCornerStyle style)
{
    corner = style;
    if (OnChange)
        OnChange(*this);
}

TSpecialFrame::TSpecialFrame(QWidget* parent) : QWidget(parent)
{
    resize(200, 100);
    m_corners.OnChange = [this](TFrameCorners&) {
        update();
    };
}

void TSpecialFrame::SetFillColor(TColor color)
{
    m_fillColor = color;
    update();
}

void TSpecialFrame::SetFrameColor(TColor color)
{
    m_frameColor = color;
    update();
}

void TSpecialFrame::SetColor(TColor color)
{
    m_color = color;
    update();
}

void TSpecialFrame::SetTabStyle(bool tabStyle)
{
    m_tabStyle = tabStyle;
    update();
}

void TSpecialFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_tabStyle) {
        QStyleOptionTabWidgetFrame option;
        option.initFrom(this);
        option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
        option.shape = QTabBar::RoundedNorth;
        style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
        // Inside the frame's lines and the shadow some styles draw below them.
        const int inset = option.lineWidth + 1;
        painter.fillRect(rect().adjusted(inset, inset, -inset, -inset), ColorToQColor(m_color));
        return;
    }
    painter.fillRect(rect(), ColorToQColor(m_color));
    const std::vector<QPoint> points =
        PanelGeometry::SpecialFramePolygon(width(), height(), m_corners.TopLeft(), m_corners.TopRight(),
                                           m_corners.BottomRight(), m_corners.BottomLeft());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ColorToQColor(m_frameColor), 0));
    painter.setBrush(ColorToQColor(m_fillColor));
    painter.drawPolygon(QPolygon(QList<QPoint>(points.begin(), points.end())));
}
