// The bar line of TLabelProgressBar: border, trough, fill pattern, segments, busy group and
// percentage label, drawn into an off-screen picture first so the label can blend over it.

#include "LabelProgressBar.h"

#include "markup/VisualPainting.h"
#include "pictures/ColorSteps.h"
#include "pictures/Colors.h"
#include "pictures/GraphicTools.h"

#include <QFontMetrics>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;
using namespace ProgressBarGeometry;

namespace {

constexpr qreal kPercentOpacity = 178.0 / 255.0;

// A one-pixel frame on rect's border pixels: top and left in one colour, bottom and right in
// another; cut corners leave the four corner pixels out.
void Frame(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight,
           bool cutCorners)
{
    if (rect.width() < 2 || rect.height() < 2)
        return;
    const int cut = cutCorners ? 1 : 0;
    const int w = rect.width();
    const int h = rect.height();
    painter.fillRect(QRect(rect.x() + cut, rect.y(), w - 2 * cut, 1), topLeft);
    painter.fillRect(QRect(rect.x(), rect.y() + cut, 1, h - 2 * cut), topLeft);
    painter.fillRect(QRect(rect.x() + cut, rect.y() + h - 1, w - 2 * cut, 1), bottomRight);
    painter.fillRect(QRect(rect.x() + w - 1, rect.y() + cut, 1, h - 2 * cut), bottomRight);
    if (!cutCorners) {
        // The two mixed corners belong to the top-left colour, as a lowered edge draws them.
        painter.fillRect(QRect(rect.x() + w - 1, rect.y(), 1, 1), topLeft);
        painter.fillRect(QRect(rect.x(), rect.y() + h - 1, 1, 1), topLeft);
    }
}

} // namespace

QImage TLabelProgressBar::FillPattern(int innerHeight) const
{
    const int width = m_smooth ? 1 : std::max<int>(m_segmentWidth, 1);
    QImage pattern(width, std::max(innerHeight, 1), QImage::Format_ARGB32_Premultiplied);
    pattern.fill(Qt::transparent);
    QPainter painter(&pattern);
    if (!m_segmentBitmap.isNull()) {
        painter.drawImage(QPoint(0, 0), m_smooth ? m_segmentBitmap.copy(0, 0, 1, m_segmentBitmap.height())
                                                 : m_segmentBitmap);
        return pattern;
    }
    const std::vector<GradientSection> sections =
        m_sections.empty() ? LabelProgressBarData::DefaultGradient(m_barHeight, BoldBorder()) : m_sections;
    int y = 0;
    for (const GradientSection& section : sections) {
        if (section.Height <= 0)
            continue;
        GraphicTools::GradientFillRect(painter, QRect(0, y, width, section.Height), section.StartColor, 1,
                                       section.EndColor);
        y += section.Height;
        if (y >= innerHeight)
            break;
    }
    return pattern;
}

void TLabelProgressBar::PaintBorder(QPainter& painter, const QRect& rect) const
{
    const QColor light = ColorToQColor(ColorSteps::Lighten(ColorToRGB(m_flatColor), m_flatLight));
    const QColor dark = ColorToQColor(ColorSteps::Darken(ColorToRGB(m_flatColor), m_flatDark));
    switch (m_border) {
    case brLowered:
        Frame(painter, rect, ColorToQColor(clBtnShadow), ColorToQColor(clBtnHighlight), false);
        break;
    case brRaised:
        Frame(painter, rect, ColorToQColor(clBtnHighlight), ColorToQColor(clBtnShadow), false);
        break;
    case brFlat:
    case brFlatRounded:
        Frame(painter, rect, light, light, m_border == brFlatRounded);
        break;
    case brFlatBold:
    case brFlatBoldRounded:
        Frame(painter, rect, light, light, m_border == brFlatBoldRounded);
        Frame(painter, rect.adjusted(1, 1, -1, -1), dark, dark, false);
        break;
    }
}

void TLabelProgressBar::PaintBar(QPainter& target, const QRect& bar)
{
    if (bar.isEmpty())
        return;
    QImage image(bar.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const QRect line(QPoint(0, 0), bar.size());
    painter.fillRect(line, ColorToQColor(m_color));

    const QRect borderRect = line.adjusted(1, 1, -1, -1);
    PaintBorder(painter, borderRect);
    const int border = BoldBorder() ? 2 : 1;
    const QRect inside = borderRect.adjusted(border, border, -border, -border);
    if (!m_fillBitmap.isNull())
        painter.drawTiledPixmap(inside, QPixmap::fromImage(m_fillBitmap));
    else
        painter.fillRect(inside, ColorToQColor(m_fillColor));

    QRect fill = inside.adjusted(1, 1, -1, -1);
    if (m_segmentShadow)
        fill.setWidth(fill.width() - 1);
    if (fill.width() > 0 && fill.height() > 0) {
        TFillPlan plan;
        int fillWidth = 0;
        if (m_animationMode) {
            m_animationStep =
                NormalizeAnimationCounter(m_animationStep, fill.width(), m_segmentWidth, m_segmentSpace);
            plan = AnimationGroup(m_animationStep, fill.width(), m_segmentWidth, m_segmentSpace,
                                  m_segmentShadow);
        } else if (m_max > m_min) {
            fillWidth = FillWidth(m_position, m_min, m_max, fill.width());
            plan = m_smooth
                       ? SmoothFill(fillWidth, fill.width(), m_segmentShadow)
                       : Segments(fillWidth, fill.width(), m_segmentWidth, m_segmentSpace, m_segmentShadow);
        }
        const QPixmap pattern = QPixmap::fromImage(FillPattern(fill.height()));
        for (const TFillRun& run : plan.Runs)
            painter.drawTiledPixmap(QRect(fill.x() + run.Left, fill.y(), run.Width, fill.height()), pattern);
        for (const int x : plan.Shadows)
            painter.fillRect(QRect(fill.x() + x, fill.y() + 1, 1, fill.height() - 2),
                             ColorToQColor(clBtnShadow));
        if (!m_animationMode && m_percentView != percentNone &&
            PercentVisible(m_percentVisibility, m_position, m_min, m_max)) {
            painter.end();
            PaintPercent(image, fill, fillWidth);
        }
    }
    if (painter.isActive())
        painter.end();
    target.drawImage(bar.topLeft(), image);
}

void TLabelProgressBar::PaintPercent(QImage& image, const QRect& fill, int fillWidth) const
{
    const QString text = PercentText(m_percentType, m_position, m_min, m_max);
    const QFontMetrics metrics(m_percentFont);
    int boxWidth = metrics.horizontalAdvance(text) + 4;
    if (m_percentType == showPercent)
        boxWidth = std::max(boxWidth, metrics.horizontalAdvance(u"999%"_s) + 4);
    const int boxHeight = metrics.height() + 2;
    const QRect box(fill.x() + PercentBoxLeft(m_percentView, fill.width(), fillWidth, boxWidth),
                    fill.y() + (fill.height() - boxHeight) / 2, boxWidth, boxHeight);

    // The bar shows through the label's tint.
    const QImage behind = image.copy(box);
    QPainter painter(&image);
    painter.fillRect(box, ColorToQColor(m_percentColor));
    painter.setOpacity(kPercentOpacity);
    painter.drawImage(box.topLeft(), behind);
    painter.setOpacity(1.0);
    painter.setPen(QPen(ColorToQColor(ColorSteps::Darken(ColorToRGB(m_flatColor), m_flatDark)), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(box.adjusted(0, 0, -1, -1), 2, 2);
    painter.setFont(m_percentFont);
    painter.setPen(palette().color(QPalette::WindowText));
    VisualPainting::TextLine(painter, box, text, VisualPainting::tlCenter);
}
