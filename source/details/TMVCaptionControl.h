#pragma once

#include "pictures/Colors.h"

#include <QWidget>

// Base of the details panel's one-line controls (property text, rating, browser display): a
// caption at the left, something of the control's own at the right, 17 pixels high and 156
// wide unless the owner sizes it. The background is left to the parent.
class TMVCaptionControl : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kHeight = 17;
    static constexpr int kDefaultWidth = 156;

    explicit TMVCaptionControl(QWidget* parent = nullptr);
    ~TMVCaptionControl() override;

    // "&" marks a mnemonic: the character after it is underlined.
    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& caption);

    // The colour of the caption (and of whatever else the control draws in its font).
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color);

    QSize sizeHint() const override { return {kDefaultWidth, kHeight}; }

protected:
    // Draws the caption in the widget's font at the left of the client rectangle and returns
    // where it went (as wide as the text, from its centred top to the bottom).
    QRect PaintCaption(QPainter& painter) const;

private:
    QString m_caption;
    TColor m_fontColor = clWindowText;
};
