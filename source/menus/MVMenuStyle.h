#pragma once

#include <QProxyStyle>

class TMVMenuDrawing;

// Hands the measuring and drawing of menu items to a menu's TMVMenuDrawing, whichever Qt menu
// widget shows them (the menu itself or one of its sub-menus), and takes away the frame and
// margins Qt would put around them.
class TMVMenuStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    TMVMenuStyle(TMVMenuDrawing& drawing, bool menuBar);

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;

private:
    TMVMenuDrawing& m_drawing;
    // Whether the menu bar of the main menu is drawn too.
    bool m_menuBar;
};
