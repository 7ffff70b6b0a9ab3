#pragma once

#include "pictures/Colors.h"

#include <QFont>
#include <QWidget>

// An application's title, its short description under it and the long description word-
// wrapped in the rest of the control, each ending in an ellipsis when it does not fit.
// "&" marks are hidden in all three. The background is left to the parent.
class TMVProductDescriptions final : public QWidget
{
    Q_OBJECT

public:
    static constexpr TColor kTitleColor = 0x329740;

    explicit TMVProductDescriptions(QWidget* parent = nullptr);
    ~TMVProductDescriptions() override;

    const QString& Title() const { return m_title; }
    void SetTitle(const QString& title);
    const QString& DescriptionShort() const { return m_descriptionShort; }
    void SetDescriptionShort(const QString& text);
    const QString& DescriptionLong() const { return m_descriptionLong; }
    void SetDescriptionLong(const QString& text);

    // The title's and the short description's fonts follow the widget's font (12 and 10
    // points, bold) until the owner sets them.
    const QFont& TitleFont() const { return m_titleFont; }
    void SetTitleFont(const QFont& font);
    TColor TitleColor() const { return m_titleColor; }
    void SetTitleColor(TColor color);
    const QFont& DescriptionShortFont() const { return m_shortFont; }
    void SetDescriptionShortFont(const QFont& font);
    TColor DescriptionShortColor() const { return m_shortColor; }
    void SetDescriptionShortColor(TColor color);
    // The long description's colour (its font is the widget's).
    TColor FontColor() const { return m_fontColor; }
    void SetFontColor(TColor color);

    // Where each text went in the last paint (the long one's whole area).
    QRect TitleRect() const;
    QRect DescriptionShortRect() const;
    QRect DescriptionLongRect() const;

    QSize sizeHint() const override { return {360, 136}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void DeriveFonts();

    QString m_title;
    QString m_descriptionShort;
    QString m_descriptionLong;
    QFont m_titleFont;
    QFont m_shortFont;
    bool m_titleFontSet = false;
    bool m_shortFontSet = false;
    TColor m_titleColor = kTitleColor;
    TColor m_shortColor = clBlack;
    TColor m_fontColor = clWindowText;
};
