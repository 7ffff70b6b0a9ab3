#pragma once

#include "PanelGeometry.h"
#include "pictures/Colors.h"

#include <QWidget>

#include <functional>

// The four corners of a TSpecialFrame; each setter raises OnChange.
class TFrameCorners final
{
public:
    TCornerStyle TopLeft() const { return m_topLeft; }
    TCornerStyle TopRight() const { return m_topRight; }
    TCornerStyle BottomLeft() const { return m_bottomLeft; }
    TCornerStyle BottomRight() const { return m_bottomRight; }
    void SetTopLeft(TCornerStyle style) { Set(m_topLeft, style); }
    void SetTopRight(TCornerStyle style) { Set(m_topRight, style); }
    void SetBottomLeft(TCornerStyle style) { Set(m_bottomLeft, style); }
    void SetBottomRight(TCornerStyle style) { Set(m_bottomRight, style); }

    std::function<void(TFrameCorners&)> OnChange;

private:
    void Set(TCornerStyle& corner, TCornerStyle style);

    TCornerStyle m_topLeft = csRect;
    TCornerStyle m_topRight = csRect;
    TCornerStyle m_bottomLeft = csRect;
    TCornerStyle m_bottomRight = csRect;
};

// A filled panel with a frame, optionally cut corners, or the look of a tab page (status
// bar, notification window, dialog bodies).
class TSpecialFrame final : public QWidget
{
    Q_OBJECT

public:
    explicit TSpecialFrame(QWidget* parent = nullptr);

    TColor FillColor() const { return m_fillColor; }
    void SetFillColor(TColor color);
    TColor FrameColor() const { return m_frameColor; }
    void SetFrameColor(TColor color);
    // The colour around the cut corners (and of a tab page's content).
    TColor Color() const { return m_color; }
    void SetColor(TColor color);
    bool TabStyle() const { return m_tabStyle; }
    void SetTabStyle(bool tabStyle);
    TFrameCorners& Corners() { return m_corners; }

    QSize sizeHint() const override { return {200, 100}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor m_fillColor = clWindow;
    TColor m_frameColor = clBtnShadow;
    TColor m_color = clBtnFace;
    bool m_tabStyle = false;
    TFrameCorners m_corners;
};
