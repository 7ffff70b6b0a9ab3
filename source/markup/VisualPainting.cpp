#include "VisualPainting.h"

#include "MnemonicText.h"

#include <cmath>

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>

namespace VisualPainting {

void Rectangle(QPainter& painter, const QRect& rect, const QColor& outline, const QColor& fill)
{
    if (rect.isEmpty())
        return;
    if (fill.alpha() > 0)
        painter.fillRect(rect, fill);
    if (outline.alpha() == 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(outline, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void Line(QPainter& painter, QPoint from, QPoint to, const QColor& color)
{
    QRect span;
    if (from.y() == to.y())
        span = QRect(QPoint(std::min(from.x(), to.x()), from.y()), QSize(std::abs(to.x() - from.x()), 1));
    else
        span = QRect(QPoint(from.x(), std::min(from.y(), to.y())), QSize(1, std::abs(to.y() - from.y())));
    // The end point is left out whichever way the line runs.
    if (to.x() < from.x())
        span.translate(1, 0);
    if (to.y() < from.y())
        span.translate(0, 1);
    if (!span.isEmpty())
        painter.fillRect(span, color);
}

QFont FontWithStyle(QFont font, TFontStyles style)
{
    font.setBold(style & fsBold);
    font.setItalic(style & fsItalic);
    font.setUnderline(style & fsUnderline);
    font.setStrikeOut(style & fsStrikeOut);
    return font;
}

TFontStyles StyleOfFont(const QFont& font)
{
    TFontStyles style = 0;
    if (font.bold())
        style |= fsBold;
    if (font.italic())
        style |= fsItalic;
    if (font.underline())
        style |= fsUnderline;
    if (font.strikeOut())
        style |= fsStrikeOut;
    return style;
}

void TextLine(QPainter& painter, const QRect& rect, const QString& text, int flags)
{
    if (rect.width() <= 0 || rect.height() <= 0 || text.isEmpty())
        return;
    int alignment = Qt::AlignVCenter | Qt::TextSingleLine;
    alignment |= (flags & tlCenter) ? Qt::AlignHCenter : (flags & tlRight) ? Qt::AlignRight : Qt::AlignLeft;
    const QFontMetrics metrics(painter.font());
    QString shown = text;
    if (flags & tlHideMnemonic) {
        shown = MnemonicText::HideMnemonics(text);
    } else if (flags & tlShowMnemonic) {
        alignment |= Qt::TextShowMnemonic;
    }
    if ((flags & tlEllipsis) &&
        metrics.horizontalAdvance(MnemonicText::HideMnemonics(shown)) > rect.width()) {
        // Eliding works on the text as it shows; the underline of a mnemonic goes with it.
        shown = metrics.elidedText(MnemonicText::HideMnemonics(shown), Qt::ElideRight, rect.width());
        alignment &= ~Qt::TextShowMnemonic;
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawText(rect, alignment, shown);
    painter.restore();
}

namespace {

// Lays the shown text out in lines of the width; returns the total height.
qreal LayOutLines(QTextLayout& layout, int width)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(width, 1));
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return y;
}

} // namespace

void WrappedText(QPainter& painter, const QRect& rect, const QString& text, int flags)
{
    if (rect.width() <= 0 || rect.height() <= 0 || text.isEmpty())
        return;
    qsizetype mnemonic = -1;
    const QString shown = MnemonicText::HideMnemonics(text, mnemonic);
    QTextLayout layout(shown, painter.font(), painter.device());
    if ((flags & wrShowMnemonic) && mnemonic >= 0) {
        QTextLayout::FormatRange underline;
        underline.start = int(mnemonic);
        underline.length = 1;
        underline.format.setFontUnderline(true);
        layout.setFormats({underline});
    }
    LayOutLines(layout, rect.width());

    const QFontMetrics metrics(painter.font(), painter.device());
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const bool lastThatFits = i + 1 < layout.lineCount() &&
                                  layout.lineAt(i + 1).rect().bottom() > rect.height() &&
                                  line.rect().bottom() <= rect.height();
        const QString lineText = shown.mid(line.textStart(), line.textLength());
        const QPointF origin = rect.topLeft() + line.position();
        if ((flags & wrEndEllipsis) && lastThatFits) {
            // Everything that follows is summed up by the ellipsis of this line.
            const QString rest = shown.mid(line.textStart()).simplified();
            painter.drawText(QRectF(origin, QSizeF(rect.width(), line.height())),
                             Qt::AlignLeft | Qt::AlignTop,
                             metrics.elidedText(rest, Qt::ElideRight, rect.width()));
            break;
        }
        if ((flags & wrWordEllipsis) && line.naturalTextWidth() > rect.width()) {
            painter.drawText(QRectF(origin, QSizeF(rect.width(), line.height())),
                             Qt::AlignLeft | Qt::AlignTop,
                             metrics.elidedText(lineText.trimmed(), Qt::ElideRight, rect.width()));
            continue;
        }
        line.draw(&painter, rect.topLeft());
        if (line.rect().bottom() > rect.height())
            break;
    }
    painter.restore();
}

int WrappedTextHeight(const QFont& font, int width, const QString& text)
{
    if (text.isEmpty())
        return QFontMetrics(font).height();
    QTextLayout layout(MnemonicText::HideMnemonics(text), font);
    return int(std::ceil(LayOutLines(layout, width)));
}

int TextLineWidth(const QFont& font, const QString& text)
{
    return QFontMetrics(font).horizontalAdvance(MnemonicText::HideMnemonics(text));
}

} // namespace VisualPainting
