#pragma once

#include "pictures/ColorNames.h"

#include <QImage>
#include <QWidget>

#include <cstdint>

enum TBottomBorder : uint8_t
{
    bbEtched,
    bbShadowed,
    bbSolid
};

enum TImageAlignment : uint8_t
{
    iaLeft,
    iaRight
};

// The white band with a picture at the top of every dialog. Children (the dialog's heading
// label) are kept off the bottom edge and off the picture's side.
class TDialogHeader final : public QWidget
{
    Q_OBJECT

public:
    explicit TDialogHeader(QWidget* parent = nullptr);

    const QImage& Image() const { return m_image; }
    void SetImage(const QImage& image);
    int ImageOffset() const { return m_imageOffset; }
    void SetImageOffset(int offset);
    TBottomBorder BottomBorder() const { return m_bottomBorder; }
    void SetBottomBorder(TBottomBorder border);
    TImageAlignment ImageAlignment() const { return m_imageAlignment; }
    void SetImageAlignment(TImageAlignment alignment);
    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    QSize sizeHint() const override { return {200, 56}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Relayout();

    QImage m_image;
    int m_imageOffset = 14;
    TBottomBorder m_bottomBorder = bbEtched;
    TImageAlignment m_imageAlignment = iaRight;
    TColor m_color = 0xFFFFFF;
};
