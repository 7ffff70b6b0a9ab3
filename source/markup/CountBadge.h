#pragma once

#include <QColor>
#include <QIcon>
#include <QPoint>
#include <QRect>
#include <QString>

class QFont;
class QPainter;

// The round badge with a count that tiles and tray icons show for unread messages.
namespace CountBadge {

// The count, or "999+" above 999: a badge has room for four characters.
QString Text(int count);

// Where a badge for text in font goes with its right edge at right and its middle at
// middleY: as wide as the text plus its rounded ends, never narrower than it is high.
QRect Bounds(const QString& text, const QFont& font, int right, int middleY);

// Paints the badge into bounds: fill colour, white bold text.
void Paint(QPainter& painter, const QRect& bounds, const QString& text, const QFont& font,
           const QColor& fill);

// The icon with the count in its lower right corner (none for 0) and, when quiet, a small
// crossed-out bell in its upper left: what the tray shows.
QIcon OnIcon(const QIcon& icon, int count, bool quiet);

} // namespace CountBadge
