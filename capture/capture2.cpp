#include "capture2.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>

#include "DottedOutline.h"
#include "QtPictureConversion.h"
#include "Screen.h"

namespace varnoset {

TForm2::TForm2(Screen& screen)
    : QWidget(nullptr,
              Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint),
      screen_(screen),
      band_([this](QPoint anchor, QPoint current) { drawOutline(anchor, current); }) {
    // The still picture is painted whole on every update: no background of its own.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::CrossCursor);
    setWindowModality(Qt::ApplicationModal);
    placeOverScreen();
    const QSize size = screen_.size();
    surface_ =
        toQImage(screen_.grab(QRect(QPoint(0, 0), size))).convertToFormat(QImage::Format_RGB32);
}

TForm2::~TForm2() = default;

void TForm2::placeOverScreen() {
    setGeometry(QRect(QPoint(0, 0), screen_.size()));
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

std::optional<CaptureRect> TForm2::selectRectangle(Screen& screen) {
    TForm2 overlay(screen);
    if (overlay.showModal() != kResultOk) {
        return std::nullopt;
    }
    return overlay.band().selectedRect();
}

void TForm2::showEvent(QShowEvent* event) {
    placeOverScreen();
    QWidget::showEvent(event);
}

void TForm2::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawImage(area, surface_, area);
}

void TForm2::mousePressEvent(QMouseEvent* event) {
    band_.press(event->button(), event->position().toPoint());
}

void TForm2::mouseMoveEvent(QMouseEvent* event) {
    band_.move(event->buttons(), event->modifiers(), event->position().toPoint());
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
    update(drawDottedOutline(surface_, anchor, current));
}

void TForm2::endModal(int result) {
    if (modalLoop_ == nullptr || modalResult_ != 0) {
        return;
    }
    modalResult_ = result;
    modalLoop_->quit();
}

}  // namespace varnoset
