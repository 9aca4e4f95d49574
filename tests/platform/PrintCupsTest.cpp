#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QSpinBox>
#include <QTransform>
#include <algorithm>

#include "app/dialogs/PrinterSetup.h"
#include "imaging/Picture.h"
#include "imaging/QtPictureConversion.h"
#include "output/FooterLines.h"
#include "output/PageLayout.h"
#include "output/PrintJob.h"
#include "output/PrintOptions.h"
#include "platform/linux/QtPrinterLayer.h"
#include "tests/support/CupsQueue.h"
#include "tests/support/ModalDialogDriver.h"
#include "tests/support/RecordingPrinter.h"

namespace varnoset {
namespace {

using test::CallLog;
using test::CupsQueue;
using test::RecordingPrintHost;

constexpr int kRenderDpi = 150;

// The four quadrants' colours, far from the paper's white and the footer's black.
const QRgb kQuadrants[4] = {qRgb(220, 20, 20), qRgb(20, 180, 20), qRgb(20, 20, 220),
                            qRgb(230, 200, 0)};

Picture quadrantPicture(int width, int height, bool withPalette) {
    Picture picture = withPalette ? Picture(width, height, PixelFormat::Indexed8,
                                            {rgbValue(220, 20, 20), rgbValue(20, 180, 20),
                                             rgbValue(20, 20, 220), rgbValue(230, 200, 0)})
                                  : Picture(width, height, PixelFormat::Rgb24);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const int q = (y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1);
            if (withPalette) {
                row[x] = static_cast<std::uint8_t>(q);
            } else {
                row[3 * x] = static_cast<std::uint8_t>(qBlue(kQuadrants[q]));
                row[3 * x + 1] = static_cast<std::uint8_t>(qGreen(kQuadrants[q]));
                row[3 * x + 2] = static_cast<std::uint8_t>(qRed(kQuadrants[q]));
            }
        }
    }
    return picture;
}

bool coloured(QRgb c) {
    const int hi = std::max({qRed(c), qGreen(c), qBlue(c)});
    const int lo = std::min({qRed(c), qGreen(c), qBlue(c)});
    return hi - lo > 100;
}
bool dark(QRgb c) {
    return qRed(c) < 128 && qGreen(c) < 128 && qBlue(c) < 128 && !coloured(c);
}

// The smallest rectangle holding every pixel of the band that passes the test.
QRect inkBounds(const QImage& page, const QRect& band, bool (*test)(QRgb)) {
    QRect bounds;
    const QRect area = band.intersected(page.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(page.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            if (test(row[x])) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

QSize screenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return {qRound(screen->logicalDotsPerInchX()), qRound(screen->logicalDotsPerInchY())};
}

class PrintCupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!CupsQueue::available()) {
            GTEST_SKIP() << "needs the desktop harness with --cups";
        }
        CupsQueue::letFiltersIn();
        host.realWaits = true;
        host.entryText = "Default Printer";
    }

    // Prints one copy and returns the page as Ghostscript renders it, turned so that its top is
    // the printed page's top, and the layout that the printer's measurements give.
    QImage printAndRender(const Picture& picture, const PrintOptions& options, PageLayout& layout,
                          PrinterMeasures& measures) {
        QtPrinterLayer probe;
        probe.selectDefaultPrinter();
        probe.setOrientation(options.portrait ? PageOrientation::Portrait
                                              : PageOrientation::Landscape);
        measures = probe.measure();
        layout = layOutPage(
            {measures.dpiX, measures.dpiY, measures.offsetX, measures.offsetY, measures.pageWidth,
             measures.pageHeight, screenDpi().width(), screenDpi().height()},
            {picture.width(), picture.height()},
            {options.size, options.keepProportions, options.centred, options.footer.lineCount(),
             kFooterPointSize});

        QFile::remove(CupsQueue::outputFile());
        const int before = CupsQueue::completedJobs();
        QtPrinterLayer layer;
        PrintJob(layer, host).run(picture, options, screenDpi());
        EXPECT_TRUE(CupsQueue::waitForCompleted(before + 1))
            << "the job did not complete; see the CUPS error_log";
        const QImage page = CupsQueue::render(kRenderDpi);
        if (options.portrait || page.isNull()) {
            return page;
        }
        // CUPS puts a landscape page on portrait paper turned a quarter counter-clockwise.
        return page.transformed(QTransform().rotate(90));
    }

    CallLog log;
    RecordingPrintHost host{log};
};

TEST_F(PrintCupsTest, PictureAndFooterLandWhereTheLayoutPutsThem) {
    struct PrintCase {
        const char* name;
        bool portrait;
        PictureSize size;
        bool centred;
        bool keepProportions;
        QSize picture;
        bool palette;
    };
    using enum PictureSize;
    const PrintCase cases[] = {
        {"portrait, normal size", true, Normal, false, false, {160, 120}, false},
        {"portrait, normal size, centred", true, Normal, true, false, {160, 120}, true},
        {"portrait, half size, centred", true, Half, true, false, {160, 120}, false},
        {"portrait, page size", true, Page, false, false, {160, 120}, false},
        {"landscape, normal size", false, Normal, false, false, {160, 120}, false},
        {"landscape, half size", false, Half, false, false, {160, 120}, true},
        {"landscape, page size, centred", false, Page, true, false, {160, 120}, false},
        {"full-screen capture keeping proportions", true, Normal, true, true, {1920, 1080}, false},
    };
    for (const PrintCase& c : cases) {
        SCOPED_TRACE(c.name);
        PrintOptions options;
        options.portrait = c.portrait;
        options.size = c.size;
        options.centred = c.centred;
        options.keepProportions = c.keepProportions;
        options.footer = {true, true, true, "Varnoset test note", "testbox", "tester", "Linux"};
        const Picture picture = quadrantPicture(c.picture.width(), c.picture.height(), c.palette);

        PageLayout layout;
        PrinterMeasures m;
        const QImage page = printAndRender(picture, options, layout, m);
        ASSERT_FALSE(page.isNull());
        EXPECT_EQ(host.minimized, 1);
        host.minimized = 0;

        // The picture: every strongly coloured pixel lies in the layout's rectangle, within a
        // rendered pixel, and the quadrants keep their colours.
        // Page coordinates (printer pixels from the printable area's corner) in rendered pixels.
        const auto rx = [&](double x) { return (x + m.offsetX) * kRenderDpi / m.dpiX; };
        const auto ry = [&](double y) { return (y + m.offsetY) * kRenderDpi / m.dpiY; };
        const QRect drawn = inkBounds(page, page.rect(), coloured);
        const double left = rx(layout.x);
        const double top = ry(layout.y);
        const double right = rx(layout.x + layout.width);
        const double bottom = ry(layout.y + layout.height);
        EXPECT_NEAR(drawn.left(), left, 1.0);
        EXPECT_NEAR(drawn.top(), top, 1.0);
        EXPECT_NEAR(drawn.right() + 1, right, 1.0);
        EXPECT_NEAR(drawn.bottom() + 1, bottom, 1.0);
        for (int q = 0; q < 4; ++q) {
            const QPoint centre(qRound(left + (right - left) * (q % 2 == 0 ? 0.25 : 0.75)),
                                qRound(top + (bottom - top) * (q < 2 ? 0.25 : 0.75)));
            const QColor seen = page.pixelColor(centre);
            const QColor want(kQuadrants[q]);
            EXPECT_NEAR(seen.red(), want.red(), 40) << "quadrant " << q;
            EXPECT_NEAR(seen.green(), want.green(), 40) << "quadrant " << q;
            EXPECT_NEAR(seen.blue(), want.blue(), 40) << "quadrant " << q;
        }

        // The footer: each line's ink starts where its top plus the font's own space above the
        // glyph says. The lines are closer than the font is high, so the descenders of one line
        // reach into the next; the first letter of every line (a capital) is free of them.
        QImage probe(1, 1, QImage::Format_RGB32);
        probe.setDotsPerMeterX(qRound(m.dpiX / 0.0254));
        probe.setDotsPerMeterY(qRound(m.dpiY / 0.0254));
        const QFontMetricsF metrics(QFont(kFooterFontFamily, kFooterPointSize), &probe);
        const std::vector<FooterLine> lines =
            footerLines(options.footer, QDateTime::currentDateTime(), layout);
        ASSERT_EQ(lines.size(), 3u);
        for (const FooterLine& line : lines) {
            SCOPED_TRACE(line.text.toStdString());
            const QString initial = line.text.left(1);
            const QRectF glyph = metrics.tightBoundingRect(initial);
            const QRect initialBand(
                QPoint(qRound(rx(line.topLeft.x())), qRound(ry(line.topLeft.y()))),
                QPoint(qRound(rx(line.topLeft.x() + metrics.horizontalAdvance(initial))),
                       qRound(ry(line.topLeft.y() + layout.lineHeight))));
            const QRect ink = inkBounds(page, initialBand, dark);
            ASSERT_TRUE(ink.isValid());
            EXPECT_NEAR(ink.top(), ry(line.topLeft.y() + metrics.ascent() + glyph.top()), 1.0);
            EXPECT_NEAR(ink.left(), rx(line.topLeft.x() + glyph.left()), 1.0);
        }
    }
}

TEST_F(PrintCupsTest, EachCopyIsAJobOfItsOwnTitledWithTheProgramsName) {
    // Held in the stopped queue, the jobs still show their titles.
    bool ok = false;
    CupsQueue::run("cupsdisable", {"FILE"}, &ok);
    ASSERT_TRUE(ok);
    const int before = CupsQueue::completedJobs();
    PrintOptions options;
    options.copiesIndex = 2;  // "3"
    QtPrinterLayer layer;
    PrintJob(layer, host).run(quadrantPicture(40, 30, false), options, screenDpi());

    const QStringList queued = CupsQueue::run("lpq", {"-P", "FILE"})
                                   .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                   .filter("Varnoset v3.00 Picture");
    EXPECT_EQ(queued.size(), 3) << CupsQueue::run("lpq", {"-P", "FILE"}).toStdString();
    CupsQueue::run("cupsenable", {"FILE"}, &ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(CupsQueue::waitForCompleted(before + 3));
    EXPECT_EQ(CupsQueue::completedJobs(), before + 3);
}

TEST_F(PrintCupsTest, APrinterRemovedAfterStartUpGivesAnErrorAndLeavesTheWindowUsable) {
    bool ok = false;
    CupsQueue::run(
        "lpadmin",
        {"-p", "GONE", "-E", "-v", "file:///dev/null", "-m", "drv:///sample.drv/generic.ppd"}, &ok);
    ASSERT_TRUE(ok);
    QtPrinterLayer layer;  // reads the list with GONE in it
    const std::vector<QString> names = layer.printerNames();
    const auto gone = std::find(names.begin(), names.end(), QStringLiteral("GONE"));
    ASSERT_NE(gone, names.end());
    CupsQueue::run("lpadmin", {"-x", "GONE"}, &ok);
    ASSERT_TRUE(ok);

    host.entryText = "GONE";
    host.entryIndex = static_cast<int>(gone - names.begin());
    PrintOptions options;
    options.footer.printNote = true;
    try {
        PrintJob(layer, host).run(quadrantPicture(40, 30, false), options, screenDpi());
        FAIL() << "printing on a removed printer must fail";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("GONE"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(host.windowEnabled);
    EXPECT_FALSE(host.waitCursor);
    EXPECT_EQ(host.progress, 0);
    EXPECT_EQ(host.minimized, 0);

    // The same layer prints on the default printer afterwards.
    const int before = CupsQueue::completedJobs();
    host.entryText = "Default Printer";
    PrintJob(layer, host).run(quadrantPicture(40, 30, false), options, screenDpi());
    EXPECT_TRUE(CupsQueue::waitForCompleted(before + 1));
    EXPECT_EQ(host.minimized, 1);
}

TEST_F(PrintCupsTest, PrinterSetupOpensTheDialogForTheChosenPrinter) {
    bool ok = false;
    CupsQueue::run(
        "lpadmin",
        {"-p", "SECOND", "-E", "-v", "file:///dev/null", "-m", "drv:///sample.drv/generic.ppd"},
        &ok);
    ASSERT_TRUE(ok);
    QtPrinterLayer layer;
    const std::vector<QString> names = layer.printerNames();
    const auto second = std::find(names.begin(), names.end(), QStringLiteral("SECOND"));
    ASSERT_NE(second, names.end());
    host.entryText = "SECOND";
    host.entryIndex = static_cast<int>(second - names.begin());

    QString shownFor;
    const test::ModalDialogDriver<QPrintDialog> driver([&](QPrintDialog& dialog) {
        shownFor = dialog.printer()->printerName();
        dialog.reject();
    });
    runPrinterSetup(layer, host, nullptr);
    EXPECT_TRUE(driver.seen());
    EXPECT_EQ(shownFor, "SECOND");
    EXPECT_EQ(layer.selectedPrinterName(), "SECOND");
    CupsQueue::run("lpadmin", {"-x", "SECOND"});
}

TEST_F(PrintCupsTest, CopiesChosenInTheSetUpDialogDoNotReachThePage) {
    QtPrinterLayer layer;
    QString spinBoxes;
    const test::ModalDialogDriver<QPrintDialog> driver([&](QPrintDialog& dialog) {
        for (QSpinBox* box : dialog.findChildren<QSpinBox*>()) {
            spinBoxes += box->objectName() + QLatin1Char(' ');
        }
        if (auto* copies = dialog.findChild<QSpinBox*>(QStringLiteral("copies"))) {
            copies->setValue(3);
        }
        dialog.accept();
    });
    runPrinterSetup(layer, host, nullptr);
    ASSERT_TRUE(driver.seen());
    ASSERT_TRUE(spinBoxes.contains(QStringLiteral("copies "))) << spinBoxes.toStdString();

    QFile::remove(CupsQueue::outputFile());
    const int before = CupsQueue::completedJobs();
    PrintJob(layer, host).run(quadrantPicture(40, 30, false), PrintOptions{}, screenDpi());
    ASSERT_TRUE(CupsQueue::waitForCompleted(before + 1));
    EXPECT_EQ(CupsQueue::completedJobs(), before + 1);
    QFile output(CupsQueue::outputFile());
    ASSERT_TRUE(output.open(QIODevice::ReadOnly));
    const QByteArray postScript = output.readAll();
    EXPECT_EQ(postScript.count("%%Page: "), 1);
    EXPECT_TRUE(postScript.contains("%RBINumCopies: 1\n"));
}

}  // namespace
}  // namespace varnoset
