#include "app/ColorSwatch.h"

#include <QPainter>

namespace varnoset {

void ColorSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    // The one-dot box of the form's frame; a second, inner line in the focus colour while the
    // keyboard is on it.
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        painter.setPen(palette().color(QPalette::Highlight));
        painter.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

}  // namespace varnoset
