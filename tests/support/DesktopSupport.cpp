#include "tests/support/DesktopSupport.h"

#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "tests/support/WaitUntil.h"

namespace desktop {

using varnoset::test::waitUntil;

CommandResult run(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess p;
    p.start(program, args);
    CommandResult result;
    if (!p.waitForStarted(timeoutMs)) {
        result.err = QStringLiteral("could not start ") + program;
        return result;
    }
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
    }
    result.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    result.out = QString::fromUtf8(p.readAllStandardOutput());
    result.err = QString::fromUtf8(p.readAllStandardError());
    return result;
}

CommandResult sh(const QString& command, int timeoutMs) {
    return run(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}, timeoutMs);
}

std::vector<WindowId> trayIcons(const QString& name) {
    // In `xwininfo -root -tree`, docked icons are the children of trayer's "panel" window.
    const QStringList lines = run("xwininfo", {"-root", "-tree"}).out.split('\n');
    std::vector<WindowId> icons;
    int panelIndent = -1;
    const QRegularExpression idPattern(QStringLiteral("^(\\s*)(0x[0-9a-f]+) \"([^\"]*)\""));
    for (const QString& line : lines) {
        const auto m = idPattern.match(line);
        if (!m.hasMatch()) {
            continue;
        }
        const int indent = static_cast<int>(m.captured(1).size());
        if (line.contains(QStringLiteral("(\"panel\" \"trayer\")"))) {
            panelIndent = indent;
            continue;
        }
        if (panelIndent >= 0 && indent <= panelIndent) {
            panelIndent = -1;
        }
        if (panelIndent >= 0 && m.captured(3) == name) {
            icons.push_back(m.captured(2).toULong(nullptr, 16));
        }
    }
    return icons;
}

QString trayItems() {
    return run("gdbus",
               {"call", "--session", "--dest", "org.kde.StatusNotifierWatcher", "--object-path",
                "/StatusNotifierWatcher", "--method", "org.freedesktop.DBus.Properties.Get",
                "org.kde.StatusNotifierWatcher", "RegisteredStatusNotifierItems"})
        .out;
}

QString trayItemProperty(const QString& item, const QString& name) {
    const QString service = item.section('/', 0, 0);
    return run("gdbus", {"call", "--session", "--dest", service, "--object-path",
                         "/StatusNotifierItem", "--method", "org.freedesktop.DBus.Properties.Get",
                         "org.kde.StatusNotifierItem", name})
        .out;
}

std::vector<WindowId> clientList() {
    const QString out = run("xprop", {"-root", "_NET_CLIENT_LIST"}).out;
    std::vector<WindowId> ids;
    const QRegularExpression id(QStringLiteral("0x[0-9a-f]+"));
    for (auto it = id.globalMatch(out); it.hasNext();) {
        ids.push_back(it.next().captured(0).toULong(nullptr, 16));
    }
    return ids;
}

std::vector<WindowId> visibleWindows(const QString& nameRegex) {
    const QString out = run("xdotool", {"search", "--onlyvisible", "--name", nameRegex}).out;
    std::vector<WindowId> ids;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
        ids.push_back(line.trimmed().toULong());
    }
    return ids;
}

QRect windowGeometry(WindowId id) {
    const QString out = run("xwininfo", {"-id", QString::number(id)}).out;
    auto field = [&](const char* label) {
        const QRegularExpression re(QString::fromLatin1(label) + QStringLiteral(":\\s+(-?\\d+)"));
        return re.match(out).captured(1).toInt();
    };
    return {field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
            field("Height")};
}

QMargins frameExtents(WindowId id) {
    const QString out = run("xprop", {"-id", QString::number(id), "_NET_FRAME_EXTENTS"}).out;
    const QRegularExpression re(QStringLiteral("=\\s*(\\d+),\\s*(\\d+),\\s*(\\d+),\\s*(\\d+)"));
    const auto m = re.match(out);
    if (!m.hasMatch()) {
        return {};
    }
    // The property lists left, right, top, bottom.
    return {m.captured(1).toInt(), m.captured(3).toInt(), m.captured(2).toInt(),
            m.captured(4).toInt()};
}

QRect frameGeometry(WindowId id) {
    return windowGeometry(id).marginsAdded(frameExtents(id));
}

void clickAt(QPoint at, int button) {
    run("xdotool", {"mousemove", QString::number(at.x()), QString::number(at.y()), "click",
                    QString::number(button)});
}

void key(const QString& keys) {
    run("xdotool", {"key", "--clearmodifiers", keys});
}

void chooseFromMenuBar(WindowId window, int menu, const std::vector<int>& entries) {
    const QRect g = windowGeometry(window);
    const int titleX[] = {18, 62};
    // The menu is a window of its own: wait for it before the keys, so that they reach it even
    // when the program is slow to open it.
    auto programWindows = [] {
        return run("xdotool", {"search", "--onlyvisible", "--class", "varnoset"})
            .out.split('\n', Qt::SkipEmptyParts)
            .size();
    };
    const auto before = programWindows();
    clickAt(g.topLeft() + QPoint(titleX[menu], 10));
    waitUntil([&] { return programWindows() > before; }, 5000);
    QThread::msleep(200);
    QStringList keys;
    for (std::size_t level = 0; level < entries.size(); ++level) {
        // Opening a submenu with Right already highlights its first entry.
        int steps = entries[level];
        if (level > 0) {
            keys << QStringLiteral("Right");
            --steps;
        }
        for (int i = 0; i < steps; ++i) {
            keys << QStringLiteral("Down");
        }
    }
    keys << QStringLiteral("Return");
    run("xdotool", QStringList{"key"} + keys);
}

QByteArray clipboard(const QString& mimeType) {
    QProcess p;
    p.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-t", mimeType, "-o"});
    p.waitForFinished(10000);
    return p.readAllStandardOutput();
}

void typeText(const QString& text) {
    run("xdotool", {"type", "--delay", "40", text}, 60000);
}

std::optional<WindowId> waitForWindow(const QString& nameRegex, int timeoutMs, int minWidth) {
    std::optional<WindowId> found;
    waitUntil(
        [&] {
            for (const WindowId id : visibleWindows(nameRegex)) {
                if (windowGeometry(id).width() >= minWidth) {
                    found = id;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

QImage screenArea(const QRect& area) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("screen.png"));
    run("import", {"-window", "root", path});
    const QImage screen(path);
    return screen.isNull() ? screen : screen.copy(area).convertToFormat(QImage::Format_RGB32);
}

QString ocr(const QImage& picture, int enlarge, bool sparseText) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("text.png"));
    const QImage big = enlarge > 1 ? picture.scaled(picture.size() * enlarge, Qt::IgnoreAspectRatio,
                                                    Qt::SmoothTransformation)
                                   : picture;
    // Tesseract reads text that touches the picture's edges badly: give it a white margin.
    constexpr int kMargin = 24;
    QImage padded(big.width() + 2 * kMargin, big.height() + 2 * kMargin, QImage::Format_RGB32);
    padded.fill(Qt::white);
    QPainter(&padded).drawImage(kMargin, kMargin, big);
    if (!padded.save(path)) {
        return {};
    }
    QStringList args = {path, "-"};
    if (sparseText) {
        args << "--psm"
             << "11";
    }
    return run("tesseract", args, 60000).out;
}

QString squeezed(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c.isLetterOrNumber()) {
            out += c;
        }
    }
    return out;
}

namespace {

// A new empty folder inside the harness's private folder.
QString newConfigFolder() {
    const QDir root(qEnvironmentVariable("VARNOSET_TEST_ROOT", QDir::tempPath()));
    for (int n = 1;; ++n) {
        const QString path = root.filePath(QStringLiteral("config-%1").arg(n));
        if (!QDir(path).exists() && root.mkpath(path)) {
            return path;
        }
    }
}

}  // namespace

PrivateConfigHome::PrivateConfigHome()
    : path_(newConfigFolder()), configHome_("XDG_CONFIG_HOME", path_.toLocal8Bit()) {}

Varnoset::Varnoset() {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
}

Varnoset::~Varnoset() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString Varnoset::binary() {
    return qEnvironmentVariable("VARNOSET_BIN");
}

void Varnoset::start(const QStringList& args) {
    process_.start(binary(), args);
    process_.waitForStarted(10000);
}

bool Varnoset::waitForTrayIcon(int timeoutMs) {
    return waitUntil([] { return !trayIcons().empty(); }, timeoutMs);
}

bool Varnoset::isRunning() const {
    return process_.state() != QProcess::NotRunning;
}

std::optional<int> Varnoset::waitForExit(int timeoutMs) {
    if (process_.state() != QProcess::NotRunning && !process_.waitForFinished(timeoutMs)) {
        return std::nullopt;
    }
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

void Varnoset::terminate() {
    ::kill(static_cast<pid_t>(process_.processId()), SIGTERM);
}

void Varnoset::kill() {
    process_.kill();
}

QString Varnoset::output() const {
    auto& p = const_cast<QProcess&>(process_);
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

std::optional<WindowId> Varnoset::mainWindow() {
    const auto windows = visibleWindows(QString::fromLatin1(kMainWindowTitle));
    if (windows.empty()) {
        return std::nullopt;
    }
    return windows.front();
}

std::optional<WindowId> Varnoset::waitForMainWindow(int timeoutMs) {
    std::optional<WindowId> window;
    waitUntil([&] { return (window = mainWindow()).has_value(); }, timeoutMs);
    return window;
}

bool Varnoset::waitForMainWindowHidden(int timeoutMs) {
    return waitUntil([&] { return !mainWindow().has_value(); }, timeoutMs);
}

QString Varnoset::readTrayToolTip() {
    const auto icons = trayIcons();
    if (icons.empty()) {
        return {};
    }
    const WindowId icon = icons.front();
    const QRect at = windowGeometry(icon);
    // The tooltip is a small window of the program's that is not the icon. The pointer comes
    // from elsewhere and rests on the icon, as a user's does.
    auto tooltip = [&]() -> std::optional<QRect> {
        const QString out = run("xdotool", {"search", "--onlyvisible", "--class", "varnoset"}).out;
        for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
            const WindowId id = line.trimmed().toULong();
            const QRect g = windowGeometry(id);
            if (id != icon && g.height() < 60 && g.width() > 60) {
                return g;
            }
        }
        return std::nullopt;
    };
    for (int attempt = 0; attempt < 3; ++attempt) {
        run("xdotool", {"mousemove", "200", "200"});
        waitUntil([&] { return !tooltip().has_value(); }, 3000);
        run("xdotool", {"mousemove", QString::number(at.center().x() - 2),
                        QString::number(at.center().y() - 2)});
        run("xdotool",
            {"mousemove", QString::number(at.center().x()), QString::number(at.center().y())});
        std::optional<QRect> shown;
        if (waitUntil([&] { return (shown = tooltip()).has_value(); }, 5000)) {
            QThread::msleep(100);  // painted
            const QImage picture = screenArea(*shown);
            // It hides after two seconds; on a busy machine the grab may have come too late.
            if (tooltip() == shown) {
                run("xdotool", {"mousemove", "200", "200"});
                return ocr(picture, 4);
            }
        }
    }
    return {};
}

std::optional<WindowId> trayMenu() {
    // The popup menu is a visible window of the program that is neither the docked icon nor a
    // titled window.
    const QString out = run("xdotool", {"search", "--onlyvisible", "--class", "varnoset"}).out;
    for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
        const WindowId id = line.trimmed().toULong();
        const QRect g = windowGeometry(id);
        const QString name = run("xdotool", {"getwindowname", QString::number(id)}).out.trimmed();
        if (g.width() >= 100 && g.height() >= 100 && !name.contains(QStringLiteral("v3.00"))) {
            return id;
        }
    }
    return std::nullopt;
}

void Varnoset::chooseFromTrayMenu(int entry, int button) {
    const auto icons = trayIcons();
    if (icons.empty()) {
        return;
    }
    const QRect icon = windowGeometry(icons.front());
    // A click can be lost while the program is busy; click again if no menu came.
    for (int attempt = 0; attempt < 2; ++attempt) {
        clickAt(icon.center(), button);
        if (waitUntil([] { return trayMenu().has_value(); }, 5000)) {
            break;
        }
    }
    // The menu grabs the keyboard once it is open; step down to the entry and take it.
    QThread::msleep(200);
    QStringList keys;
    for (int i = 0; i < entry; ++i) {
        keys << QStringLiteral("Down");
    }
    keys << QStringLiteral("Return");
    run("xdotool", QStringList{"key"} + keys);
}

int loudest(const QByteArray& raw) {
    int peak = 0;
    for (qsizetype i = 0; i + 1 < raw.size(); i += 2) {
        std::int16_t sample = 0;
        std::memcpy(&sample, raw.constData() + i, 2);
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

QStringList firstStartOptionNames() {
    return {
        "Monochrom",  "Inversed",   "Centered",     "Stretched",  "HalfSize",  "NormalSize",
        "FooterText", "FooterTime", "FooterUser",   "SwapBW",     "Mirrored",  "Landscape",
        "Portrait",   "Proportion", "Frame",        "AutoCopy",   "Direct",    "PlaySound",
        "Client",     "Confirm",    "Red",          "Green",      "Blue",      "Resize",
        "WinPosLeft", "WinPosTop",  "Contrast",     "Brightness", "FrameSize", "Color1",
        "Color2",     "DefPrinter", "FooterString", "Copies",     "Hotkey",    "HotKeyFunction"};
}

std::vector<WindowId> messageBoxes() {
    std::vector<WindowId> boxes;
    for (const WindowId id : visibleWindows(QStringLiteral("^Varnoset$"))) {
        const QRect g = windowGeometry(id);
        if (g.width() >= 100 && g.height() >= 60) {
            boxes.push_back(id);
        }
    }
    return boxes;
}

std::optional<WindowId> waitForMessageBox(int timeoutMs) {
    std::vector<WindowId> boxes;
    waitUntil([&] { return !(boxes = messageBoxes()).empty(); }, timeoutMs);
    return boxes.empty() ? std::nullopt : std::optional<WindowId>(boxes.front());
}

QString storeFile(const PrivateConfigHome& config) {
    return config.path() + QStringLiteral("/Kestrane/NewVarnoset.reg");
}

QString dword(std::uint32_t value) {
    return QStringLiteral("dword:%1").arg(value, 8, 16, QLatin1Char('0'));
}

QString userName() {
    const passwd* entry = getpwuid(geteuid());
    return entry != nullptr ? QString::fromLocal8Bit(entry->pw_name) : QString::number(geteuid());
}

}  // namespace desktop
