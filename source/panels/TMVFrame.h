#pragma once

#include "PanelGeometry.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <vector>

enum TMVFrameState : uint8_t
{
    fsNormal,
    fsExpanded,
    fsCollapsed
};

enum TMVFrameOption : uint8_t
{
    foExpandClick = 1,
    foCollapseClick = 2,
    foHideHelpClick = 4,
    foCaptionBarClick = 8
};
using TMVFrameOptions = uint8_t;

// The captioned panel around the catalog lists and the details area: a caption bar with a
// gradient, a help line at the bottom, and in the expanded state a glyph that collapses the
// panel to its 20-pixel caption bar. Children go into the client area: the panel keeps its
// contents margins on it, so a layout set on the panel places them there.
class TMVFrame final : public QWidget
{
    Q_OBJECT

public:
    enum TZone
    {
        zoneNone = 0,
        zoneCollapse = 1,
        zoneExpand = 2,
        zoneHideHelp = 3
    };

    explicit TMVFrame(QWidget* parent = nullptr);
    ~TMVFrame() override;

    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    bool ShowCaptionBar() const { return m_showCaptionBar; }
    void SetShowCaptionBar(bool show);
    bool ShowCaptionShadow() const { return m_showCaptionShadow; }
    void SetShowCaptionShadow(bool show);
    bool ShowGlyph() const { return m_showGlyph; }
    void SetShowGlyph(bool show);
    bool ShowHelpArea() const { return m_showHelpArea; }
    void SetShowHelpArea(bool show);
    const QString& HelpText() const { return m_helpText; }
    void SetHelpText(const QString& text);
    bool HelpTextWrap() const { return m_helpTextWrap; }
    void SetHelpTextWrap(bool wrap);
    TMVFrameState FrameState() const { return m_frameState; }
    void SetFrameState(TMVFrameState state);
    const QImage& UserGlyph() const { return m_userGlyph; }
    void SetUserGlyph(const QImage& glyph);
    TMVFrameOptions Options() const { return m_options; }
    void SetOptions(TMVFrameOptions options) { m_options = options; }
    bool BottomBackground() const { return m_bottomBackground; }
    void SetBottomBackground(bool show);
    int BottomSpace() const { return m_bottomSpace; }
    void SetBottomSpace(int space);

    int HelpAreaHeight() const { return m_helpAreaHeight; }
    // Where the children go; empty while collapsed.
    QRect ClientRect() const;
    // A click zone as the last paint left it (empty when not visible).
    QRect ZoneRect(TZone zone) const;

    QSize sizeHint() const override { return {300, 200}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct HotZone
    {
        bool Visible = false;
        QRect Bounds;
    };

    void Relayout();
    void RecomputeHelpAreaHeight();
    void HideZones();
    TZone VisibleZoneAt(QPoint point) const;
    void PaintCollapsed(QPainter& painter);
    void PaintOpen(QPainter& painter);
    void PaintCaption(QPainter& painter, QRect bar, const QImage& glyph, TZone zone, bool zoneActive);
    void PaintHelpArea(QPainter& painter, QRect box);

    QString m_caption;
    bool m_showCaptionBar = true;
    bool m_showCaptionShadow = true;
    bool m_showGlyph = true;
    bool m_showHelpArea = true;
    QString m_helpText;
    bool m_helpTextWrap = false;
    TMVFrameState m_frameState = fsNormal;
    QImage m_userGlyph;
    TMVFrameOptions m_options = foExpandClick | foCollapseClick | foHideHelpClick;
    bool m_bottomBackground = false;
    int m_bottomSpace = 0;

    QImage m_glyphOpen;
    QImage m_glyphClose;
    QImage m_glyphHide;
    QImage m_glyphHelp;
    int m_helpAreaHeight = PanelGeometry::kHelpAreaHeight;
    int m_savedHeight = 0;
    int m_savedMinimumHeight = 0;
    int m_savedMaximumHeight = QWIDGETSIZE_MAX;
    // Children that were showing when the panel collapsed, shown again when it opens.
    std::vector<QPointer<QWidget>> m_hiddenChildren;
    // By TZone; zoneNone's entry stays invisible.
    std::array<HotZone, 4> m_zones;
    TZone m_pressedZone = zoneNone;
};
