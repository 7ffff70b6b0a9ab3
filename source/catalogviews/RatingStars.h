#pragma once

#include <QRect>

class QPainter;

// Draws the five rating stars of a rating from 0 to 5 into rect: the first star 8 pixels in
// from the left, each next one right after the previous, centred vertically.
void DrawRatingStars(QPainter& canvas, const QRect& rect, float rating);
