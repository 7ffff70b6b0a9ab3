#include "TMVDelimiter.h"

#include "pictures/Colors.h"
#include "pictures/GraphicTools.h"

#include <QPainter>

using namespace PanelGeometry;

TMVDelimiter::TMVDelimiter(QWidget* parent) : QWidget(parent)
{
    resize(156, 5);
}

void TMVDelimiter::SetOrientation(TMVDelimiterOrientation orientation)
{
    m_orientation = orientation;
    update();
}

void TMVDelimiter::SetFillType(TMVFillType fillType)
{
    m_fillType = fillType;
    update();
}

void TMVDelimiter::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool horizontal = m_orientation == doHorizontal;
    const int at = DelimiterLinePosition(m_orientation, width(), height());
    for (const TDelimiterPart& part : DelimiterParts(m_fillType, horizontal ? width() : height())) {
        const QRect line = horizontal ? QRect(part.From, at, part.To - part.From, 1)
                                      : QRect(at, part.From, 1, part.To - part.From);
        GraphicTools::GradientFillRect(painter, line, part.StartColor, horizontal ? 0 : 1, part.EndColor);
    }
}
