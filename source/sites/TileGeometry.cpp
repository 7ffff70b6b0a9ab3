#include "TileGeometry.h"
#include "pictures/RectEdges.h"

#include <cstdlib>

using namespace Qt::Literals::StringLiterals;

namespace TileGeometry {

namespace {

using RectEdges::Bottom;
using RectEdges::FromEdges;
using RectEdges::Right;

} // namespace

TTileLayout Layout(QSize size, const TTileContent& content)
{
    TTileLayout layout;
    layout.Card = QRect(0, 0, size.width() - 2, size.height() - 2);
    const QRect r = layout.Card.adjusted(1, 1, -1, -1);
    layout.Inner = r;
    const QRect h = FromEdges(r.x(), r.y(), Right(r), r.y() + kHeaderHeight);
    layout.Header = h;
    layout.ButtonPos = QPoint(Right(h) - 22, h.y() + 7);
    layout.ButtonZone = FromEdges(Right(h) - 22, h.y() + 6, Right(h) - 5, h.y() + 22);
    layout.ThumbnailPos = QPoint(r.x() + 3, r.y() + 3);
    layout.ShortcutPos = QPoint(r.x(), Bottom(r) - content.ShortcutHeight);

    const int x = content.HasThumbnail ? kThumbnailColumn : 0;
    const int buttonRoom = content.ButtonShows ? 25 : 0;
    QRect title = FromEdges(r.x() + x + 5, r.y(), Right(r) - 1 - buttonRoom, r.y() + kHeaderHeight);
    layout.IconPos = QPoint(title.x(), title.y() + (title.height() - kIconSize) / 2);
    if (content.HasIcon)
        title = FromEdges(r.x() + x + 25, r.y(), Right(r) - 1 - buttonRoom, r.y() + kHeaderHeight - 1);
    layout.Title = title;
    layout.Address = FromEdges(r.x() + x + 5, Bottom(title) + 8, Right(r), Bottom(title) + 24);
    layout.Description = FromEdges(r.x() + x + 5, Bottom(layout.Address), Right(r) - 2, Bottom(r) - 2);
    return layout;
}

QString AddressText(const QString& url, qsizetype extraTabs)
{
    if (extraTabs <= 0)
        return url;
    return u"("_s + QString::number(extraTabs + 1) + u") "_s + url;
}

bool DragThresholdReached(QPoint from, QPoint to)
{
    return std::abs(to.x() - from.x()) >= kDragThreshold || std::abs(to.y() - from.y()) >= kDragThreshold;
}

} // namespace TileGeometry
