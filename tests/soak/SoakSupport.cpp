#include "tests/soak/SoakSupport.h"

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <cstdlib>

#include "tests/support/WaitUntil.h"

using varnoset::test::waitUntil;

namespace soak {

struct XProbe::Impl {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    bool xfixes = false;
    ~Impl() { xcb_disconnect(connection); }
};

XProbe::XProbe() : impl_(std::make_unique<Impl>()) {
    // The cursor image needs XFixes 4 at least to be asked for by a client that says so.
    auto cookie = xcb_xfixes_query_version(impl_->connection, 4, 0);
    if (auto* reply = xcb_xfixes_query_version_reply(impl_->connection, cookie, nullptr)) {
        impl_->xfixes = reply->major_version >= 1;
        std::free(reply);
    }
}

XProbe::~XProbe() = default;

bool XProbe::isViewable(WindowId window) {
    auto cookie = xcb_get_window_attributes(impl_->connection, static_cast<xcb_window_t>(window));
    auto* reply = xcb_get_window_attributes_reply(impl_->connection, cookie, nullptr);
    if (reply == nullptr) {
        return false;
    }
    const bool viewable = reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return viewable;
}

QImage XProbe::cursorImage() {
    if (!impl_->xfixes) {
        return {};
    }
    auto cookie = xcb_xfixes_get_cursor_image(impl_->connection);
    auto* reply = xcb_xfixes_get_cursor_image_reply(impl_->connection, cookie, nullptr);
    if (reply == nullptr) {
        return {};
    }
    QImage image(reply->width, reply->height, QImage::Format_ARGB32);
    const std::uint32_t* pixels = xcb_xfixes_get_cursor_image_cursor_image(reply);
    for (int y = 0; y < reply->height; ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < reply->width; ++x) {
            line[x] = pixels[y * reply->width + x];
        }
    }
    std::free(reply);
    return image;
}

long residentKb(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QRegularExpression line(QStringLiteral("^VmRSS:\\s+(\\d+) kB"),
                                  QRegularExpression::MultilineOption);
    const auto m = line.match(QString::fromLatin1(status.readAll()));
    return m.hasMatch() ? m.captured(1).toLong() : -1;
}

bool processEnded(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly)) {
        return true;
    }
    // "pid (comm) S ...": the state follows the command's closing parenthesis.
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close < 0 || text.mid(close + 2, 1) == "Z";
}

QByteArray HarnessService::pidVariable() const {
    return "VARNOSET_" + name_.toUpper().toLatin1() + "_PID";
}

qint64 HarnessService::pid() const {
    return qEnvironmentVariable(pidVariable().constData()).toLongLong();
}

bool HarnessService::stop(int timeoutMs) const {
    const qint64 service = pid();
    if (service <= 0 || ::kill(static_cast<pid_t>(service), SIGTERM) != 0) {
        return false;
    }
    return waitUntil([service] { return processEnded(service); }, timeoutMs);
}

bool HarnessService::restart() const {
    const desktop::CommandResult started =
        desktop::run(qEnvironmentVariable("VARNOSET_HARNESS"), {"--start", name_}, 90000);
    const qint64 service = started.out.trimmed().toLongLong();
    if (started.exitCode != 0 || service <= 0) {
        return false;
    }
    qputenv(pidVariable().constData(), QByteArray::number(service));
    return true;
}

QRect trayPanel() {
    const QString tree = desktop::run(QStringLiteral("xwininfo"), {"-root", "-tree"}).out;
    const QRegularExpression panel(QStringLiteral(
        "\\(\"panel\" \"trayer\"\\)\\s+(\\d+)x(\\d+)\\S*\\s+\\+(-?\\d+)\\+(-?\\d+)"));
    // "WxH+x+y  +X+Y": the size, the place in the parent, the place on the screen.
    const auto m = panel.match(tree);
    if (!m.hasMatch()) {
        return {};
    }
    return {m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(),
            m.captured(2).toInt()};
}

namespace {

QImage screenshotOf(const QRect& area) {
    const QString path =
        qEnvironmentVariable("VARNOSET_TEST_ROOT") + QStringLiteral("/tmp/box.png");
    desktop::run(QStringLiteral("import"), {"-window", "root", path});
    const QImage screen(path);
    QFile::remove(path);
    return screen.copy(area).convertToFormat(QImage::Format_RGB32);
}

// A point on the first line of the box's text: the first dark pixel right of the icon and above
// the buttons.
std::optional<QPoint> textPoint(const QImage& box) {
    constexpr int kIconColumn = 70;
    constexpr int kButtonRow = 50;
    for (int y = 4; y < box.height() - kButtonRow; ++y) {
        for (int x = kIconColumn; x < box.width() - 4; ++x) {
            if (qGray(box.pixel(x, y)) < 90) {
                return QPoint(x, y);
            }
        }
    }
    return std::nullopt;
}

}  // namespace

QString messageBoxText(WindowId box) {
    // Qt's message box label takes mouse selections, which X puts into the PRIMARY selection: a
    // triple click on the text selects the whole of it.
    const QRect area = desktop::windowGeometry(box);
    waitUntil([] { return false; }, 300);  // drawn
    const auto at = textPoint(screenshotOf(area));
    if (!at) {
        return {};
    }
    const QPoint point = area.topLeft() + *at;
    desktop::run(QStringLiteral("xdotool"),
                 {"mousemove", QString::number(point.x()), QString::number(point.y()), "click",
                  "--repeat", "3", "--delay", "60", "1"});
    QString text;
    waitUntil(
        [&] {
            QProcess xclip;
            xclip.start(QStringLiteral("xclip"), {"-selection", "primary", "-o"});
            xclip.waitForFinished(5000);
            text = QString::fromUtf8(xclip.readAllStandardOutput());
            return !text.isEmpty();
        },
        3000);
    return text;
}

bool closeMessageBox(WindowId box) {
    desktop::run(QStringLiteral("xdotool"), {"windowactivate", "--sync", QString::number(box)});
    desktop::key(QStringLiteral("Return"));
    const auto gone = [box] {
        for (const WindowId id : desktop::messageBoxes()) {
            if (id == box) {
                return false;
            }
        }
        return true;
    };
    return waitUntil(gone, 10000);
}

QPoint inCentralWidget(WindowId mainWindow, QPoint at) {
    // The menu bar sits above the central widget inside the client area.
    constexpr int kMenuBarHeight = 22;
    return desktop::windowGeometry(mainWindow).topLeft() + QPoint(0, kMenuBarHeight) + at;
}

}  // namespace soak
