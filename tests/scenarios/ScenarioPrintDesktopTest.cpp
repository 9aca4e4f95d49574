// Printing roads through the real program, from a key press to the page on the private CUPS
// queue: a user's first day (started with no options, the tray's tooltip read, the screen
// captured with the Print key, the picture greyed and mirrored, footer lines chosen and printed),
// a direct print of the active window that never opens the main window, and direct prints of
// dragged rectangles. The printed page is
// read back from outside through Ghostscript and OCR.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>
#include <QTransform>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>

#include "tests/scenarios/ScenarioSupport.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/CupsQueue.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using namespace scenario;
using capture_desktop::clipboardPng;
using capture_desktop::ProbeWindow;
using varnoset::test::CupsQueue;
using varnoset::test::waitUntil;

namespace {

// The background and, on the screen's left, a block of another colour so that mirroring shows.
const QColor kBackground(0xc0, 0x40, 0x20);
const QColor kBlock(0x20, 0x40, 0xc0);
const QRect kBlockRect(0, 0, 600, 1080);
// Their greys by 30/59/11 weights.
constexpr int kBackgroundGrey = (30 * 0xc0 + 59 * 0x40 + 11 * 0x20) / 100;  // 98
constexpr int kBlockGrey = (30 * 0x20 + 59 * 0x40 + 11 * 0xc0) / 100;       // 68
constexpr int kTolerance = 6;

// Controls of the main window, at their middles (the layout's coordinates).
const QPoint kPrintButton(4 + 284 + 32, 4 + 14);
const QPoint kGrayedColors(304 + 8, 48 + 8);
const QPoint kMirroredPicture(304 + 8, 96 + 8);
const QPoint kPrintUserInfo(204 + 8, 328 + 8);
const QPoint kPrintFooterText(204 + 8, 344 + 8);
const QPoint kPrintDateTime(204 + 8, 360 + 8);

QString cupsOut() {
    return qEnvironmentVariable("VARNOSET_CUPS_OUT");
}

bool greyNear(QRgb c, int level) {
    return std::abs(qRed(c) - level) <= kTolerance && std::abs(qGreen(c) - level) <= kTolerance &&
           std::abs(qBlue(c) - level) <= kTolerance && std::abs(qRed(c) - qGreen(c)) <= 3 &&
           std::abs(qGreen(c) - qBlue(c)) <= 3;
}

// How many pixels of the page match, the mean of their x and the rectangle around them.
struct Area {
    int count = 0;
    double meanX = 0;
    QRect bounds;
};
Area areaWhere(const QImage& page, const std::function<bool(QRgb)>& matches) {
    Area area;
    double sumX = 0;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (matches(page.pixel(x, y))) {
                ++area.count;
                sumX += x;
                area.bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    area.meanX = area.count > 0 ? sumX / area.count : 0;
    return area;
}

std::function<bool(QRgb)> near(QColor want) {
    return [want](QRgb c) {
        return std::abs(qRed(c) - want.red()) <= 12 && std::abs(qGreen(c) - want.green()) <= 12 &&
               std::abs(qBlue(c) - want.blue()) <= 12;
    };
}

// Whether the page shows two solid areas of the colours side by side, the first on the left,
// each with the width to height ratio given.
::testing::AssertionResult sideBySide(const QImage& page, QColor first, QColor second,
                                      double ratio) {
    const Area left = areaWhere(page, near(first));
    const Area right = areaWhere(page, near(second));
    if (left.count < 100 || right.count < 100) {
        return ::testing::AssertionFailure()
               << "areas of " << left.count << " and " << right.count << " pixels";
    }
    const QRect a = left.bounds;
    const QRect b = right.bounds;
    if (a.right() >= b.left() || std::abs(a.top() - b.top()) > 1 ||
        std::abs(a.height() - b.height()) > 2 || std::abs(a.width() - b.width()) > 2 ||
        std::abs(double(a.width()) / a.height() - ratio) > 0.05 ||
        left.count < a.width() * a.height() * 95 / 100 ||
        right.count < b.width() * b.height() * 95 / 100) {
        return ::testing::AssertionFailure()
               << "areas at " << a.x() << "," << a.y() << " " << a.width() << "x" << a.height()
               << " (" << left.count << " pixels) and " << b.x() << "," << b.y() << " " << b.width()
               << "x" << b.height() << " (" << right.count << " pixels)";
    }
    return ::testing::AssertionSuccess();
}

// The FILE queue's page of a landscape job, upright: CUPS turns it a quarter counter-clockwise
// onto the portrait paper.
QImage landscapePage(int dpi) {
    return renderPrintedPage(dpi).transformed(QTransform().rotate(90));
}

// Waits for a job to be printed, and whether the main window showed meanwhile.
struct DirectPrint {
    bool printed = false;
    bool windowShown = false;
};
DirectPrint waitForDirectPrint(Varnoset& app, int before) {
    DirectPrint result;
    result.printed = waitUntil(
        [&] {
            result.windowShown = result.windowShown || app.mainWindow().has_value();
            return CupsQueue::completedJobs() > before &&
                   run("lpstat", {"-o", "FILE"}).out.trimmed().isEmpty();
        },
        90000);
    return result;
}

QString hostName() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return QString::fromLocal8Bit(name);
}

QString osName() {
    QFile file(QStringLiteral("/etc/os-release"));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QRegularExpression pretty(QStringLiteral("^PRETTY_NAME=\"?([^\"]*)\"?$"),
                                    QRegularExpression::MultilineOption);
    return pretty.match(QString::fromUtf8(file.readAll())).captured(1);
}

// A window of the window manager's, so that it can be the active one: its left half one colour,
// its right half another.
class TwoColourWindow : public QWidget {
public:
    TwoColourWindow(const QRect& rect, QColor left, QColor right) : left_(left), right_(right) {
        setWindowTitle(QStringLiteral("direct-print-probe"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(rect.size());
        move(rect.topLeft());
    }
    WindowId showAndActivate() {
        show();
        waitUntil([this] { return windowHandle() && windowHandle()->isExposed(); });
        const WindowId id = winId();
        run("xdotool", {"windowactivate", "--sync", QString::number(id)});
        waitUntil([] { return false; }, 300);  // painted and on the server
        return id;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(0, 0, width() / 2, height(), left_);
        painter.fillRect(width() / 2, 0, width() - width() / 2, height(), right_);
    }

private:
    QColor left_;
    QColor right_;
};

}  // namespace

TEST(ScenarioPrint, FirstStartCaptureGreyMirrorFooterLinesPrint) {
    ASSERT_FALSE(cupsOut().isEmpty()) << "needs the desktop harness with --cups";
    PrivateConfigHome config;
    ASSERT_TRUE(QDir(config.path()).isEmpty());

    ASSERT_EQ(run("xsetroot", {"-solid", kBackground.name()}).exitCode, 0);
    ProbeWindow block(kBlockRect, kBlock);
    block.showAndWait();

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();

    // The first start writes the key with exactly the 36 values of the first-start list.
    const auto stored = storedOptions(storeFile(config));
    ASSERT_TRUE(stored.has_value()) << "no options key in " << storeFile(config).toStdString();
    QStringList written = stored->keys();
    QStringList expected = firstStartOptionNames();
    written.sort();
    expected.sort();
    EXPECT_EQ(written, expected);
    EXPECT_EQ(stored->value("Hotkey"), dword(44));

    // Hovering the tray icon shows what to press.
    const QString tip = app.readTrayToolTip().simplified();
    EXPECT_TRUE(tip.contains(QStringLiteral("Varnoset"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("v3.00"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("Press PrintScreen"))) << tip.toStdString();

    run("xdotool", {"key", "Print"});
    std::optional<WindowId> window = app.waitForMainWindow();
    ASSERT_TRUE(window.has_value()) << app.output().toStdString();
    block.hide();

    // The capture saw the known screen: the block on the left, the background beside it.
    const QImage captured = clipboardPng();
    ASSERT_EQ(captured.size(), QSize(1920, 1080));
    EXPECT_EQ(QColor(captured.pixel(300, 500)), kBlock);
    EXPECT_EQ(QColor(captured.pixel(1200, 500)), kBackground);

    // "Grayed Colors" and "Mirrored Picture", clicked at their middles.
    clickInClient(*window, kGrayedColors);
    QThread::msleep(300);
    clickInClient(*window, kMirroredPicture);
    QThread::msleep(300);

    // Options, "Define Footer Text": the note typed into the input box.
    const QString note = QStringLiteral("Quarterly report 42 for Ann");
    chooseFromMenuBar(*window, 1, {3});
    const auto input = waitForWindow(QStringLiteral("^Page footer Text$"));
    ASSERT_TRUE(input.has_value());
    key(QStringLiteral("ctrl+a"));
    typeText(note);
    key(QStringLiteral("Return"));
    ASSERT_TRUE(waitUntil([] { return visibleWindows("^Page footer Text$").empty(); }));
    // All three footer lines.
    for (const QPoint box : {kPrintUserInfo, kPrintFooterText, kPrintDateTime}) {
        clickInClient(*window, box);
        QThread::msleep(300);
    }

    QFile::remove(cupsOut());
    const int before = CupsQueue::completedJobs();
    const QDate printDay = QDate::currentDate();
    clickInClient(*window, kPrintButton);
    ASSERT_TRUE(waitForPrintedJob(before))
        << "no job completed on FILE; " << app.output().toStdString();
    QFile printed(cupsOut());
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    EXPECT_TRUE(printed.read(4096).contains("%%Title: (Varnoset v3.00 Picture)"));

    // The first start prints landscape: CUPS turns the page a quarter onto the portrait paper.
    const QImage page = landscapePage(50);
    ASSERT_FALSE(page.isNull()) << "Ghostscript could not render " << cupsOut().toStdString();
    const Area background = areaWhere(page, [](QRgb c) { return greyNear(c, kBackgroundGrey); });
    const Area blockArea = areaWhere(page, [](QRgb c) { return greyNear(c, kBlockGrey); });
    const int pagePixels = page.width() * page.height();
    // Most of the picture is the background's grey, and no pixel keeps the original colours.
    EXPECT_GT(background.count, pagePixels / 10) << "page " << page.width() << "x" << page.height();
    EXPECT_GT(blockArea.count, background.count / 20);
    const Area coloured = areaWhere(page, [](QRgb c) { return std::abs(qRed(c) - qBlue(c)) > 40; });
    EXPECT_EQ(coloured.count, 0);
    // Mirrored: the block that was on the screen's left is printed on the picture's right.
    EXPECT_GT(blockArea.meanX, background.meanX);

    // The footer lines under the picture, in their order: date and time, user, note.
    const QString text = printedText(90);
    const QString words = squeezed(text);
    const int dateLine = static_cast<int>(
        words.indexOf(squeezed(QStringLiteral("Date + time : ") +
                               QLocale::system().toString(printDay, QLocale::ShortFormat))));
    const int userLine = static_cast<int>(words.indexOf(squeezed(
        QStringLiteral("Computer name : ") + hostName() + QStringLiteral("   User name : ") +
        userName() + QStringLiteral("   Operating System : ") + osName())));
    const int noteLine =
        static_cast<int>(words.indexOf(squeezed(QStringLiteral("Note : ") + note)));
    EXPECT_GE(dateLine, 0) << text.toStdString();
    EXPECT_GT(userLine, dateLine) << text.toStdString();
    EXPECT_GT(noteLine, userLine) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\d\\d:\\d\\d:\\d\\d"))))
        << text.toStdString();

    // Printing hides the window; the next key press captures again and shows it.
    EXPECT_TRUE(app.waitForMainWindowHidden());
    const QColor later(0x30, 0xa0, 0x50);
    ASSERT_EQ(run("xsetroot", {"-solid", later.name()}).exitCode, 0);
    run("xdotool", {"key", "Print"});
    EXPECT_TRUE(app.waitForMainWindow().has_value());
    EXPECT_EQ(QColor(clipboardPng().pixel(1200, 500)), later);

    app.terminate();
    app.waitForExit();
}

TEST(ScenarioPrint, DirectPrintOfTheActiveWindowNeverShowsTheMainWindow) {
    ASSERT_FALSE(cupsOut().isEmpty()) << "needs the desktop harness with --cups";
    PrivateConfigHome config;
    ASSERT_EQ(run("xsetroot", {"-solid", "#808080"}).exitCode, 0);

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    app.chooseFromTrayMenu(6);  // "Print the Picture Directly  ( No Dialog )"
    ASSERT_TRUE(waitUntil([] { return !trayMenu().has_value(); }));

    // A window of 300 x 200: red on the left, blue on the right, each half 150 x 200.
    const QColor red(0xd0, 0x10, 0x10);
    const QColor blue(0x10, 0x10, 0xd0);
    TwoColourWindow probe(QRect(500, 300, 300, 200), red, blue);
    probe.showAndActivate();

    QFile::remove(cupsOut());
    const int before = CupsQueue::completedJobs();
    run("xdotool", {"key", "alt+Print"});
    const DirectPrint print = waitForDirectPrint(app, before);
    ASSERT_TRUE(print.printed) << "no job completed on FILE; " << app.output().toStdString();
    EXPECT_FALSE(print.windowShown);
    EXPECT_FALSE(app.mainWindow().has_value());

    // The page shows the window's two halves side by side, in the window's proportions.
    const QImage page = landscapePage(50);
    ASSERT_FALSE(page.isNull());
    EXPECT_TRUE(sideBySide(page, red, blue, 150.0 / 200.0));

    // The print re-armed the key: the desktop prints too, still without the window.
    const int afterFirst = CupsQueue::completedJobs();
    run("xdotool", {"key", "Print"});
    const DirectPrint desktopPrint = waitForDirectPrint(app, afterFirst);
    EXPECT_TRUE(desktopPrint.printed);
    EXPECT_FALSE(desktopPrint.windowShown);

    app.terminate();
    app.waitForExit();
}

TEST(ScenarioPrint, RectangleModePrintsDirectlyAndACancelledSelectionPrintsNothing) {
    ASSERT_FALSE(cupsOut().isEmpty()) << "needs the desktop harness with --cups";
    PrivateConfigHome config;
    const QColor desktopGrey(0x70, 0x70, 0x70);
    ASSERT_EQ(run("xsetroot", {"-solid", desktopGrey.name()}).exitCode, 0);
    const QColor yellow(0xd0, 0xc0, 0x20);
    const QColor cyan(0x20, 0xc0, 0xd0);
    // Clear of the main window, which opens in the middle of the screen under its own menus.
    ProbeWindow left(QRect(200, 300, 100, 100), yellow);
    ProbeWindow right(QRect(300, 300, 100, 100), cyan);
    left.showAndWait();
    right.showAndWait();

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    // "Hotkey = (Get Rectangular Area ) ...".
    ASSERT_TRUE(chooseHotkeyFunction(app, 3));
    app.chooseFromTrayMenu(6);  // "Print the Picture Directly  ( No Dialog )"
    ASSERT_TRUE(waitUntil([] { return !trayMenu().has_value(); }));

    // The dragged 200 x 100 rectangle is printed at once: two squares side by side.
    int before = CupsQueue::completedJobs();
    run("xdotool", {"key", "Print"});
    ASSERT_TRUE(waitForOverlay());
    dragRectangle(QPoint(200, 300), QPoint(400, 400));
    DirectPrint print = waitForDirectPrint(app, before);
    ASSERT_TRUE(print.printed) << app.output().toStdString();
    EXPECT_FALSE(print.windowShown);
    EXPECT_TRUE(sideBySide(landscapePage(50), yellow, cyan, 1.0));

    // A click without a drag takes nothing: nothing prints.
    before = CupsQueue::completedJobs();
    run("xdotool", {"key", "Print"});
    ASSERT_TRUE(waitForOverlay());
    clickAt(QPoint(900, 600));
    waitUntil([] { return false; }, 3000);  // time enough for a job to reach the queue
    EXPECT_EQ(CupsQueue::completedJobs() + CupsQueue::pendingJobs(), before);
    EXPECT_FALSE(app.mainWindow().has_value());
    left.hide();
    right.hide();
    waitUntil([] { return false; }, 300);

    // "Print the Desktop" prints the whole screen ...
    before = CupsQueue::completedJobs();
    app.chooseFromTrayMenu(1);
    print = waitForDirectPrint(app, before);
    ASSERT_TRUE(print.printed) << app.output().toStdString();
    EXPECT_FALSE(print.windowShown);
    const QImage desktopPage = landscapePage(50);
    EXPECT_GT(areaWhere(desktopPage, near(desktopGrey)).count,
              desktopPage.width() * desktopPage.height() / 10);
    EXPECT_EQ(areaWhere(desktopPage, near(yellow)).count, 0);

    // ... and leaves the rectangle mode and the direct print as they were.
    left.show();
    right.show();
    left.showAndWait();
    right.showAndWait();
    before = CupsQueue::completedJobs();
    run("xdotool", {"key", "Print"});
    ASSERT_TRUE(waitForOverlay());
    dragRectangle(QPoint(250, 300), QPoint(350, 400));
    print = waitForDirectPrint(app, before);
    ASSERT_TRUE(print.printed) << app.output().toStdString();
    EXPECT_FALSE(print.windowShown);
    EXPECT_TRUE(sideBySide(landscapePage(50), yellow, cyan, 0.5));

    app.terminate();
    app.waitForExit();
}

namespace {

// The page options' boxes, at their middles (the layout's coordinates).
const QPoint kLandscape(204 + 8, 296 + 8);
const QPoint kPortrait(204 + 8, 312 + 8);
const QPoint kCentred(312 + 8, 291 + 8);
const QPoint kKeepProportions(312 + 8, 307 + 8);
const QPoint kNormalSize(312 + 8, 324 + 8);
const QPoint kHalfSize(312 + 8, 340 + 8);
constexpr double kScreenShape = 1920.0 / 1080.0;

QDir ippSpool() {
    return QDir(qEnvironmentVariable("VARNOSET_IPP_SPOOL"), {}, QDir::Time, QDir::Files);
}

// The newest document the IPP printer received, once the queues are empty and it has more than
// `before`.
QString nextIppDocument(qsizetype before) {
    const bool arrived = waitUntil(
        [&] {
            return ippSpool().count() > before && run("lpstat", {"-o"}).out.trimmed().isEmpty();
        },
        90000);
    return arrived ? ippSpool().filePath(ippSpool().entryList().first()) : QString();
}

// A page rendered, turned upright when it came landscape on portrait paper (turned clockwise).
QImage upright(const QString& document, bool landscape) {
    const QImage page = renderPrintedPage(50, document);
    return landscape && page.height() > page.width() ? page.transformed(QTransform().rotate(-90))
                                                     : page;
}

// The picture's box on a page, in fractions of the page: the rows and columns where the
// background's grey level (the printer may print in grey) fills a good part of the page, which
// the footer's few letters never do.
QRectF boxOnPage(const QImage& page, const QRect& within) {
    const int level = qGray(kBackground.rgb());
    std::vector<int> rows(std::size_t(within.height())), columns(std::size_t(within.width()));
    for (int y = 0; y < within.height(); ++y) {
        for (int x = 0; x < within.width(); ++x) {
            if (std::abs(qGray(page.pixel(within.topLeft() + QPoint(x, y))) - level) <= 12) {
                ++rows[std::size_t(y)];
                ++columns[std::size_t(x)];
            }
        }
    }
    const auto span = [](const std::vector<int>& counts, int least) {
        const auto full = [least](int n) { return n >= least; };
        const auto first = std::find_if(counts.begin(), counts.end(), full);
        const auto last = std::find_if(counts.rbegin(), counts.rend(), full).base();
        return first < last ? std::pair(first - counts.begin(), last - counts.begin())
                            : std::pair(std::ptrdiff_t{0}, std::ptrdiff_t{0});
    };
    const auto [left, right] = span(columns, within.height() / 10);
    const auto [top, bottom] = span(rows, within.width() / 5);
    return {double(left) / within.width(), double(top) / within.height(),
            double(right - left) / within.width(), double(bottom - top) / within.height()};
}

// The page of the print preview, opened from the window (the white sheet below its tool bar), and
// the picture's box on it, in fractions of the page; the preview stays open.
std::pair<QSize, QRectF> previewPage(std::optional<WindowId>& dialog) {
    key(QStringLiteral("ctrl+shift+p"));
    dialog = waitForWindow(QStringLiteral("^Print Preview"), 15000, 300);
    if (!dialog) {
        return {};
    }
    QThread::msleep(500);
    const QImage shot = screenArea(windowGeometry(*dialog));
    const QImage below = shot.copy(0, 48, shot.width(), shot.height() - 48);
    const QRect sheet = areaWhere(below, [](QRgb c) { return c == qRgb(255, 255, 255); }).bounds;
    return {sheet.size(), boxOnPage(below, sheet)};
}

// How far apart two boxes on their pages are, at their farthest edge.
double apart(const QRectF& a, const QRectF& b) {
    return std::max({std::abs(a.left() - b.left()), std::abs(a.top() - b.top()),
                     std::abs(a.right() - b.right()), std::abs(a.bottom() - b.bottom())});
}

}  // namespace

// The desktop's default printer is a driverless IPP Everywhere printer, as most printers sold
// today are. A 1920 x 1080 screen keeps its shape on its page with the first start's options and
// three others; the print preview shows the very page Print sends, and prints it.
TEST(ScenarioPrint, DriverlessPrinterKeepsTheScreensShapeAndThePreviewShowsThePage) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("VARNOSET_IPP_SPOOL")) << "needs the harness's --ipp";
    PrivateConfigHome config;
    ASSERT_EQ(run("lpadmin", {"-d", "IPP"}).exitCode, 0);
    const auto fileQueueBack = qScopeGuard([] { run("lpadmin", {"-d", "FILE"}); });
    ASSERT_EQ(run("xsetroot", {"-solid", kBackground.name()}).exitCode, 0);
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();

    // A capture into the window, the boxes clicked, then Print; the page, turned upright.
    std::optional<WindowId> window;
    const auto capture = [&](std::initializer_list<QPoint> boxes) {
        run("xdotool", {"key", "Print"});
        window = app.waitForMainWindow();
        for (const QPoint box : boxes) {
            clickInClient(*window, box);
            QThread::msleep(300);
        }
    };
    QString document;
    const auto print = [&](bool landscape) {
        const qsizetype before = ippSpool().count();
        clickInClient(*window, kPrintButton);
        document = nextIppDocument(before);
        return upright(document, landscape);
    };
    const auto shape = [](const QRectF& box, const QImage& page) {
        return box.width() * page.width() / (box.height() * page.height());
    };

    // The first start's options: landscape, normal size, centred, keeping proportions.
    capture({});
    ASSERT_TRUE(window.has_value()) << app.output().toStdString();
    const QImage first = print(true);
    ASSERT_FALSE(first.isNull()) << "no page from the IPP printer";
    const QRectF firstBox = boxOnPage(first, first.rect());
    EXPECT_NEAR(shape(firstBox, first), kScreenShape, 0.03);
    EXPECT_NEAR(firstBox.center().x(), 0.5, 0.03);
    EXPECT_NEAR(firstBox.center().y(), 0.5, 0.03);

    // The preview shows that page; printed from there, it comes out the same.
    capture({});
    std::optional<WindowId> preview;
    const auto [sheet, previewBox] = previewPage(preview);
    ASSERT_TRUE(preview.has_value());
    EXPECT_GT(sheet.width(), sheet.height());
    EXPECT_LE(apart(previewBox, firstBox), 0.015);
    const QRect dialog = windowGeometry(*preview);
    const qsizetype before = ippSpool().count();
    clickAt(QPoint(dialog.right() - 16, dialog.top() + 16));  // the tool bar's Print
    ASSERT_TRUE(waitForWindow(QStringLiteral("^Print$")).has_value());
    key(QStringLiteral("Return"));
    const QImage again = upright(nextIppDocument(before), true);
    ASSERT_FALSE(again.isNull());
    EXPECT_LE(apart(boxOnPage(again, again.rect()), firstBox), 0.015);
    EXPECT_TRUE(app.waitForMainWindowHidden());

    // Portrait, half size and the three footer lines: the picture above them, the next preview
    // showing the change.
    capture({kPortrait, kHalfSize, kPrintUserInfo, kPrintFooterText, kPrintDateTime});
    const auto [portraitSheet, portraitPreview] = previewPage(preview);
    EXPECT_LT(portraitSheet.width(), portraitSheet.height());
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(waitUntil([] { return visibleWindows("^Print Preview").empty(); }));
    const QImage portrait = print(false);
    const QRectF portraitBox = boxOnPage(portrait, portrait.rect());
    EXPECT_NEAR(shape(portraitBox, portrait), kScreenShape, 0.03);
    EXPECT_LE(apart(portraitPreview, portraitBox), 0.015);
    // The footer's letters, on the left where no tray icon of the captured screen is.
    const QImage left = portrait.copy(0, 0, portrait.width() / 2, portrait.height());
    const int footerTop = areaWhere(left, [](QRgb c) { return qGray(c) < 100; }).bounds.top();
    EXPECT_GT(footerTop, (portraitBox.bottom() * portrait.height()));
    const QString words = squeezed(printedText(0, document));
    EXPECT_LT(words.indexOf(QStringLiteral("Datetime")),
              words.indexOf(QStringLiteral("Computername")));
    EXPECT_LT(words.indexOf(QStringLiteral("Computername")), words.indexOf(QStringLiteral("Note")));
    EXPECT_GE(words.indexOf(QStringLiteral("Datetime")), 0) << words.toStdString();

    // Without keeping proportions the picture is stretched across the usable width.
    capture({kKeepProportions});
    const QImage stretched = print(false);
    const QRectF stretchedBox = boxOnPage(stretched, stretched.rect());
    EXPECT_GT(std::abs(shape(stretchedBox, stretched) - kScreenShape), 0.2);
    EXPECT_NEAR(stretchedBox.width(), portraitBox.width(), 0.01);

    // Landscape, normal size, not centred, keeping proportions: at the top left, in its shape.
    capture({kLandscape, kNormalSize, kKeepProportions, kCentred, kPrintUserInfo, kPrintFooterText,
             kPrintDateTime});
    const QImage corner = print(true);
    const QRectF cornerBox = boxOnPage(corner, corner.rect());
    EXPECT_NEAR(shape(cornerBox, corner), kScreenShape, 0.03);
    EXPECT_LT(cornerBox.top(), firstBox.top());
    EXPECT_NEAR(cornerBox.width(), firstBox.width(), 0.01);

    app.terminate();
    app.waitForExit();
}
