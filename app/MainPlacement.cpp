// The main window's size and place: the form's scale, its laid-out size, its outer corner.
#include <QLayout>
#include <QScreen>
#include <QWindow>
#include <numeric>

#include "app/FormLayout.h"
#include "app/Main.h"

namespace varnoset {

QSize TVarnosetMain::laidOutSize() {
    if (!laidOut_) {
        laidOut_ = true;
        formLayout_->apply(double(scaleNum_) / scaleDen_);
    }
    ensurePolished();
    layout()->activate();
    return frameGeometry().size();
}

void TVarnosetMain::Resize1Click() {
    if (Resize1->isChecked()) {
        ScaleBy(128, 100);
    } else {
        ScaleBy(100, 128);
    }
}

// Every layout starts from the design, so enlarging and shrinking again gives back the same form.
void TVarnosetMain::ScaleBy(int m, int n) {
    const QPoint topLeft = frameCorner();
    scaleNum_ *= m;
    scaleDen_ *= n;
    const int common = std::gcd(scaleNum_, scaleDen_);
    scaleNum_ /= common;
    scaleDen_ /= common;
    if (laidOut_) {  // else laid out at this scale when first needed
        formLayout_->apply(double(scaleNum_) / scaleDen_);
    }
    placeFrameCorner(topLeft);
}

QPoint TVarnosetMain::frameCorner() const {
    if (pendingCorner_) {
        return *pendingCorner_;
    }
    // The window handle knows a move at once; pos() follows once the event loop has run.
    return windowHandle() != nullptr ? windowHandle()->framePosition() : pos();
}

void TVarnosetMain::placeFrameCorner(QPoint corner) {
    if (!shownBefore_) {
        // Kept until the first show: placing makes the window handle and lays the window out,
        // which loads the fonts. Its monitor is known at once (messages centre on it).
        if (QScreen* monitor = QGuiApplication::screenAt(corner)) {
            setScreen(monitor);
        }
        pendingCorner_ = corner;
        return;
    }
    moveFrameCorner(corner);
}

// Before the first show the window manager's frame is not known, and move() alone would put the
// client area's corner there: every start would shift the window by the frame's left edge and
// title bar. The window handle asks the window manager for the frame's corner instead. The size
// must be final first, as a later resize makes Qt place the client area again.
void TVarnosetMain::moveFrameCorner(QPoint corner) {
    // Qt reads a position from the corner of the window's own monitor, at that monitor's scale:
    // the window goes to the monitor of the position first.
    if (QScreen* monitor = QGuiApplication::screenAt(corner)) {
        setScreen(monitor);
    }
    move(corner);
    ensurePolished();
    layout()->activate();
    winId();  // makes the window handle
    windowHandle()->setFramePosition(corner);
}

}  // namespace varnoset
