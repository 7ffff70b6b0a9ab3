#pragma once

#include "LabelProgressBarData.h"
#include "ProgressBarGeometry.h"

#include <QFont>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

enum TLPBAlignment : uint8_t
{
    alLeft,
    alRight,
    alCenter
};

enum TLPBInfoType : uint8_t
{
    infStatic,
    infElapsedTime,
    infTimeLeft
};

enum TLPBView : uint8_t
{
    viewText = 1,
    viewInfo = 2
};
using TLPBViewSet = uint8_t;

enum TLPBInfoMode : uint8_t
{
    infoText
};

enum TLPBBorder : uint8_t
{
    brLowered,
    brRaised,
    brFlat,
    brFlatRounded,
    brFlatBold,
    brFlatBoldRounded
};

// A progress bar drawn by the program: an optional text line, the bar, and an optional info
// line with a static text, the elapsed time or the time left. The bar fills smoothly or in
// segments with a vertical multi-band gradient, and has a busy mode in which a group of
// segments runs from left to right, one step per AnimationTick.
class TLabelProgressBar final : public QWidget
{
    Q_OBJECT

public:
    explicit TLabelProgressBar(QWidget* parent = nullptr);
    ~TLabelProgressBar() override;

    const QString& Text() const { return m_text; }
    void SetText(const QString& text);
    TLPBAlignment TextAlignment() const { return m_textAlignment; }
    void SetTextAlignment(TLPBAlignment alignment);
    const QFont& TextFont() const { return m_textFont; }
    void SetTextFont(const QFont& font);
    const QString& Info() const { return m_info; }
    void SetInfo(const QString& info);
    TLPBAlignment InfoAlignment() const { return m_infoAlignment; }
    void SetInfoAlignment(TLPBAlignment alignment);
    const QFont& InfoFont() const { return m_infoFont; }
    void SetInfoFont(const QFont& font);
    TLPBInfoType InfoType() const { return m_infoType; }
    void SetInfoType(TLPBInfoType type);
    TLPBViewSet ViewOptions() const { return m_viewOptions; }
    void SetViewOptions(TLPBViewSet options);
    TLPBInfoMode ModeInfo() const { return m_modeInfo; }
    void SetModeInfo(TLPBInfoMode mode) { m_modeInfo = mode; }

    int Min() const { return m_min; }
    void SetMin(int min);
    int Max() const { return m_max; }
    void SetMax(int max);
    int Position() const { return m_position; }
    // A value outside Min..Max is stored as Max. With a timed info line, Min starts the
    // timing and Max stops it.
    void SetPosition(int position);

    bool Smooth() const { return m_smooth; }
    void SetSmooth(bool smooth);
    uint8_t SegmentWidth() const { return m_segmentWidth; }
    void SetSegmentWidth(uint8_t width);
    uint8_t SegmentSpace() const { return m_segmentSpace; }
    void SetSegmentSpace(uint8_t space);
    bool SegmentShadow() const { return m_segmentShadow; }
    void SetSegmentShadow(bool shadow);
    const QImage& SegmentBitmap() const { return m_segmentBitmap; }
    void SetSegmentBitmap(const QImage& bitmap);
    const std::vector<GradientSection>& SegmentGradient() const { return m_sections; }
    // No sections: the default gradient around blue.
    void SetSegmentGradient(const std::vector<GradientSection>& sections);
    const std::vector<TGradientPressetRec>& GradientPressets() const { return m_pressets; }
    void SetGradientPressets(const std::vector<TGradientPressetRec>& pressets) { m_pressets = pressets; }

    TColor FillColor() const { return m_fillColor; }
    void SetFillColor(TColor color);
    const QImage& FillBitmap() const { return m_fillBitmap; }
    void SetFillBitmap(const QImage& bitmap);
    TLPBBorder Border() const { return m_border; }
    void SetBorder(TLPBBorder border);
    TColor FlatColor() const { return m_flatColor; }
    void SetFlatColor(TColor color);
    int FlatLightColorAdjustment() const { return m_flatLight; }
    void SetFlatLightColorAdjustment(int adjustment);
    int FlatDarkColorAdjustment() const { return m_flatDark; }
    void SetFlatDarkColorAdjustment(int adjustment);

    TLPBPercentMode PercentView() const { return m_percentView; }
    void SetPercentView(TLPBPercentMode view);
    TLPBPercentType PercentType() const { return m_percentType; }
    void SetPercentType(TLPBPercentType type);
    TColor PercentColor() const { return m_percentColor; }
    void SetPercentColor(TColor color);
    const QFont& PercentFont() const { return m_percentFont; }
    void SetPercentFont(const QFont& font);
    TLPBPercentBoundVisibilitySet PercentVisibility() const { return m_percentVisibility; }
    void SetPercentVisibility(TLPBPercentBoundVisibilitySet visibility);

    bool AnimationMode() const { return m_animationMode; }
    void SetAnimationMode(bool on);
    uint32_t AnimationDelay() const { return m_animationDelay; }
    void SetAnimationDelay(uint32_t milliseconds) { m_animationDelay = milliseconds; }
    // One busy step when more than AnimationDelay milliseconds passed since the last one.
    void AnimationTick();
    int AnimationStep() const { return m_animationStep; }

    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    int BarHeight() const { return m_barHeight; }
    void SetBarHeight(int height);
    int TextLineHeight() const { return m_textLineHeight; }
    int InfoLineHeight() const { return m_infoLineHeight; }
    // What the info line shows now.
    QString InfoLineText() const;

    TLPBStoredForm StoredForm() const;
    void LoadStoredForm(const TLPBStoredForm& form);

    // The clock of the animation and the timing, in milliseconds (a test seam).
    void SetClock(std::function<int64_t()> clock);

    QSize sizeHint() const override;

    std::function<void(TLabelProgressBar& sender)> OnDblClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int ShownHeight() const;
    void FitHeight();
    bool BoldBorder() const { return m_border == brFlatBold || m_border == brFlatBoldRounded; }
    QImage FillPattern(int innerHeight) const;
    void PaintLine(QPainter& painter, const QRect& line, const QString& text, const QFont& font,
                   TLPBAlignment alignment) const;
    void PaintBar(QPainter& painter, const QRect& bar);
    void PaintBorder(QPainter& painter, const QRect& rect) const;
    void PaintPercent(QImage& bar, const QRect& fillArea, int fillWidth) const;

    QString m_text;
    TLPBAlignment m_textAlignment = alLeft;
    QFont m_textFont;
    QString m_info;
    TLPBAlignment m_infoAlignment = alLeft;
    QFont m_infoFont;
    TLPBInfoType m_infoType = infStatic;
    TLPBViewSet m_viewOptions = viewText | viewInfo;
    TLPBInfoMode m_modeInfo = infoText;
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
    bool m_smooth = false;
    uint8_t m_segmentWidth = 12;
    uint8_t m_segmentSpace = 2;
    bool m_segmentShadow = false;
    QImage m_segmentBitmap;
    std::vector<GradientSection> m_sections;
    std::vector<TGradientPressetRec> m_pressets;
    TColor m_fillColor;
    QImage m_fillBitmap;
    TLPBBorder m_border = brLowered;
    TColor m_flatColor;
    int m_flatLight = 30;
    int m_flatDark = 50;
    TLPBPercentMode m_percentView = percentNone;
    TLPBPercentType m_percentType = showPercent;
    TColor m_percentColor;
    QFont m_percentFont;
    TLPBPercentBoundVisibilitySet m_percentVisibility = bvMinVisible | bvInside | bvMaxVisible;
    bool m_animationMode = false;
    uint32_t m_animationDelay = 200;
    int m_animationStep = -3;
    int64_t m_lastAnimationStep = 0;
    TColor m_color;

    int m_barHeight = 20;
    int m_textLineHeight = 0;
    int m_infoLineHeight = 0;
    std::function<int64_t()> m_clock;
    int64_t m_timingStart = 0;
    bool m_timing = false;
};
