#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

namespace varnoset {

// Draws the outline of the rectangle with corners a and b (both included) onto a 32-bit image
// with a dotted 1-pixel pen in NOT-XOR mode with black: every other pixel along the outline is
// inverted, each pixel at most once, so drawing the same outline again restores the image.
// Pixels outside the image are skipped. Returns the rectangle that may have changed.
QRect drawDottedOutline(QImage& image, QPoint a, QPoint b);

}  // namespace varnoset
