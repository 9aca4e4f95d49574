#include "tests/support/CaptureDesktopSupport.h"

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <cstdlib>

#include "capture/RectangleOverlay.h"
#include "imaging/QtPictureConversion.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

namespace capture_desktop {

namespace {

QImage loadRgb32(const QString& path) {
    QImage image(path);
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QImage independentScreenshot() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("root.png"));
    desktop::run(QStringLiteral("import"), {"-window", "root", path});
    return loadRgb32(path);
}

QByteArray runServingEvents(const QString& command) {
    QProcess process;
    process.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    process.waitForStarted();
    varnoset::test::waitUntil([&] { return process.state() == QProcess::NotRunning; }, 20000);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
    }
    return process.readAllStandardOutput();
}

QImage clipboardPng() {
    QImage image;
    image.loadFromData(
        runServingEvents(QStringLiteral("xclip -selection clipboard -t image/png -o")));
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

void whenOverlayShown(std::function<void(QWidget* overlay)> action) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, action] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* overlay = qobject_cast<varnoset::TForm2*>(widget);
            if (overlay && overlay->isVisible() && overlay->windowHandle() &&
                overlay->windowHandle()->isExposed()) {
                poll->stop();
                poll->deleteLater();
                varnoset::test::waitUntil([] { return false; }, 200);  // painted and on the server
                action(overlay);
                return;
            }
        }
    });
    poll->start();
}

QImage imageOf(const varnoset::Picture& picture) {
    return varnoset::toQImage(picture).convertToFormat(QImage::Format_RGB32);
}

void xdotool(const QStringList& args) {
    desktop::run(QStringLiteral("xdotool"), args);
}

bool lockIsOn(const QString& name) {
    const QString out = desktop::run(QStringLiteral("xset"), {"q"}).out;
    const QRegularExpression re(name + QStringLiteral(":\\s+(on|off)"));
    const auto m = re.match(out);
    return m.hasMatch() && m.captured(1) == QStringLiteral("on");
}

struct OtherClient::Impl {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
    ~Impl() {
        xcb_key_symbols_free(symbols);
        xcb_disconnect(connection);
    }
    std::vector<xcb_keycode_t> keycodes(std::uint32_t keysym) {
        std::vector<xcb_keycode_t> codes;
        if (xcb_keycode_t* list = xcb_key_symbols_get_keycode(symbols, keysym)) {
            for (xcb_keycode_t* c = list; *c != XCB_NO_SYMBOL; ++c) {
                codes.push_back(*c);
            }
            std::free(list);
        }
        return codes;
    }
};

OtherClient::OtherClient() : impl_(std::make_unique<Impl>()) {}
OtherClient::~OtherClient() = default;

int OtherClient::grabKey(std::uint32_t keysym, std::uint16_t modifiers) {
    int result = 0;
    for (const xcb_keycode_t code : impl_->keycodes(keysym)) {
        xcb_generic_error_t* error =
            xcb_request_check(impl_->connection,
                              xcb_grab_key_checked(impl_->connection, 1, impl_->root, modifiers,
                                                   code, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        if (error != nullptr) {
            result = error->error_code;
            std::free(error);
        }
    }
    return result;
}

void OtherClient::ungrabKey(std::uint32_t keysym, std::uint16_t modifiers) {
    for (const xcb_keycode_t code : impl_->keycodes(keysym)) {
        std::free(xcb_request_check(
            impl_->connection,
            xcb_ungrab_key_checked(impl_->connection, code, impl_->root, modifiers)));
    }
}

std::uint16_t OtherClient::numLockMask() {
    const std::vector<xcb_keycode_t> numLock = impl_->keycodes(0xff7f);
    xcb_get_modifier_mapping_reply_t* map = xcb_get_modifier_mapping_reply(
        impl_->connection, xcb_get_modifier_mapping(impl_->connection), nullptr);
    std::uint16_t mask = 0;
    if (map != nullptr) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map);
        for (int m = 0; m < 8; ++m) {
            for (int i = 0; i < map->keycodes_per_modifier; ++i) {
                for (const xcb_keycode_t c : numLock) {
                    if (codes[m * map->keycodes_per_modifier + i] == c) {
                        mask |= static_cast<std::uint16_t>(1u << m);
                    }
                }
            }
        }
        std::free(map);
    }
    return mask;
}

ProbeWindow::ProbeWindow(const QRect& rect, QColor colour)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint), colour_(colour) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setGeometry(rect);
}

void ProbeWindow::setColour(QColor colour) {
    colour_ = colour;
    update();
}

void ProbeWindow::showAndWait() {
    show();
    raise();
    varnoset::test::waitUntil(
        [this] { return isVisible() && windowHandle() && windowHandle()->isExposed(); });
    // Let the first paint reach the server.
    varnoset::test::waitUntil([] { return false; }, 300);
}

void ProbeWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (colour_.isValid()) {
        painter.fillRect(rect(), colour_);
        return;
    }
    QImage pattern(size(), QImage::Format_RGB32);
    for (int y = 0; y < height(); ++y) {
        for (int x = 0; x < width(); ++x) {
            pattern.setPixel(x, y, qRgb((x * 5) % 256, (y * 3) % 256, (x ^ y) % 256));
        }
    }
    painter.drawImage(0, 0, pattern);
}

ManagedWindow::ManagedWindow(const QString& geometry) {
    const QString title = QStringLiteral("capture-probe-%1").arg(geometry);
    process_.start(QStringLiteral("xmessage"),
                   {"-geometry", geometry, "-title", title, "-name", "probe", "A probe"});
    varnoset::test::waitUntil([&] {
        const auto ids = desktop::visibleWindows(QRegularExpression::escape(title));
        if (!ids.empty()) {
            id_ = ids.front();
        }
        return id_ != 0;
    });
    // The window manager reparents and places it; give it a moment to settle.
    varnoset::test::waitUntil([] { return false; }, 300);
}

ManagedWindow::~ManagedWindow() {
    process_.kill();
    process_.waitForFinished(2000);
}

void ManagedWindow::activate() {
    xdotool({"windowactivate", "--sync", QString::number(id_)});
    varnoset::test::waitUntil([] { return false; }, 200);
}

}  // namespace capture_desktop
