#include "platform/linux/PainterCanvas.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

namespace varnoset {

void PainterCanvas::drawPicture(const QImage& image, const QRect& target) {
    if (target.isEmpty() || image.isNull()) {
        return;
    }
    // The painter scales the whole image into the rectangle; the PDF carries the picture at its
    // own size.
    painter_.drawImage(target, image);
}

void PainterCanvas::drawText(const QPoint& topLeft, const QString& text) {
    // QPainter places text on its baseline; the top of the line lies one ascent above it, in the
    // device's own resolution.
    const QFontMetricsF metrics(painter_.font(), painter_.device());
    painter_.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
}

}  // namespace varnoset
