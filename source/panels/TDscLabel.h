#pragma once

#include "pictures/Colors.h"

#include <QWidget>

// A framed, word-wrapping block of text (the version dialog's notes).
class TDscLabel final : public QWidget
{
    Q_OBJECT

public:
    explicit TDscLabel(QWidget* parent = nullptr);

    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    int BorderSpace() const { return m_borderSpace; }
    void SetBorderSpace(int space);
    // The desktop style's frame instead of the plain one-pixel outline.
    bool UseXPStyles() const { return m_useXPStyles; }
    void SetUseXPStyles(bool use);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    QSize sizeHint() const override { return {200, 100}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    int m_borderSpace = 2;
    bool m_useXPStyles = true;
    TColor m_color = clWindow;
};
