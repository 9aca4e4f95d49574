// A picture's roads through files: a rectangle dragged out in the rectangle mode, saved as JPEG
// and PNG through the real save dialog, the PNG loaded back through the load dialog, reduced to
// 16 colours and given back by Undo; a picture pasted from another program, saved as BMP and kept
// when the clipboard later holds only text; the edit mode, which hands each capture to the
// desktop's default BMP application; and every capture saved in a folder of the user's choice.
// Read from outside: the files on disk, the clipboard and the screen.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include "tests/scenarios/ScenarioSupport.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/EnvironmentOverride.h"
#include "tests/support/FileContents.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using namespace scenario;
using capture_desktop::clipboardPng;
using capture_desktop::ProbeWindow;
using varnoset::test::EnvironmentOverride;
using varnoset::test::waitUntil;
using varnoset::test::writeFile;

namespace {

// Two colours that the 16-colour palette does not hold.
const QColor kLeft(0xc8, 0x3c, 0x28);
const QColor kRight(0x28, 0x64, 0xc8);
const QRgb kPalette16[] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                           0x008080, 0x808080, 0xc0c0c0, 0xff0000, 0x00ff00, 0xffff00,
                           0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};

// Controls of the main window (the layout's coordinates).
const QPoint kButton16(344 + 18, 140 + 10);
const QPoint kUndo(296 + 12 + 54, 132 + 122 + 12);
const QPoint kRed(308 + 8, 168 + 8);
// Well inside the preview of a 200 x 150 picture shown at natural size at the box's corner.
const QRect kInsidePreview(12 + 6, 68 + 6, 180, 130);
const QRect kSizeLine(8, 42, 275, 22);

bool near(QRgb c, QColor want, int tolerance) {
    return std::abs(qRed(c) - want.red()) <= tolerance &&
           std::abs(qGreen(c) - want.green()) <= tolerance &&
           std::abs(qBlue(c) - want.blue()) <= tolerance;
}

int largestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return 256;
    }
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

QSet<QRgb> coloursOf(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y) & 0xFFFFFF);
        }
    }
    return colours;
}

bool onlyPaletteColours(const QImage& image) {
    const QSet<QRgb> palette(std::begin(kPalette16), std::end(kPalette16));
    const QSet<QRgb> colours = coloursOf(image);
    return !colours.isEmpty() && palette.contains(colours);
}

// What the preview shows, well inside the picture.
QImage preview(WindowId window) {
    return screenArea(QRect(inClient(window, kInsidePreview.topLeft()), kInsidePreview.size()));
}

bool showsOriginalColours(const QImage& shown) {
    int left = 0;
    int right = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            left += near(shown.pixel(x, y), kLeft, 8) ? 1 : 0;
            right += near(shown.pixel(x, y), kRight, 8) ? 1 : 0;
        }
    }
    const int half = shown.width() * shown.height() / 2;
    return left > half * 8 / 10 && right > half * 8 / 10;
}

// Runs a file dialog with a keyboard shortcut and types the full name into it.
// Further keys may go to the dialog's other controls before Return takes the choice.
bool chooseFileWith(WindowId window, const QString& shortcut, const QString& title,
                    const QString& path, const QStringList& keys = {}) {
    run("xdotool", {"windowactivate", "--sync", QString::number(window)});
    key(shortcut);
    const auto dialog = waitForWindow(title);
    if (!dialog) {
        return false;
    }
    QThread::msleep(300);
    typeText(path);
    run("xdotool", QStringList{"key"} + keys + QStringList{"Return"});
    return waitUntil([&] { return visibleWindows(title).empty(); });
}

// Saves the shown picture through the save dialog under that name (further keys as for
// chooseFileWith) and answers the message that follows: its words, squeezed; empty when no
// message came.
QString saveAs(WindowId window, const QString& path, const QStringList& keys = {}) {
    if (!chooseFileWith(window, QStringLiteral("ctrl+s"), QStringLiteral("^Save Picture As"), path,
                        keys)) {
        return {};
    }
    const auto box = waitForMessageBox();
    if (!box) {
        return {};
    }
    const QString message = squeezed(ocr(screenArea(frameGeometry(*box)), 2));
    return acceptMessageBox() ? message : QString();
}

// Another program takes the clipboard with text (xclip stays in the background until the next
// owner takes over); no picture is offered any more.
bool offerText(const QString& text) {
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), {"-selection", "clipboard", "-i"});
    if (!xclip.waitForStarted()) {
        return false;
    }
    xclip.write(text.toUtf8());
    xclip.closeWriteChannel();
    xclip.waitForFinished();
    return waitUntil([] { return clipboardPng().isNull(); });
}

}  // namespace

TEST(ScenarioFiles, RectangleSavedAsJpegAndPngLoadedBackReducedTo16AndUndone) {
    PrivateConfigHome config;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("shot.jpg"));

    ASSERT_EQ(run("xsetroot", {"-solid", "#808080"}).exitCode, 0);
    ProbeWindow left(QRect(250, 150, 150, 300), kLeft);
    ProbeWindow right(QRect(400, 150, 150, 300), kRight);
    left.showAndWait();
    right.showAndWait();

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    // "Hotkey = (Get Rectangular Area ) ...".
    ASSERT_TRUE(chooseHotkeyFunction(app, 3));

    // The key brings the overlay; a drag from (300, 200) to (500, 350) takes 200 x 150 pixels.
    run("xdotool", {"key", "Print"});
    ASSERT_TRUE(waitForOverlay());
    dragRectangle(QPoint(300, 200), QPoint(500, 350));
    auto window = app.waitForMainWindow();
    ASSERT_TRUE(window.has_value()) << app.output().toStdString();
    const QImage taken = clipboardPng();
    ASSERT_EQ(taken.size(), QSize(200, 150));
    EXPECT_EQ(QColor(taken.pixel(0, 0)), kLeft);
    EXPECT_EQ(QColor(taken.pixel(99, 149)), kLeft);
    EXPECT_EQ(QColor(taken.pixel(100, 0)), kRight);
    EXPECT_EQ(QColor(taken.pixel(199, 149)), kRight);
    left.hide();
    right.hide();

    // Saved through the save dialog as a JPEG: the name's extension decides.
    const QString message = saveAs(*window, path);
    EXPECT_TRUE(message.contains(QStringLiteral("savedasJPG"))) << message.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(3) == QByteArray("\xff\xd8\xff", 3));
    file.close();
    const QImage jpeg = QImage(path, "JPEG").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(jpeg.size(), QSize(200, 150));
    for (const QPoint at : {QPoint(10, 10), QPoint(90, 140), QPoint(50, 75)}) {
        EXPECT_TRUE(near(jpeg.pixel(at), kLeft, 6)) << at.x() << "," << at.y();
    }
    for (const QPoint at : {QPoint(110, 10), QPoint(190, 140), QPoint(150, 75)}) {
        EXPECT_TRUE(near(jpeg.pixel(at), kRight, 6)) << at.x() << "," << at.y();
    }

    // A name without extension under "JPG Pictures", chosen in the dialog's list of types (the
    // next control after the name): the name takes that filter's ".jpg".
    const QString again =
        saveAs(*window, folder.filePath(QStringLiteral("second")), {"Tab", "Down"});
    EXPECT_TRUE(again.contains(QStringLiteral("savedasJPG"))) << again.toStdString();

    // As PNG, by the name's extension: every pixel as taken.
    const QString pngPath = folder.filePath(QStringLiteral("shot.png"));
    const QString asPng = saveAs(*window, pngPath);
    EXPECT_TRUE(asPng.contains(QStringLiteral("savedasPNG"))) << asPng.toStdString();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files, QDir::Name),
              QStringList({"second.jpg", "shot.jpg", "shot.png"}));
    const QImage png = QImage(pngPath, "PNG").convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(largestDifference(png, taken.convertToFormat(QImage::Format_RGB32)), 0);

    // Another program takes the clipboard; loading the PNG puts the picture there, exactly.
    ASSERT_TRUE(offerText(QStringLiteral("no picture here")));
    ASSERT_TRUE(chooseFileWith(*window, QStringLiteral("ctrl+l"), QStringLiteral("^Load Picture$"),
                               pngPath));
    QImage loaded;
    ASSERT_TRUE(waitUntil([&] { return !(loaded = clipboardPng()).isNull(); }, 15000));
    EXPECT_EQ(largestDifference(loaded, png), 0);
    ASSERT_TRUE(waitUntil([&] { return showsOriginalColours(preview(*window)); }));

    // "16": the preview holds only colours of the 16-colour palette, and the size line says so.
    clickInClient(*window, kButton16);
    EXPECT_TRUE(waitUntil([&] { return onlyPaletteColours(preview(*window)); }));
    QString sizeLine;
    EXPECT_TRUE(waitUntil([&] {
        sizeLine =
            ocr(screenArea(QRect(inClient(*window, kSizeLine.topLeft()), kSizeLine.size())), 4)
                .simplified();
        return sizeLine.contains(QStringLiteral("16 Colors"));
    })) << sizeLine.toStdString();
    EXPECT_TRUE(sizeLine.contains(QStringLiteral("200 X 150"))) << sizeLine.toStdString();

    // Undo gives back the loaded picture: shown, and copied out with Ctrl+C.
    clickInClient(*window, kUndo);
    EXPECT_TRUE(waitUntil([&] { return showsOriginalColours(preview(*window)); }));
    ASSERT_TRUE(offerText(QStringLiteral("nothing to see")));
    run("xdotool", {"windowactivate", "--sync", QString::number(*window)});
    key(QStringLiteral("ctrl+c"));
    QImage copied;
    EXPECT_TRUE(waitUntil([&] {
        copied = clipboardPng();
        return largestDifference(copied, png) == 0;
    })) << "largest difference "
        << largestDifference(copied, png);

    // A copy between a reduction and Undo is what Undo brings back: the reduced picture. Red off
    // before Undo makes Undo's end visible, as it switches red on again.
    clickInClient(*window, kButton16);
    ASSERT_TRUE(waitUntil([&] { return onlyPaletteColours(preview(*window)); }));
    const QImage reduced = preview(*window);
    key(QStringLiteral("ctrl+c"));
    ASSERT_TRUE(waitUntil([&] { return onlyPaletteColours(clipboardPng()); }));
    clickInClient(*window, kRed);
    ASSERT_TRUE(waitUntil([&] { return preview(*window) != reduced; }));
    clickInClient(*window, kUndo);
    EXPECT_TRUE(waitUntil([&] { return preview(*window) == reduced; }))
        << "Undo did not give back the copied, reduced picture";
    EXPECT_FALSE(showsOriginalColours(preview(*window)));

    app.terminate();
    app.waitForExit();
}

TEST(ScenarioFiles, EditModeHandsEachCaptureToTheDefaultBmpApplication) {
    PrivateConfigHome config;
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    // Only the private folders may name an application for BMP pictures.
    ASSERT_TRUE(QDir().mkpath(work.filePath(QStringLiteral("no-system-data"))));
    const EnvironmentOverride dataDirs("XDG_DATA_DIRS",
                                       work.filePath("no-system-data").toLocal8Bit());
    const EnvironmentOverride configDirs("XDG_CONFIG_DIRS",
                                         work.filePath("no-system-data").toLocal8Bit());
    const EnvironmentOverride dataHome("XDG_DATA_HOME",
                                       work.filePath(QStringLiteral("data")).toLocal8Bit());
    ASSERT_TRUE(QDir().mkpath(work.filePath(QStringLiteral("data/applications"))));

    // The "viewer" keeps a copy of what it was given and says which file that was.
    const QString received = work.filePath(QStringLiteral("received.bmp"));
    const QString record = work.filePath(QStringLiteral("record.txt"));
    const QString script = work.filePath(QStringLiteral("viewer.sh"));
    ASSERT_TRUE(writeFile(script, "#!/bin/sh\ncp \"$1\" \"" + received.toUtf8() +
                                      "\"\nprintf '%s' \"$1\" > \"" + record.toUtf8() +
                                      ".part\"\nmv \"" + record.toUtf8() + ".part\" \"" +
                                      record.toUtf8() + "\"\n"));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(
        writeFile(work.filePath(QStringLiteral("data/applications/scenario-viewer.desktop")),
                  "[Desktop Entry]\nType=Application\nName=Viewer\nExec=\"" + script.toUtf8() +
                      "\" %f\nMimeType=image/bmp;\n"));
    ASSERT_TRUE(writeFile(config.path() + QStringLiteral("/mimeapps.list"),
                          "[Default Applications]\nimage/bmp=scenario-viewer.desktop;\n"));

    const QColor background(0x50, 0x70, 0xa0);
    ASSERT_EQ(run("xsetroot", {"-solid", background.name()}).exitCode, 0);
    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    // "Hotkey = ( Edit Picture Desktop) ...".
    ASSERT_TRUE(chooseHotkeyFunction(app, 4));
    ASSERT_FALSE(QFile::exists(record));

    // Print shows the window and hands the shown picture, the whole screen, to the viewer.
    run("xdotool", {"key", "Print"});
    EXPECT_TRUE(app.waitForMainWindow().has_value());
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(record); }, 20000))
        << app.output().toStdString();
    QFile recorded(record);
    ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
    const QString editFile =
        QDir(qEnvironmentVariable("TMPDIR"))
            .filePath(QStringLiteral("varnoset-") + userName() + QStringLiteral("/~MyBitmap.bmp"));
    EXPECT_EQ(QString::fromLocal8Bit(recorded.readAll()), editFile);
    QFile handed(received);
    ASSERT_TRUE(handed.open(QIODevice::ReadOnly));
    EXPECT_EQ(handed.read(2), QByteArray("BM"));
    handed.close();
    const QImage picture(received, "BMP");
    ASSERT_EQ(picture.size(), QSize(1920, 1080));
    EXPECT_EQ(QColor(picture.pixel(960, 200)), background);

    app.terminate();
    app.waitForExit();
}

TEST(ScenarioFiles, PastedPictureIsSavedAsBmpAndKeptWhenTheClipboardHoldsText) {
    PrivateConfigHome config;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // A picture whose every pixel differs from its neighbours, offered by xclip as PNG.
    QImage offered(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < offered.height(); ++y) {
        for (int x = 0; x < offered.width(); ++x) {
            offered.setPixel(x, y, qRgb(x * 4, y * 5, (x * 7 + y * 3) % 256));
        }
    }
    const QString png = folder.filePath(QStringLiteral("offered.png"));
    ASSERT_TRUE(offered.save(png, "PNG"));

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    app.chooseFromTrayMenu(3);  // "Open"
    const auto window = app.waitForMainWindow();
    ASSERT_TRUE(window.has_value());

    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {"-quiet", "-selection", "clipboard", "-t", "image/png", "-i", png});
    ASSERT_TRUE(xclip.waitForStarted());
    ASSERT_TRUE(waitUntil([] { return clipboardPng().size() == QSize(64, 48); }));
    run("xdotool", {"windowactivate", "--sync", QString::number(*window)});
    key(QStringLiteral("ctrl+v"));
    QString sizeLine;
    EXPECT_TRUE(waitUntil([&] {
        sizeLine =
            ocr(screenArea(QRect(inClient(*window, kSizeLine.topLeft()), kSizeLine.size())), 4)
                .simplified();
        return sizeLine.contains(QStringLiteral("64 X 48"));
    })) << sizeLine.toStdString();
    xclip.kill();
    xclip.waitForFinished();

    // Saved under "All Pictures" with the name's ".bmp": every pixel as pasted.
    const QString bmp = folder.filePath(QStringLiteral("pasted.bmp"));
    ASSERT_TRUE(saveAs(*window, bmp).contains(QStringLiteral("savedasBMP")));
    QFile file(bmp);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("BM"));
    file.close();
    EXPECT_EQ(largestDifference(QImage(bmp, "BMP").convertToFormat(QImage::Format_RGB32), offered),
              0);

    // Text on the clipboard: the program says there is no picture and keeps its own.
    ASSERT_TRUE(offerText(QStringLiteral("just words")));
    run("xdotool", {"windowactivate", "--sync", QString::number(*window)});
    key(QStringLiteral("ctrl+v"));
    const auto box = waitForMessageBox();
    ASSERT_TRUE(box.has_value());
    const QString message = ocr(screenArea(frameGeometry(*box)), 2);
    EXPECT_TRUE(squeezed(message).contains(QStringLiteral("ThereisnoPictureontheClipboard")))
        << message.toStdString();
    ASSERT_TRUE(acceptMessageBox());
    run("xdotool", {"windowactivate", "--sync", QString::number(*window)});
    key(QStringLiteral("ctrl+c"));
    QImage copied;
    EXPECT_TRUE(waitUntil([&] { return !(copied = clipboardPng()).isNull(); }));
    EXPECT_EQ(largestDifference(copied, offered), 0);

    app.terminate();
    app.waitForExit();
}

TEST(ScenarioFiles, SaveEveryCaptureWritesEachCaptureAsANewFile) {
    PrivateConfigHome config;
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QColor background(0x30, 0x90, 0x60);
    ASSERT_EQ(run("xsetroot", {"-solid", background.name()}).exitCode, 0);

    Varnoset app;
    app.start();
    ASSERT_TRUE(app.waitForTrayIcon()) << app.output().toStdString();
    app.chooseFromTrayMenu(3);  // "Open"
    const auto window = app.waitForMainWindow();
    ASSERT_TRUE(window.has_value());

    // Options > "Save Every Capture...": switched on, the folder and a pattern typed in; a pattern
    // of no picture type is refused with a message, and the dialog stays.
    desktop::chooseFromMenuBar(*window, 1, {10});
    ASSERT_TRUE(waitForWindow(QStringLiteral("^Save Every Capture$")).has_value());
    QThread::msleep(300);
    run("xdotool", {"key", "space", "Tab", "ctrl+a"});
    typeText(folder.path());
    run("xdotool", {"key", "Tab", "Tab", "ctrl+a"});
    typeText(QStringLiteral("Varnoset %n.gif"));
    key(QStringLiteral("Return"));
    ASSERT_TRUE(waitForMessageBox().has_value());
    ASSERT_TRUE(acceptMessageBox());
    key(QStringLiteral("ctrl+a"));
    typeText(QStringLiteral("Varnoset %n.png"));
    key(QStringLiteral("Return"));
    ASSERT_TRUE(
        waitUntil([] { return visibleWindows(QStringLiteral("^Save Every Capture$")).empty(); }));
    key(QStringLiteral("Escape"));
    ASSERT_TRUE(app.waitForMainWindowHidden());

    // Two captures with the key, each shown and hidden again.
    for (int capture = 0; capture < 2; ++capture) {
        run("xdotool", {"key", "Print"});
        ASSERT_TRUE(app.waitForMainWindow().has_value()) << capture;
        key(QStringLiteral("Escape"));
        ASSERT_TRUE(app.waitForMainWindowHidden()) << capture;
    }
    const QStringList expected{"Varnoset 1.png", "Varnoset 2.png"};
    EXPECT_TRUE(waitUntil([&] {
        return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name) == expected;
    })) << QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).join(", ").toStdString();
    for (const QString& name : expected) {
        const QImage saved(folder.filePath(name), "PNG");
        ASSERT_EQ(saved.size(), QSize(1920, 1080)) << name.toStdString();
        EXPECT_EQ(QColor(saved.pixel(960, 200)), background) << name.toStdString();
    }

    app.terminate();
    app.waitForExit();
}
