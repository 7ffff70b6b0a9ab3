#pragma once

#include "TMVCaptionControl.h"

#include <QFont>

#include <functional>

// A caption and its value on one line of the details panel ("Category", "Price"). The value
// sits flush right when it fits after the caption, else it starts 8 pixels after the caption
// and ends in an ellipsis. As a link (IsUrl) the value is underlined in the link colour and
// clicking it raises OnUrlClick.
class TMVPropertyText final : public TMVCaptionControl
{
    Q_OBJECT

public:
    static constexpr TColor kLinkColor = 0xF06048;

    explicit TMVPropertyText(QWidget* parent = nullptr);
    ~TMVPropertyText() override;

    const QString& Text() const { return m_text; }
    void SetText(const QString& text);

    // The value's font: the widget's font two points larger until the owner sets one (it then
    // no longer follows the widget's font).
    const QFont& TextFont() const { return m_textFont; }
    void SetTextFont(const QFont& font);
    TColor TextColor() const { return m_textColor; }
    void SetTextColor(TColor color);

    // True underlines the value's font and gives it the link colour; false takes the underline
    // away and gives it the caption's colour again.
    bool IsUrl() const { return m_isUrl; }
    void SetIsUrl(bool isUrl);

    // Kept for the owner; the control does not use it.
    const QString& URL() const { return m_url; }
    void SetURL(const QString& url) { m_url = url; }

    // Where the value was drawn last while it is a link; empty otherwise.
    QRect UrlZone() const { return m_isUrl ? m_urlZone : QRect(); }

    std::function<void(TMVPropertyText& sender)> OnUrlClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool InZone(QPoint point) const;

    QString m_text;
    QFont m_textFont;
    bool m_textFontSet = false;
    TColor m_textColor = clWindowText;
    bool m_isUrl = false;
    QString m_url;
    QRect m_urlZone;
    bool m_pressed = false;
};
