#include "TileText.h"

#include <QPainter>
#include <QTextLayout>

namespace TileText {

namespace {

constexpr int kBlockLines = 2;

QString Elided(const QFontMetrics& metrics, const QString& text, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    return metrics.elidedText(text, Qt::ElideRight, width);
}

QStaticText Prepared(const QString& text, const QFont& font)
{
    QStaticText prepared(text);
    prepared.setTextFormat(Qt::PlainText);
    prepared.setPerformanceHint(QStaticText::AggressiveCaching);
    prepared.prepare(QTransform(), font);
    return prepared;
}

} // namespace

const TFittedLine& FitLine(TFittedLine& memo, const QString& text, const QFont& font,
                           const QFontMetrics& metrics, int width)
{
    if (memo.Width != width || memo.Source != text) {
        memo.Source = text;
        memo.Width = width;
        memo.Shown = width > 0 ? Elided(metrics, text, width) : QString();
        memo.Static = Prepared(memo.Shown, font);
    }
    return memo;
}

const TFittedBlock& FitBlock(TFittedBlock& memo, const QString& text, const QFont& font, int width)
{
    if (memo.Width == width && memo.Source == text)
        return memo;
    memo.Source = text;
    memo.Width = width;
    memo.Lines.clear();
    memo.Static.clear();
    const QFontMetrics metrics(font);
    memo.OneLine = metrics.horizontalAdvance(text) < width;
    if (memo.OneLine || width <= 0) {
        memo.Lines << (width > 0 ? Elided(metrics, text, width) : QString());
        memo.Static.push_back(Prepared(memo.Lines.back(), font));
        return memo;
    }

    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    std::vector<std::pair<int, int>> lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines.emplace_back(line.textStart(), line.textLength());
        if (int(lines.size()) > kBlockLines)
            break;
    }
    layout.endLayout();

    for (int i = 0; i < int(lines.size()) && i < kBlockLines; ++i) {
        const bool last = i == kBlockLines - 1 && int(lines.size()) > kBlockLines;
        // The last line that shows sums up everything after it in its ellipsis.
        const QString lineText = last ? text.mid(lines[size_t(i)].first).simplified()
                                      : text.mid(lines[size_t(i)].first, lines[size_t(i)].second).trimmed();
        memo.Lines << Elided(metrics, lineText, width);
        memo.Static.push_back(Prepared(memo.Lines.back(), font));
    }
    return memo;
}

void DrawLine(QPainter& painter, const QFontMetrics& metrics, const QRect& rect, const QStaticText& shown,
              bool centred)
{
    if (shown.text().isEmpty())
        return;
    const int top = centred ? rect.y() + (rect.height() - metrics.height()) / 2 : rect.y();
    painter.drawStaticText(QPoint(rect.x(), top), shown);
}

} // namespace TileText
