#include "DetailText.h"

#include "markup/MnemonicText.h"

#include <QFontMetrics>
#include <QPainter>

namespace DetailText {

QSize LineSize(const QFont& font, const QString& text)
{
    const QFontMetrics metrics(font);
    return {metrics.horizontalAdvance(MnemonicText::HideMnemonics(text)), metrics.height()};
}

void DrawLine(QPainter& painter, const QRect& rect, const QString& text, int flags)
{
    if (rect.width() <= 0 || rect.height() <= 0 || text.isEmpty())
        return;
    int alignment = Qt::TextSingleLine | ((flags & AlignRight) ? Qt::AlignRight : Qt::AlignLeft) |
                    ((flags & VCenter) ? Qt::AlignVCenter : Qt::AlignTop);
    QString shown = text;
    if (flags & ShowMnemonic)
        alignment |= Qt::TextShowMnemonic;
    else if (flags & HideMnemonic)
        alignment |= Qt::TextHideMnemonic;
    if (flags & Ellipsis) {
        const QFontMetrics metrics(painter.font());
        const QString plain =
            (flags & (ShowMnemonic | HideMnemonic)) ? MnemonicText::HideMnemonics(text) : text;
        if (metrics.horizontalAdvance(plain) > rect.width()) {
            // Eliding works on the text as it shows; a mnemonic's underline goes with it.
            shown = metrics.elidedText(plain, Qt::ElideRight, rect.width());
            alignment &= ~(Qt::TextShowMnemonic | Qt::TextHideMnemonic);
        }
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawText(rect, alignment, shown);
    painter.restore();
}

} // namespace DetailText
