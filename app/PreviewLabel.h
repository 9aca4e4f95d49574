#pragma once

#include <QLabel>
#include <QPixmap>

namespace varnoset {

// The preview `Image1`: a label that only ever shows a picture. Its size hints are the picture's
// own, so sizing it never measures text: QLabel's would load the fonts for an empty line, and the
// preview is sized while the window is made, long before anyone sees it.
class PreviewLabel : public QLabel {
public:
    using QLabel::QLabel;

    QSize sizeHint() const override { return pixmap().deviceIndependentSize().toSize(); }
    QSize minimumSizeHint() const override { return sizeHint(); }
};

}  // namespace varnoset
