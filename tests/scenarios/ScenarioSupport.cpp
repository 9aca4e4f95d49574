#include "tests/scenarios/ScenarioSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTransform>

#include "tests/support/CupsQueue.h"
#include "tests/support/WaitUntil.h"

using varnoset::test::CupsQueue;
using varnoset::test::waitUntil;

namespace scenario {

namespace {

// What sits above the central widget inside the main window's client area.
constexpr int kMenuBarHeight = 22;
const char* const kSection = "[HKEY_CURRENT_USER\\SOFTWARE\\Kestrane\\NewVarnoset\\v3.00\\Setup]";

}  // namespace

QPoint inClient(WindowId window, QPoint at) {
    return desktop::windowGeometry(window).topLeft() + QPoint(0, kMenuBarHeight) + at;
}

void clickInClient(WindowId window, QPoint at) {
    desktop::clickAt(inClient(window, at));
}

std::optional<QMap<QString, QString>> storedOptions(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    std::optional<QMap<QString, QString>> values;
    bool inside = false;
    const QRegularExpression value(QStringLiteral("^\"([^\"]+)\"=(.*)$"));
    for (const QString& line : QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('['))) {
            inside = trimmed == QLatin1String(kSection);
            if (inside && !values) {
                values.emplace();
            }
            continue;
        }
        const auto m = value.match(trimmed);
        if (inside && m.hasMatch()) {
            values->insert(m.captured(1), m.captured(2));
        }
    }
    return values;
}

bool acceptMessageBox() {
    const auto box = desktop::waitForMessageBox();
    if (!box) {
        return false;
    }
    desktop::run("xdotool", {"windowactivate", "--sync", QString::number(*box)});
    desktop::key(QStringLiteral("Return"));
    return waitUntil([] { return desktop::messageBoxes().empty(); }, 10000);
}

bool waitForOverlay() {
    // The whole X screen, all monitors.
    const QString root = desktop::run("xwininfo", {"-root"}).out;
    auto field = [&](const char* label) {
        return QRegularExpression(QString::fromLatin1(label) + QStringLiteral(":\\s+(\\d+)"))
            .match(root)
            .captured(1)
            .toInt();
    };
    const QRect screen(0, 0, field("Width"), field("Height"));
    return waitUntil([&] {
        const QString out =
            desktop::run("xdotool", {"search", "--onlyvisible", "--class", "varnoset"}).out;
        for (const QString& line : out.split('\n', Qt::SkipEmptyParts)) {
            if (desktop::windowGeometry(line.trimmed().toULong()) == screen) {
                return true;
            }
        }
        return false;
    });
}

void dragRectangle(QPoint from, QPoint to) {
    const QPoint between = (from + to) / 2;
    desktop::run("xdotool", {"mousemove", QString::number(from.x()), QString::number(from.y()),
                             "mousedown", "1"});
    desktop::run("xdotool",
                 {"mousemove", QString::number(between.x()), QString::number(between.y())});
    desktop::run("xdotool", {"mousemove", QString::number(to.x()), QString::number(to.y())});
    desktop::run("xdotool", {"mouseup", "1"});
}

bool waitForPrintedJob(int before, int timeoutMs) {
    return waitUntil(
        [&] { return CupsQueue::completedJobs() > before && CupsQueue::pendingJobs() == 0; },
        timeoutMs);
}

bool chooseHotkeyFunction(desktop::Varnoset& app, int entry) {
    app.chooseFromTrayMenu(3);  // "Open"
    const auto window = app.waitForMainWindow();
    if (!window) {
        return false;
    }
    desktop::chooseFromMenuBar(*window, 1, {2, entry});
    QThread::msleep(300);
    desktop::key(QStringLiteral("Escape"));
    return app.waitForMainWindowHidden();
}

QImage renderPrintedPage(int dpi, const QString& document) {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("page.png"));
    desktop::run("gs",
                 {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=png16m",
                  QStringLiteral("-r%1").arg(dpi), "-sOutputFile=" + png,
                  document.isEmpty() ? qEnvironmentVariable("VARNOSET_CUPS_OUT") : document},
                 120000);
    const QImage page(png);
    return page.isNull() ? page : page.convertToFormat(QImage::Format_RGB32);
}

QString printedText(int turnDegrees, const QString& document) {
    // The queue's PostScript carries its fonts as subsets without a text mapping, so the words
    // are read from the page as a person would read them.
    const QImage page = renderPrintedPage(200, document);
    return desktop::ocr(
        turnDegrees == 0 ? page : page.transformed(QTransform().rotate(turnDegrees)), 1, true);
}

}  // namespace scenario
