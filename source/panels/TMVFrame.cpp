#include "TMVFrame.h"
#include "pictures/RectEdges.h"

#include "markup/VisualPainting.h"
#include "pictures/Colors.h"
#include "pictures/GraphicTools.h"

#include <QChildEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;
using namespace PanelGeometry;

namespace {

constexpr TColor kBorder = 0xCECECE;
constexpr TColor kBarTop = 0xFFFFFF;
constexpr TColor kBarBottom = 0xE4E4E4;
constexpr TColor kFrameCaptionShadow = 0xC8C8C8;
constexpr TColor kCaptionText = 0x000000;
constexpr TColor kHelpText = 0x896E6F;
constexpr TColor kBottomBand = 0xFFF2EF;
constexpr int kBottomBandHeight = 16;

using RectEdges::Bottom;
using RectEdges::FromEdges;
using RectEdges::Right;

// The glyph at the left of rect, centred vertically.
QRect GlyphRect(const QRect& rect, const QImage& glyph)
{
    return QRect(rect.x(), rect.y() + (rect.height() - glyph.height()) / 2, glyph.width(), glyph.height());
}

} // namespace

TMVFrame::TMVFrame(QWidget* parent) : QWidget(parent)
{
    m_glyphOpen = GraphicTools::LoadPngResource(u"cbGlyphOpen"_s);
    m_glyphClose = GraphicTools::LoadPngResource(u"cbGlyphClose"_s);
    m_glyphHide = GraphicTools::LoadPngResource(u"hbGlyphHide"_s);
    m_glyphHelp = GraphicTools::LoadPngResource(u"hbGlyphHelp"_s);
    setMouseTracking(true);
    resize(300, 200);
    Relayout();
}

TMVFrame::~TMVFrame() = default;

void TMVFrame::SetCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void TMVFrame::SetShowCaptionBar(bool show)
{
    m_showCaptionBar = show;
    Relayout();
    update();
}

void TMVFrame::SetShowCaptionShadow(bool show)
{
    m_showCaptionShadow = show;
    update();
}

void TMVFrame::SetShowGlyph(bool show)
{
    m_showGlyph = show;
    update();
}

void TMVFrame::SetShowHelpArea(bool show)
{
    m_showHelpArea = show;
    if (show)
        RecomputeHelpAreaHeight();
    Relayout();
    update();
}

void TMVFrame::SetHelpText(const QString& text)
{
    if (text == m_helpText)
        return;
    m_helpText = text;
    if (m_showHelpArea)
        RecomputeHelpAreaHeight();
    Relayout();
    update();
}

void TMVFrame::SetHelpTextWrap(bool wrap)
{
    m_helpTextWrap = wrap;
    if (m_showHelpArea)
        RecomputeHelpAreaHeight();
    Relayout();
    update();
}

void TMVFrame::SetFrameState(TMVFrameState state)
{
    if (state == m_frameState)
        return;
    const TMVFrameState previous = m_frameState;
    m_frameState = state;
    if (state == fsCollapsed) {
        m_savedHeight = height();
        m_savedMinimumHeight = minimumHeight();
        m_savedMaximumHeight = maximumHeight();
        // No room for the children: they are hidden, so that focus cannot stay on an invisible
        // child, and the panel's layout rests, so that it cannot hold the panel open.
        m_hiddenChildren.clear();
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (!child->isHidden() && !child->isWindow()) {
                m_hiddenChildren.emplace_back(child);
                child->hide();
            }
        }
        if (layout())
            layout()->setEnabled(false);
        // Fixed at the bar's height, so that a layout around the panel keeps it closed too.
        setMinimumHeight(kCollapsedHeight);
        setMaximumHeight(kCollapsedHeight);
        resize(width(), kCollapsedHeight);
    } else if (previous == fsCollapsed) {
        setMinimumHeight(m_savedMinimumHeight);
        setMaximumHeight(m_savedMaximumHeight);
        resize(width(), m_savedHeight);
        if (layout())
            layout()->setEnabled(true);
        for (const QPointer<QWidget>& child : m_hiddenChildren) {
            if (child)
                child->show();
        }
        m_hiddenChildren.clear();
    }
    Relayout();
    update();
}

void TMVFrame::SetUserGlyph(const QImage& glyph)
{
    m_userGlyph = glyph.copy();
    update();
}

void TMVFrame::SetBottomBackground(bool show)
{
    m_bottomBackground = show;
    Relayout();
    update();
}

void TMVFrame::SetBottomSpace(int space)
{
    m_bottomSpace = std::max(space, 0);
    Relayout();
    update();
}

QRect TMVFrame::ClientRect() const
{
    return FrameClientRect(rect(), m_frameState == fsCollapsed, m_showCaptionBar, m_showHelpArea,
                           m_helpAreaHeight, m_bottomSpace);
}

QRect TMVFrame::ZoneRect(TZone zone) const
{
    const HotZone& hot = m_zones[zone];
    return hot.Visible ? hot.Bounds : QRect();
}

void TMVFrame::Relayout()
{
    if (m_frameState == fsCollapsed) {
        setContentsMargins(1, kCollapsedHeight, 1, 0);
        return;
    }
    const QRect client = ClientRect();
    setContentsMargins(client.x(), client.y(), width() - Right(client), height() - Bottom(client));
}

void TMVFrame::RecomputeHelpAreaHeight()
{
    if (!m_helpTextWrap) {
        m_helpAreaHeight = kHelpAreaHeight;
        return;
    }
    const int textWidth = HelpTextWidth(width(), m_glyphHelp.isNull() ? 0 : m_glyphHelp.width(),
                                        m_glyphHide.isNull() ? 0 : m_glyphHide.width());
    const int textHeight = VisualPainting::WrappedTextHeight(font(), std::max(textWidth, 1), m_helpText);
    m_helpAreaHeight = WrappedHelpAreaHeight(textHeight);
}

void TMVFrame::HideZones()
{
    for (HotZone& zone : m_zones)
        zone.Visible = false;
}

TMVFrame::TZone TMVFrame::VisibleZoneAt(QPoint point) const
{
    for (const TZone zone : {zoneCollapse, zoneExpand, zoneHideHelp}) {
        if (!ZoneRect(zone).isEmpty() && ZoneRect(zone).contains(point))
            return zone;
    }
    return zoneNone;
}

void TMVFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    HideZones();
    if (m_frameState == fsCollapsed)
        PaintCollapsed(painter);
    else
        PaintOpen(painter);
}

void TMVFrame::PaintCollapsed(QPainter& painter)
{
    const QRect client = rect();
    VisualPainting::Rectangle(painter, client, ColorToQColor(kBorder), Qt::transparent);
    const QRect inner = client.adjusted(1, 1, -1, -1);
    GraphicTools::GradientFillRect(painter, inner, kBarTop, 1, kBarBottom);
    PaintCaption(painter, inner.adjusted(4, 0, -4, 0), m_glyphClose, zoneExpand, m_options & foExpandClick);
}

void TMVFrame::PaintCaption(QPainter& painter, QRect bar, const QImage& glyph, TZone zone, bool zoneActive)
{
    QRect text = bar;
    if (m_showGlyph && !glyph.isNull()) {
        const QRect glyphRect = GlyphRect(bar, glyph);
        painter.drawImage(glyphRect.topLeft(), glyph);
        if (zone != zoneNone) {
            HotZone& hot = m_zones[zone];
            hot.Bounds = (m_options & foCaptionBarClick) ? bar : glyphRect;
            hot.Visible = zoneActive;
        }
        text.setLeft(text.left() + glyph.width() + 4);
    }
    text.translate(0, 1);
    QFont captionFont = font();
    captionFont.setBold(true);
    painter.setFont(captionFont);
    const int flags = VisualPainting::tlHideMnemonic | VisualPainting::tlEllipsis;
    if (m_showCaptionShadow) {
        painter.setPen(ColorToQColor(kFrameCaptionShadow));
        VisualPainting::TextLine(painter, text.translated(1, 1), m_caption, flags);
    }
    painter.setPen(ColorToQColor(kCaptionText));
    VisualPainting::TextLine(painter, text, m_caption, flags);
}

void TMVFrame::PaintOpen(QPainter& painter)
{
    const QRect client = rect();
    QRect r = client;
    QRect helpBox;
    if (m_showHelpArea) {
        r.setHeight(r.height() - m_helpAreaHeight);
        helpBox = FromEdges(r.x() + 13, Bottom(r) - 1, Right(client), Bottom(client));
    }
    VisualPainting::Rectangle(painter, r, ColorToQColor(kBorder), ColorToQColor(clWindow));
    if (m_showHelpArea)
        VisualPainting::Rectangle(painter, helpBox, ColorToQColor(kBorder), ColorToQColor(clWindow));
    r.adjust(1, 1, -1, -1);

    if (m_showCaptionBar) {
        const QRect band = FromEdges(r.x(), r.y(), Right(r), r.y() + 18);
        GraphicTools::GradientFillRect(painter, band, kBarTop, 1, kBarBottom);
        VisualPainting::Line(painter, QPoint(band.x(), Bottom(band)), QPoint(Right(band), Bottom(band)),
                             ColorToQColor(kBorder));
        const bool expanded = m_frameState == fsExpanded;
        PaintCaption(painter, band.adjusted(4, 0, -4, 0), expanded ? m_glyphOpen : m_userGlyph,
                     expanded ? zoneCollapse : zoneNone, m_options & foCollapseClick);
    }

    if (m_showHelpArea)
        PaintHelpArea(painter, helpBox.adjusted(1, 1, -1, -1));

    if (m_bottomBackground) {
        const int y = m_showHelpArea ? helpBox.y() - 2 : Bottom(r);
        GraphicTools::GradientFillRect(painter, FromEdges(r.x(), y - kBottomBandHeight, Right(r), y),
                                       clWindow, 1, kBottomBand);
    }
}

void TMVFrame::PaintHelpArea(QPainter& painter, QRect box)
{
    QFont helpFont = font();
    helpFont.setBold(false);
    helpFont.setItalic(false);
    helpFont.setUnderline(false);
    painter.setFont(helpFont);
    painter.setPen(ColorToQColor(kHelpText));
    box.adjust(4, 0, -2, 0);
    if (!m_glyphHelp.isNull()) {
        painter.drawImage(GlyphRect(box, m_glyphHelp).topLeft(), m_glyphHelp);
        box.setLeft(box.left() + m_glyphHelp.width() + 4);
    }
    if (!m_glyphHide.isNull() && (m_options & foHideHelpClick)) {
        const QRect hide(Right(box) - m_glyphHide.width(),
                         box.y() + (box.height() - m_glyphHide.height()) / 2, m_glyphHide.width(),
                         m_glyphHide.height());
        painter.drawImage(hide.topLeft(), m_glyphHide);
        m_zones[zoneHideHelp] = {true, hide};
        box.setRight(box.right() - m_glyphHide.width() - 4);
    }
    box.adjust(0, 1, 0, -1);
    if (m_helpTextWrap)
        VisualPainting::WrappedText(painter, box, m_helpText, VisualPainting::wrEndEllipsis);
    else
        VisualPainting::TextLine(painter, box, m_helpText,
                                 VisualPainting::tlHideMnemonic | VisualPainting::tlEllipsis);
}

void TMVFrame::mousePressEvent(QMouseEvent* event)
{
    m_pressedZone = VisibleZoneAt(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void TMVFrame::mouseMoveEvent(QMouseEvent* event)
{
    if (VisibleZoneAt(event->position().toPoint()) != zoneNone)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    QWidget::mouseMoveEvent(event);
}

void TMVFrame::mouseReleaseEvent(QMouseEvent* event)
{
    const TZone pressed = m_pressedZone;
    m_pressedZone = zoneNone;
    if (pressed == zoneNone || VisibleZoneAt(event->position().toPoint()) != pressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_zones[pressed].Visible = false;
    unsetCursor();
    switch (pressed) {
    case zoneCollapse:
        SetFrameState(fsCollapsed);
        break;
    case zoneExpand:
        SetFrameState(fsExpanded);
        break;
    case zoneHideHelp:
        SetShowHelpArea(false);
        break;
    case zoneNone:
        break;
    }
}

void TMVFrame::resizeEvent(QResizeEvent* event)
{
    if (m_helpTextWrap && m_showHelpArea)
        RecomputeHelpAreaHeight();
    Relayout();
    QWidget::resizeEvent(event);
}

void TMVFrame::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange && m_showHelpArea) {
        RecomputeHelpAreaHeight();
        Relayout();
        update();
    }
    QWidget::changeEvent(event);
}

void TMVFrame::childEvent(QChildEvent* event)
{
    // Children inherit the panel's cursor; they must not show the zones' hand.
    if (event->added() && event->child()->isWidgetType())
        event->child()->installEventFilter(this);
    else if (event->removed())
        event->child()->removeEventFilter(this);
    QWidget::childEvent(event);
}

bool TMVFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter && watched->parent() == this)
        unsetCursor();
    return QWidget::eventFilter(watched, event);
}
