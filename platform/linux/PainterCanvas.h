#pragma once

#include "platform/PageCanvas.h"

class QPainter;

namespace varnoset {

// A page canvas over a painter that is open on a printer, or on the print preview's stand-in for
// it: the printed page and its preview are drawn by this one piece of code.
class PainterCanvas final : public PageCanvas {
public:
    explicit PainterCanvas(QPainter& painter) : painter_(painter) {}

    void drawPicture(const QImage& image, const QRect& target) override;
    void drawText(const QPoint& topLeft, const QString& text) override;

private:
    QPainter& painter_;
};

}  // namespace varnoset
