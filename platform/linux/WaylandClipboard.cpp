#include "platform/linux/WaylandClipboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QTimer>

#include "imaging/PixelConversion.h"

namespace varnoset {

WaylandClipboard::WaylandClipboard() {
    QCoreApplication::instance()->installEventFilter(this);
}

WaylandClipboard::~WaylandClipboard() = default;

void WaylandClipboard::setPicture(const Picture& picture) {
    qt_.setPicture(picture);
    kept_ = picture;
    offered_ = picture.isEmpty() ? nullptr : QGuiApplication::clipboard()->mimeData();
    offerAfterInput_ = offered_ != nullptr;
}

bool WaylandClipboard::ownsKeptPicture() const {
    // Another program's selection replaces Qt's data, and with it this pointer.
    return offered_ != nullptr && QGuiApplication::clipboard()->mimeData() == offered_;
}

bool WaylandClipboard::hasPicture() const {
    return ownsKeptPicture() || qt_.hasPicture();
}

Picture WaylandClipboard::picture() const {
    if (!ownsKeptPicture()) {
        return qt_.picture();
    }
    Picture copy = kept_;
    convertPixelFormat(copy, PixelFormat::Device);
    return copy;
}

bool WaylandClipboard::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (offerAfterInput_ && (type == QEvent::KeyPress || type == QEvent::MouseButtonPress)) {
        offerAfterInput_ = false;
        // After the event has been handled, so that a paste or copy it starts comes first.
        QTimer::singleShot(0, this, [this] {
            if (ownsKeptPicture()) {
                setPicture(Picture(kept_));
                offerAfterInput_ = false;
            }
        });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace varnoset
