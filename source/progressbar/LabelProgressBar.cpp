#include "LabelProgressBar.h"

#include "markup/VisualPainting.h"
#include "pictures/ColorSteps.h"
#include "pictures/Colors.h"
#include "pictures/GraphicTools.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>

#include <chrono>

using namespace Qt::Literals::StringLiterals;
using namespace ProgressBarGeometry;

namespace {

constexpr int kDefaultWidth = 220;
constexpr int kDefaultBarHeight = 20;
// A bar line never gets this small from a resize.
constexpr int kSmallestBarHeight = 13;
constexpr int kPercentAlpha = 178;
const QString kElapsedFormat = u"Elapsed time: [Hours]:[Minutes]:[Seconds]"_s;
const QString kTimeLeftFormat = u"Time left: [Hours]:[Minutes]:[Seconds]"_s;

int64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int LineHeight(const QFont& font)
{
    return QFontMetrics(font).boundingRect(u"Wg"_s).height() + 4;
}

QFont Tahoma(bool bold)
{
    QFont font(u"Tahoma"_s, 8);
    font.setBold(bold);
    return font;
}

} // namespace

TLabelProgressBar::TLabelProgressBar(QWidget* parent)
    : QWidget(parent), m_textFont(Tahoma(false)), m_infoFont(Tahoma(false)), m_fillColor(clWindow),
      m_flatColor(clBtnShadow), m_percentColor(ColorSteps::Lighten(0xFF0000, 50)),
      m_percentFont(Tahoma(true)), m_color(clBtnFace), m_clock(SteadyMilliseconds)
{
    m_position = QRandomGenerator::global()->bounded(1, 101);
    m_textLineHeight = LineHeight(m_textFont);
    m_infoLineHeight = LineHeight(m_infoFont);
    m_barHeight = kDefaultBarHeight;
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    resize(kDefaultWidth, ShownHeight());
}

TLabelProgressBar::~TLabelProgressBar() = default;

int TLabelProgressBar::ShownHeight() const
{
    return ((m_viewOptions & viewText) ? m_textLineHeight : 0) + m_barHeight +
           ((m_viewOptions & viewInfo) ? m_infoLineHeight : 0);
}

void TLabelProgressBar::FitHeight()
{
    updateGeometry();
    resize(width(), ShownHeight());
    update();
}

QSize TLabelProgressBar::sizeHint() const
{
    return {kDefaultWidth, ShownHeight()};
}

void TLabelProgressBar::SetText(const QString& text)
{
    m_text = text;
    update();
}

void TLabelProgressBar::SetTextAlignment(TLPBAlignment alignment)
{
    m_textAlignment = alignment;
    update();
}

void TLabelProgressBar::SetTextFont(const QFont& font)
{
    m_textFont = font;
    m_textLineHeight = LineHeight(font);
    FitHeight();
}

void TLabelProgressBar::SetInfo(const QString& info)
{
    m_info = info;
    update();
}

void TLabelProgressBar::SetInfoAlignment(TLPBAlignment alignment)
{
    m_infoAlignment = alignment;
    update();
}

void TLabelProgressBar::SetInfoFont(const QFont& font)
{
    m_infoFont = font;
    m_infoLineHeight = LineHeight(font);
    FitHeight();
}

void TLabelProgressBar::SetInfoType(TLPBInfoType type)
{
    m_infoType = type;
    update();
}

void TLabelProgressBar::SetViewOptions(TLPBViewSet options)
{
    m_viewOptions = options;
    FitHeight();
}

void TLabelProgressBar::SetMin(int min)
{
    m_min = min;
    update();
}

void TLabelProgressBar::SetMax(int max)
{
    m_max = max;
    update();
}

void TLabelProgressBar::SetPosition(int position)
{
    if (position == m_position)
        return;
    m_position = (position < m_min || position > m_max) ? m_max : position;
    if (m_infoType != infStatic) {
        if (m_position == m_min) {
            m_timingStart = m_clock();
            m_timing = true;
        } else if (m_position == m_max) {
            m_timing = false;
        }
    }
    update();
}

void TLabelProgressBar::SetSmooth(bool smooth)
{
    m_smooth = smooth;
    update();
}

void TLabelProgressBar::SetSegmentWidth(uint8_t width)
{
    m_segmentWidth = width;
    update();
}

void TLabelProgressBar::SetSegmentSpace(uint8_t space)
{
    m_segmentSpace = space;
    update();
}

void TLabelProgressBar::SetSegmentShadow(bool shadow)
{
    m_segmentShadow = shadow;
    update();
}

void TLabelProgressBar::SetSegmentBitmap(const QImage& bitmap)
{
    m_segmentBitmap = bitmap;
    update();
}

void TLabelProgressBar::SetSegmentGradient(const std::vector<GradientSection>& sections)
{
    m_sections = sections;
    update();
}

void TLabelProgressBar::SetFillColor(TColor color)
{
    m_fillColor = color;
    update();
}

void TLabelProgressBar::SetFillBitmap(const QImage& bitmap)
{
    m_fillBitmap = bitmap;
    update();
}

void TLabelProgressBar::SetBorder(TLPBBorder border)
{
    m_border = border;
    update();
}

void TLabelProgressBar::SetFlatColor(TColor color)
{
    m_flatColor = color;
    update();
}

void TLabelProgressBar::SetFlatLightColorAdjustment(int adjustment)
{
    m_flatLight = adjustment;
    update();
}

void TLabelProgressBar::SetFlatDarkColorAdjustment(int adjustment)
{
    m_flatDark = adjustment;
    update();
}

void TLabelProgressBar::SetPercentView(TLPBPercentMode view)
{
    m_percentView = view;
    update();
}

void TLabelProgressBar::SetPercentType(TLPBPercentType type)
{
    m_percentType = type;
    update();
}

void TLabelProgressBar::SetPercentColor(TColor color)
{
    m_percentColor = color;
    update();
}

void TLabelProgressBar::SetPercentFont(const QFont& font)
{
    m_percentFont = font;
    update();
}

void TLabelProgressBar::SetPercentVisibility(TLPBPercentBoundVisibilitySet visibility)
{
    m_percentVisibility = visibility;
    update();
}

void TLabelProgressBar::SetAnimationMode(bool on)
{
    m_animationMode = on;
    m_animationStep = -3;
    if (on)
        m_lastAnimationStep = m_clock();
    update();
}

void TLabelProgressBar::AnimationTick()
{
    const int64_t now = m_clock();
    if (now - m_lastAnimationStep <= int64_t(m_animationDelay))
        return;
    ++m_animationStep;
    m_lastAnimationStep = now;
    update();
}

void TLabelProgressBar::SetColor(TColor color)
{
    m_color = color;
    update();
}

void TLabelProgressBar::SetBarHeight(int height)
{
    m_barHeight = std::max(height, 1);
    FitHeight();
}

QString TLabelProgressBar::InfoLineText() const
{
    if (m_infoType == infStatic)
        return m_info;
    if (!m_timing)
        return {};
    const int64_t elapsedMs = std::max<int64_t>(m_clock() - m_timingStart, 0);
    if (m_infoType == infElapsedTime)
        return FormatInfoTime(kElapsedFormat, elapsedMs / 1000);
    return FormatInfoTime(kTimeLeftFormat,
                          TimeLeftSeconds(double(elapsedMs) / 1000.0, m_position, m_min, m_max));
}

TLPBStoredForm TLabelProgressBar::StoredForm() const
{
    return {m_barHeight, m_sections, m_pressets};
}

void TLabelProgressBar::LoadStoredForm(const TLPBStoredForm& form)
{
    m_sections = form.Sections;
    m_pressets = form.Pressets;
    SetBarHeight(form.BarHeight);
}

void TLabelProgressBar::SetClock(std::function<int64_t()> clock)
{
    m_clock = clock ? std::move(clock) : SteadyMilliseconds;
}

void TLabelProgressBar::resizeEvent(QResizeEvent* event)
{
    const int lines = ((m_viewOptions & viewText) ? m_textLineHeight : 0) +
                      ((m_viewOptions & viewInfo) ? m_infoLineHeight : 0);
    if (height() - lines > kSmallestBarHeight)
        m_barHeight = height() - lines;
    QWidget::resizeEvent(event);
}

void TLabelProgressBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (OnDblClick) {
        const auto handler = OnDblClick;
        handler(*this);
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void TLabelProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    int y = 0;
    if (m_viewOptions & viewText) {
        PaintLine(painter, QRect(0, y, width(), m_textLineHeight), m_text, m_textFont, m_textAlignment);
        y += m_textLineHeight;
    }
    PaintBar(painter, QRect(0, y, width(), m_barHeight));
    y += m_barHeight;
    if (m_viewOptions & viewInfo)
        PaintLine(painter, QRect(0, y, width(), m_infoLineHeight), InfoLineText(), m_infoFont,
                  m_infoAlignment);
}

void TLabelProgressBar::PaintLine(QPainter& painter, const QRect& line, const QString& text,
                                  const QFont& font, TLPBAlignment alignment) const
{
    painter.fillRect(line, ColorToQColor(m_color));
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    const int flags = VisualPainting::tlEllipsis | (alignment == alCenter  ? VisualPainting::tlCenter
                                                    : alignment == alRight ? VisualPainting::tlRight
                                                                           : VisualPainting::tlLeft);
    VisualPainting::TextLine(painter, line.adjusted(2, 2, -2, -2), text, flags);
}
