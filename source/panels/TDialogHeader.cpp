#include "TDialogHeader.h"

#include "pictures/Colors.h"
#include "pictures/GraphicTools.h"

#include <QPainter>

namespace {

constexpr int kBottomEdge = 2;

} // namespace

TDialogHeader::TDialogHeader(QWidget* parent) : QWidget(parent)
{
    resize(200, 56);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Relayout();
}

void TDialogHeader::SetImage(const QImage& image)
{
    m_image = image;
    Relayout();
    update();
}

void TDialogHeader::SetImageOffset(int offset)
{
    m_imageOffset = offset;
    Relayout();
    update();
}

void TDialogHeader::SetBottomBorder(TBottomBorder border)
{
    m_bottomBorder = border;
    update();
}

void TDialogHeader::SetImageAlignment(TImageAlignment alignment)
{
    m_imageAlignment = alignment;
    Relayout();
    update();
}

void TDialogHeader::SetColor(TColor color)
{
    m_color = color;
    update();
}

void TDialogHeader::Relayout()
{
    int left = 0;
    int right = 0;
    if (!m_image.isNull()) {
        const int side = int(m_image.deviceIndependentSize().width()) + m_imageOffset;
        (m_imageAlignment == iaLeft ? left : right) = side;
    }
    setContentsMargins(left, 0, right, kBottomEdge);
}

void TDialogHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), ColorToQColor(m_color));
    if (!m_image.isNull()) {
        const QSize shown = m_image.deviceIndependentSize().toSize();
        const int y = (height() - shown.height() - 2) / 2;
        const int x = m_imageAlignment == iaLeft ? m_imageOffset : width() - shown.width() - m_imageOffset;
        painter.drawImage(QPoint(x, y), m_image);
    }
    const QRect lower(0, height() - 1, width(), 1);
    const QRect upper(0, height() - 2, width(), 1);
    switch (m_bottomBorder) {
    case bbEtched:
        painter.fillRect(upper, ColorToQColor(clBtnShadow));
        painter.fillRect(lower, ColorToQColor(clBtnHighlight));
        break;
    case bbShadowed:
        painter.fillRect(upper, ColorToQColor(clBtnShadow));
        painter.fillRect(lower, ColorToQColor(cl3DDkShadow));
        break;
    case bbSolid:
        painter.fillRect(lower, ColorToQColor(clBtnShadow));
        break;
    }
}
