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
    const QMimeData* now = QGuiApplication::clipboard()->mimeData();
    if (now == nullptr || now != offered_) {
        before_ = now;
    }
    offer(picture);
}

void WaylandClipboard::offer(const Picture& picture) {
    qt_.setPicture(picture);
    kept_ = picture;
    offered_ = picture.isEmpty() ? nullptr : QGuiApplication::clipboard()->mimeData();
    offerAfterInput_ = !offered_.isNull();
}

bool WaylandClipboard::ownsKeptPicture() const {
    // Another program's selection replaces Qt's data, and with it this pointer. A compositor
    // that refuses the selection (GNOME, without the keyboard focus) takes it back, and the
    // clipboard shows what it showed before: the kept picture is still the newest then.
    const QMimeData* now = QGuiApplication::clipboard()->mimeData();
    return !offered_.isNull() && now != nullptr && (now == offered_ || now == before_);
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
    if ((type == QEvent::KeyPress || type == QEvent::MouseButtonPress) && ownsKeptPicture()) {
        // After the event has been handled, so that a paste or copy it starts comes first.
        QTimer::singleShot(0, this, [this] {
            // Offered again after the first input that follows it (its serial makes wlroots
            // take it), and whenever the compositor took it back. GNOME takes a selection only
            // from the program with the keyboard focus, which a click into a window the
            // desktop showed without focus may come before: the offer waits for it.
            const bool refused = QGuiApplication::clipboard()->mimeData() != offered_;
            if (QGuiApplication::focusWindow() != nullptr && ownsKeptPicture() &&
                (offerAfterInput_ || refused)) {
                offer(Picture(kept_));
                offerAfterInput_ = false;
            }
        });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace varnoset
