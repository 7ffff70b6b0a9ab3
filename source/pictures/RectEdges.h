#pragma once

#include <QRect>

// Rectangles by their edges, as the drawing code measures them: the right and bottom edges
// lie just past the last pixel (QRect's own right() and bottom() are one less).
namespace RectEdges {

inline QRect FromEdges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

inline int Right(const QRect& rect)
{
    return rect.x() + rect.width();
}

inline int Bottom(const QRect& rect)
{
    return rect.y() + rect.height();
}

} // namespace RectEdges
