#include "OwnerDrawnComboBox.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStylePainter>
#include <QStyledItemDelegate>

namespace {

// The selection colour of the program's drop-down lists ($00C56A31).
const QColor kSelectedRow(0x31, 0x6A, 0xC5);

class RowDelegate final : public QStyledItemDelegate
{
public:
    explicit RowDelegate(OwnerDrawnComboBox* box) : QStyledItemDelegate(box), m_box(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & (QStyle::State_Selected | QStyle::State_HasFocus);
        painter->save();
        m_box->PaintItem(*painter, option.rect, index.row(), selected);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), OwnerDrawnComboBox::kRowHeight};
    }

private:
    OwnerDrawnComboBox* m_box;
};

} // namespace

OwnerDrawnComboBox::OwnerDrawnComboBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new RowDelegate(this));
    view()->setMouseTracking(true);
}

QColor OwnerDrawnComboBox::TextColor(bool selected) const
{
    if (!isEnabled())
        return palette().color(QPalette::Disabled, QPalette::Text);
    return selected ? QColor(Qt::white) : palette().color(QPalette::Active, QPalette::Text);
}

void OwnerDrawnComboBox::DrawText(QPainter& painter, const QRect& rect, int textLeft, const QString& text,
                                  bool selected) const
{
    const QRect textRect = rect.adjusted(textLeft, 0, 0, 0);
    painter.setFont(font());
    painter.setPen(TextColor(selected));
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, textRect.width());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
}

void OwnerDrawnComboBox::PaintItem(QPainter& painter, const QRect& rect, int index, bool selected) const
{
    const bool highlighted = selected && isEnabled();
    painter.fillRect(rect, highlighted ? kSelectedRow : palette().color(QPalette::Base));
    if (index < 0 || index >= count())
        return;
    if (m_drawItem)
        m_drawItem(painter, rect, index, highlighted);
    else
        DrawText(painter, rect, 4, itemText(index), highlighted);
}

void OwnerDrawnComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    const bool focused = hasFocus() && !view()->isVisible();
    PaintItem(painter, field, currentIndex(), focused);
}
