#include "capture/RectangleOverlay.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "capture/DottedOutline.h"
#include "imaging/QtPictureConversion.h"
#include "platform/Screen.h"

namespace varnoset {

namespace {

// The monitor at the X screen's corner: the overlay starts there, so Qt maps its coordinates from
// that corner with that monitor's scale.
QScreen* originScreen() {
    QScreen* screen = QGuiApplication::screenAt(QPoint(0, 0));
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

double scaleOf(const QScreen* screen) {
    return screen != nullptr ? screen->devicePixelRatio() : 1.0;
}

}  // namespace

TForm2::TForm2(Screen& screen)
    : QWidget(nullptr,
              Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint),
      screen_(screen),
      pixels_(QPoint(0, 0), scaleOf(originScreen())),
      band_([this](QPoint anchor, QPoint current) { drawOutline(anchor, current); }) {
    // The still picture is painted whole on every update: no background of its own.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::CrossCursor);
    setAccessibleName(QStringLiteral("Get Rectangular Area"));
    setAccessibleDescription(QStringLiteral("Drag a rectangle with the mouse"));
    setWindowModality(Qt::ApplicationModal);
    if (QScreen* origin = originScreen()) {
        setScreen(origin);
    }
    placeOverScreen();
    still_ = screen_.grab(QRect(QPoint(0, 0), screen_.size()));
    surface_ = toQImage(still_).convertToFormat(QImage::Format_RGB32);
    // Drawn at the scale's pixel ratio, every picture pixel lands on its own screen pixel.
    surface_.setDevicePixelRatio(pixels_.ratio());
}

TForm2::~TForm2() = default;

void TForm2::placeOverScreen() {
    setGeometry(QRect(QPoint(0, 0), pixels_.logicalCovering(screen_.size())));
}

int TForm2::showModal() {
    modalResult_ = 0;
    if (screen_.placesOwnWindows()) {
        show();
    } else {
        showFullScreen();  // where the compositor places windows, this covers the output
    }
    raise();
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    modalLoop_ = nullptr;
    hide();
    return modalResult_;
}

std::optional<StillSelection> TForm2::selectRectangle(Screen& screen) {
    TForm2 overlay(screen);
    if (overlay.showModal() != kResultOk) {
        return std::nullopt;
    }
    return StillSelection{overlay.band().selectedRect(), std::move(overlay.still_)};
}

void TForm2::showEvent(QShowEvent* event) {
    placeOverScreen();
    QWidget::showEvent(event);
}

void TForm2::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), surface_);
}

QPoint TForm2::screenPixel(const QMouseEvent* event) const {
    if (pixels_.ratio() == 1.0) {
        return pixels_.toPixels(event->position());
    }
    // Qt rounds the position to whole logical units; the display knows the exact pixel.
    return pixels_.eventPixel(event->position(), screen_.pointerPosition(event->timestamp()));
}

void TForm2::mousePressEvent(QMouseEvent* event) {
    band_.press(event->button(), screenPixel(event));
}

void TForm2::mouseMoveEvent(QMouseEvent* event) {
    band_.move(event->buttons(), event->modifiers(), screenPixel(event));
}

void TForm2::mouseReleaseEvent(QMouseEvent*) {
    band_.release();
    endModal(kResultOk);
}

void TForm2::closeEvent(QCloseEvent* event) {
    endModal(kResultCancel);
    event->accept();
}

void TForm2::drawOutline(QPoint anchor, QPoint current) {
    update(pixels_.logicalCovering(drawDottedOutline(surface_, anchor, current)));
}

void TForm2::endModal(int result) {
    if (modalLoop_ == nullptr || modalResult_ != 0) {
        return;
    }
    modalResult_ = result;
    modalLoop_->quit();
}

}  // namespace varnoset
