#pragma once

#include <QComboBox>

#include <functional>

class QPainter;

// A drop-down list whose rows the owner draws by hand, in the list and in the box itself:
// fixed rows of 18 pixels; the selected row (and the box while it has the focus) gets the
// program's selection colour and white text.
class OwnerDrawnComboBox final : public QComboBox
{
    Q_OBJECT

public:
    static constexpr int kRowHeight = 18;

    // Draws entry index into rect; the background is already filled.
    using DrawItem = std::function<void(QPainter& painter, const QRect& rect, int index, bool selected)>;

    explicit OwnerDrawnComboBox(QWidget* parent = nullptr);

    void SetDrawItem(DrawItem draw) { m_drawItem = std::move(draw); }

    // Fills the row and draws the entry: background, then the owner's drawing (or the text
    // 4 pixels in when the owner draws nothing).
    void PaintItem(QPainter& painter, const QRect& rect, int index, bool selected) const;

    // The colour of an entry's text in this box.
    QColor TextColor(bool selected) const;
    // One line of text from textLeft to the right edge, vertically centred, cut with an
    // ellipsis.
    void DrawText(QPainter& painter, const QRect& rect, int textLeft, const QString& text,
                  bool selected) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    DrawItem m_drawItem;
};
