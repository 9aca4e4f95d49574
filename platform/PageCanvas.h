#pragma once

class QImage;
class QPoint;
class QRect;
class QString;

namespace varnoset {

// A page being drawn, in page coordinates: printer pixels whose origin is the printable area's
// top-left corner. The printed page and its preview are drawn through the same canvas.
class PageCanvas {
public:
    virtual ~PageCanvas() = default;

    // Scales the whole image into the target rectangle.
    virtual void drawPicture(const QImage& image, const QRect& target) = 0;
    // Draws a line of text whose top-left corner is at the point.
    virtual void drawText(const QPoint& topLeft, const QString& text) = 0;
};

}  // namespace varnoset
