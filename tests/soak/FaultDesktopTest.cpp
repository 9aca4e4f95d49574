// Faults while the real program runs: the print server stopped during a job, the options folder
// made read-only before "Save Options", the sound server gone, another program taking the
// clipboard between a colour reduction and Undo, the system tray restarted. The program must say
// what went wrong where it has something to say, keep running and lose nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <cstdlib>
#include <cstring>

#include "tests/soak/SoakSupport.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/CupsQueue.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/EnvironmentOverride.h"
#include "tests/support/FileContents.h"
#include "tests/support/SamePixels.h"
#include "tests/support/WaitUntil.h"

using namespace desktop;
using capture_desktop::clipboardPng;
using soak::inCentralWidget;
using varnoset::test::CupsQueue;
using varnoset::test::EnvironmentOverride;
using varnoset::test::fileContents;
using varnoset::test::samePixels;
using varnoset::test::waitUntil;

namespace {

const QSize kScreen(1920, 1080);

// Controls of the main window, at their middles in the central widget.
const QPoint kPrintButton(288 + 32, 4 + 14);
const QPoint kCopyButton(88 + 14, 4 + 14);
const QPoint kGreyBox(304 + 8, 48 + 8);
const QPoint kSixteenButton(344 + 18, 140 + 10);
const QPoint kUndoButton(308 + 54, 254 + 12);
const QPoint kCopiesList(156 + 18, 336 + 10);

void pause(int ms) {
    waitUntil([] { return false; }, ms);
}

// An error that ends a menu command or a click travels through Qt's own frames, built without
// exception support, to the application's error report (VarnosetApplication::notify), and what
// those frames hold is never freed: the weak reference QAction::activate keeps on itself, the copy
// of the mouse event QApplication::notify passes on, ... A few dozen bytes per error, known and
// reported; the programs started while this lives are not checked for leaks at exit.
class ErrorUnwindLeaksAllowed {
public:
    ErrorUnwindLeaksAllowed() : options_("ASAN_OPTIONS", withoutLeakCheck()) {}

private:
    static QByteArray withoutLeakCheck() {
        const QByteArray options = qgetenv("ASAN_OPTIONS");
        return options + (options.isEmpty() ? "" : ":") + "detect_leaks=0";
    }
    EnvironmentOverride options_;
};

bool startProgram(Varnoset& app) {
    app.start();
    return app.waitForTrayIcon(20000);
}

// Shows a plain screen of that colour, presses Print and waits for the main window.
std::optional<WindowId> captureShown(Varnoset& app, QColor colour) {
    run("xsetroot", {"-solid", colour.name()});
    run("xdotool", {"key", "Print"});
    std::optional<WindowId> window;
    waitUntil([&] { return (window = app.mainWindow()).has_value(); }, 20000);
    return window;
}

// Esc, with the pointer moved off the window first: a hint shown for the control under it goes
// only a moment after the window, and the next capture would have it.
bool hide(Varnoset& app) {
    run("xdotool", {"mousemove", "1", "1"});
    pause(400);
    key(QStringLiteral("Escape"));
    return waitUntil([&] { return !app.mainWindow().has_value(); }, 10000);
}

// Whether the picture is the screen filled with that colour (the tray panel aside).
bool isPlainScreen(const QImage& picture, QColor colour) {
    if (picture.size() != kScreen) {
        return false;
    }
    const QRect panel = soak::trayPanel();
    for (int y = 0; y < picture.height(); y += 7) {
        for (int x = 0; x < picture.width(); x += 7) {
            if ((picture.pixel(x, y) & 0xFFFFFF) != (colour.rgb() & 0xFFFFFF) &&
                !panel.contains(x, y)) {
                return false;
            }
        }
    }
    return true;
}

// Picks an entry of the copies list by keyboard: "Home" for one copy, "End" for ninety.
void chooseCopies(WindowId window, const QString& key) {
    clickAt(inCentralWidget(window, kCopiesList));
    pause(700);  // the list drops down
    run("xdotool", {"key", key, "Return"});
    pause(300);
}

// The capabilities of a process as /proc shows them ("CapEff", "CapBnd").
quint64 capabilities(qint64 pid, const char* set) {
    const QString status =
        QString::fromLatin1(fileContents(QStringLiteral("/proc/%1/status").arg(pid)));
    for (const QString& line : status.split('\n')) {
        if (line.startsWith(QLatin1String(set) + ':')) {
            return line.section(':', 1).trimmed().toULongLong(nullptr, 16);
        }
    }
    return ~0ull;
}

// Records the null sink of the harness's sound server.
class Recorder {
public:
    Recorder() {
        process_.start(QStringLiteral("parec"), {"-d", "test_sink.monitor", "--latency-msec=20",
                                                 "--format=s16le", "--rate=44100", "--channels=2"});
        process_.waitForStarted();
        waitUntil(
            [] {
                return !run(QStringLiteral("pactl"), {"list", "short", "source-outputs"})
                            .out.trimmed()
                            .isEmpty();
            },
            10000);
    }
    ~Recorder() {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
    // Whether a loud stretch comes within the time.
    bool hearsSound(int timeoutMs = 8000) {
        return waitUntil(
            [this] {
                recorded_ += process_.readAllStandardOutput();
                return loudest(recorded_) > 3000;
            },
            timeoutMs);
    }
    void forget() {
        process_.readAllStandardOutput();
        recorded_.clear();
    }

private:
    QProcess process_;
    QByteArray recorded_;
};

// Another program offering the clipboard, as `xclip -i` does until someone else takes it.
class OtherClipboardOwner {
public:
    OtherClipboardOwner(const QString& target, const QByteArray& data) {
        process_.start(QStringLiteral("xclip"),
                       {"-quiet", "-selection", "clipboard", "-t", target, "-i"});
        process_.waitForStarted();
        process_.write(data);
        process_.closeWriteChannel();
    }
    ~OtherClipboardOwner() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

private:
    QProcess process_;
};

}  // namespace

TEST(Faults, PrintServerStoppedDuringAJobEndsItWithAMessageAndTheWindowUsable) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("VARNOSET_CUPSD_PID")) << "needs the harness's --cups";
    PrivateConfigHome config;
    const ErrorUnwindLeaksAllowed knownLeaks;
    Varnoset app;
    ASSERT_TRUE(startProgram(app)) << app.output().toStdString();
    const auto window = captureShown(app, QColor(0x40, 0x80, 0xc0));
    ASSERT_TRUE(window.has_value());
    chooseCopies(*window, QStringLiteral("End"));  // ninety copies: a job that lasts

    soak::XProbe x;
    const QPoint printButton = inCentralWidget(*window, kPrintButton);
    run("xdotool",
        {"mousemove", QString::number(printButton.x()), QString::number(printButton.y())});
    pause(300);
    const QImage normalCursor = x.cursorImage();

    const int before = CupsQueue::completedJobs();
    clickAt(printButton);
    ASSERT_TRUE(waitUntil(
        [&] { return CupsQueue::completedJobs() > before || !x.isViewable(*window); }, 120000))
        << "no copy was printed";
    ASSERT_TRUE(x.isViewable(*window)) << "the job ended after one copy: ninety were chosen";
    // Mid-job the hour-glass shows.
    EXPECT_NE(x.cursorImage(), normalCursor);

    soak::HarnessService cupsd(QStringLiteral("cupsd"));
    const int printedBeforeStop = CupsQueue::completedJobs();
    ASSERT_TRUE(cupsd.stop());

    // The job cannot go on: it must end, and say why, rather than count the copies as printed.
    std::optional<WindowId> box;
    ASSERT_TRUE(waitUntil(
        [&] {
            const auto boxes = messageBoxes();
            if (!boxes.empty()) {
                box = boxes.front();
            }
            return box.has_value() || !x.isViewable(*window);
        },
        300000))
        << "the job neither ended nor reported anything";
    ASSERT_TRUE(box.has_value()) << "the job ended as if all ninety copies had been printed; "
                                 << printedBeforeStop << " were when the server stopped; "
                                 << app.output().toStdString();
    const QString text = soak::messageBoxText(*box);
    std::printf("message: %s\n", qPrintable(text));
    // One of the printer layer's failures, depending on the step the job was at.
    const bool printerFailure =
        text.contains(QStringLiteral("could not be sent to the printer \"FILE\"")) ||
        text.contains(QStringLiteral("Printing on \"FILE\" could not start")) ||
        text.contains(QStringLiteral("The printer \"FILE\" is not available"));
    EXPECT_TRUE(printerFailure) << text.toStdString();
    ASSERT_TRUE(soak::closeMessageBox(*box));

    // The window stays open, takes clicks again and has the normal cursor back.
    EXPECT_TRUE(app.isRunning());
    EXPECT_TRUE(x.isViewable(*window));
    run("xdotool",
        {"mousemove", QString::number(printButton.x()), QString::number(printButton.y())});
    EXPECT_TRUE(waitUntil([&] { return x.cursorImage() == normalCursor; }, 5000));

    // With the server back, one copy prints and the window goes to the tray as after any job.
    ASSERT_TRUE(cupsd.restart());
    chooseCopies(*window, QStringLiteral("Home"));
    const int afterRestart = CupsQueue::completedJobs();
    clickAt(printButton);
    EXPECT_TRUE(waitUntil([&] { return !x.isViewable(*window); }, 120000));
    EXPECT_TRUE(waitUntil([&] { return CupsQueue::completedJobs() > afterRestart; }, 60000));
    EXPECT_TRUE(messageBoxes().empty());

    app.terminate();
    EXPECT_EQ(app.waitForExit(20000), std::optional<int>(0)) << app.output().toStdString();
}

TEST(Faults, SaveOptionsIntoAReadOnlyFolderReportsAndKeepsTheOldFile) {
    PrivateConfigHome config;
    const ErrorUnwindLeaksAllowed knownLeaks;
    // Root writes into any folder whatever its mode: the program runs without that override.
    std::optional<EnvironmentOverride> real;
    std::optional<EnvironmentOverride> wrapper;
    if (geteuid() == 0) {
        const QString script =
            qEnvironmentVariable("VARNOSET_TEST_ROOT") + QStringLiteral("/tmp/varnoset-no-dac");
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(
            "#!/bin/sh\nexec setpriv --inh-caps=-all --ambient-caps=-all "
            "--bounding-set=-dac_override,-dac_read_search -- \"$VARNOSET_REAL_BIN\" \"$@\"\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        real.emplace("VARNOSET_REAL_BIN", Varnoset::binary().toLocal8Bit());
        wrapper.emplace("VARNOSET_BIN", script.toLocal8Bit());
    }
    Varnoset app;
    ASSERT_TRUE(startProgram(app)) << app.output().toStdString();
    constexpr quint64 kDacBits = (1ull << 1) | (1ull << 2);  // CAP_DAC_OVERRIDE, _READ_SEARCH
    ASSERT_EQ(capabilities(app.pid(), "CapEff") & kDacBits, 0u);

    const QString folder = config.path() + QStringLiteral("/Kestrane");
    const QString store = folder + QStringLiteral("/NewVarnoset.reg");
    const QByteArray before = fileContents(store);
    ASSERT_TRUE(before.contains("\"Monochrom\"=dword:00000000")) << before.toStdString();

    const auto window = captureShown(app, QColor(0x20, 0x60, 0x30));
    ASSERT_TRUE(window.has_value());
    clickAt(inCentralWidget(*window, kGreyBox));  // "Grayed Colors" on, in memory only
    pause(500);

    ASSERT_EQ(::chmod(folder.toLocal8Bit().constData(), 0500), 0);
    run("xdotool", {"windowactivate", "--sync", QString::number(*window)});
    key(QStringLiteral("ctrl+o"));  // "Save Options"
    auto box = waitForMessageBox();
    ASSERT_TRUE(box.has_value());
    QString text = soak::messageBoxText(*box);
    EXPECT_TRUE(text.contains(QStringLiteral("Failed to set data for 'Monochrom'.")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Options saved successfully")));
    ASSERT_TRUE(soak::closeMessageBox(*box));
    // The handler ended at the failure: no confirmation follows.
    EXPECT_FALSE(waitForMessageBox(2000).has_value());
    EXPECT_EQ(fileContents(store), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("NewVarnoset.reg")});

    // Writable again, the same command saves.
    ASSERT_EQ(::chmod(folder.toLocal8Bit().constData(), 0700), 0);
    run("xdotool", {"windowactivate", "--sync", QString::number(*window)});
    key(QStringLiteral("ctrl+o"));
    box = waitForMessageBox();
    ASSERT_TRUE(box.has_value());
    text = soak::messageBoxText(*box);
    EXPECT_TRUE(text.contains(QStringLiteral("Options saved successfully"))) << text.toStdString();
    ASSERT_TRUE(soak::closeMessageBox(*box));
    EXPECT_TRUE(fileContents(store).contains("\"Monochrom\"=dword:00000001"));
    EXPECT_TRUE(app.isRunning());

    app.terminate();
    EXPECT_EQ(app.waitForExit(20000), std::optional<int>(0)) << app.output().toStdString();
}

TEST(Faults, CapturesGoOnWithoutTheSoundServer) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("VARNOSET_PULSE_PID"))
        << "needs the harness's --pulse";
    PrivateConfigHome config;
    Varnoset app;
    ASSERT_TRUE(startProgram(app)) << app.output().toStdString();
    {
        // The capture sound is on by default and reaches the server while it runs.
        Recorder recorder;
        ASSERT_TRUE(captureShown(app, QColor(0x10, 0x20, 0x30)).has_value());
        EXPECT_TRUE(recorder.hearsSound());
        ASSERT_TRUE(hide(app));
    }

    soak::HarnessService pulse(QStringLiteral("pulse"));
    ASSERT_TRUE(pulse.stop());
    for (const QColor colour :
         {QColor(0x90, 0x10, 0x10), QColor(0x10, 0x90, 0x10), QColor(0x10, 0x10, 0x90)}) {
        SCOPED_TRACE(colour.name().toStdString());
        ASSERT_TRUE(captureShown(app, colour).has_value()) << app.output().toStdString();
        EXPECT_TRUE(isPlainScreen(clipboardPng(), colour));
        ASSERT_TRUE(hide(app));
    }
    EXPECT_TRUE(messageBoxes().empty());

    // Once the server is back, the next capture is heard again.
    ASSERT_TRUE(pulse.restart());
    Recorder recorder;
    const QColor colour(0x55, 0x66, 0x77);
    ASSERT_TRUE(captureShown(app, colour).has_value());
    EXPECT_TRUE(isPlainScreen(clipboardPng(), colour));
    EXPECT_TRUE(recorder.hearsSound());
    ASSERT_TRUE(hide(app));

    app.terminate();
    EXPECT_EQ(app.waitForExit(20000), std::optional<int>(0)) << app.output().toStdString();
}

TEST(Faults, AnotherProgramTakingTheClipboardBeforeUndo) {
    PrivateConfigHome config;
    Varnoset app;
    ASSERT_TRUE(startProgram(app)) << app.output().toStdString();
    // A colour that the sixteen-colour palette does not have.
    const QColor original(0x37, 0x8a, 0xc5);
    const auto window = captureShown(app, original);
    ASSERT_TRUE(window.has_value());

    // Text only on the clipboard: Undo has nothing to restore from and says so.
    clickAt(inCentralWidget(*window, kSixteenButton));
    {
        OtherClipboardOwner text(QStringLiteral("UTF8_STRING"), "not a picture");
        ASSERT_TRUE(waitUntil(
            [] { return clipboard(QStringLiteral("UTF8_STRING")) == "not a picture"; }, 10000));
        clickAt(inCentralWidget(*window, kUndoButton));
        const auto box = waitForMessageBox(30000);
        ASSERT_TRUE(box.has_value());
        const QString message = soak::messageBoxText(*box);
        EXPECT_TRUE(message.contains(QStringLiteral("The Picture could not be restored")))
            << message.toStdString();
        ASSERT_TRUE(soak::closeMessageBox(*box));
    }
    EXPECT_TRUE(app.isRunning());
    ASSERT_TRUE(soak::XProbe().isViewable(*window));
    // The reduced picture stays: copied, it has sixteen colours at most, the original not among
    // them.
    clickAt(inCentralWidget(*window, kCopyButton));
    QImage copied;
    ASSERT_TRUE(waitUntil([&] { return (copied = clipboardPng()).size() == kScreen; }, 20000));
    QSet<QRgb> colours;
    for (int y = 0; y < copied.height(); y += 3) {
        for (int x = 0; x < copied.width(); x += 3) {
            colours.insert(copied.pixel(x, y) & 0xFFFFFF);
        }
    }
    EXPECT_LE(colours.size(), 16);
    EXPECT_FALSE(colours.contains(original.rgb() & 0xFFFFFF));

    // Another program's picture on the clipboard: Undo takes that one, silently.
    clickAt(inCentralWidget(*window, kSixteenButton));
    QImage theirs(64, 48, QImage::Format_RGB32);
    theirs.fill(QColor(0xd0, 0x30, 0x60));
    for (int x = 0; x < 64; ++x) {
        theirs.setPixel(x, x * 48 / 64, qRgb(0x10, 0xe0, 0x20));
    }
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        theirs.save(&buffer, "PNG");
    }
    {
        OtherClipboardOwner picture(QStringLiteral("image/png"), png);
        ASSERT_TRUE(waitUntil([] { return clipboardPng().size() == QSize(64, 48); }, 10000));
        clickAt(inCentralWidget(*window, kUndoButton));
        EXPECT_FALSE(waitForMessageBox(3000).has_value());
        clickAt(inCentralWidget(*window, kCopyButton));
        // The copy takes the clipboard back from the other program.
        ASSERT_TRUE(waitUntil(
            [&] {
                copied = clipboardPng();
                return copied.size() == QSize(64, 48) && samePixels(copied, theirs);
            },
            20000))
            << samePixels(copied, theirs).message() << "; " << app.output().toStdString();
    }
    EXPECT_TRUE(app.isRunning());

    app.terminate();
    EXPECT_EQ(app.waitForExit(20000), std::optional<int>(0)) << app.output().toStdString();
}

TEST(Faults, TheTrayRestartedTheIconComesBackAndItsMenuWorks) {
    PrivateConfigHome config;
    Varnoset app;
    ASSERT_TRUE(startProgram(app)) << app.output().toStdString();

    soak::HarnessService trayer(QStringLiteral("trayer"));
    ASSERT_TRUE(trayer.stop());
    ASSERT_TRUE(waitUntil([] { return soak::trayPanel().isEmpty(); }, 10000));
    EXPECT_FALSE(waitUntil([&] { return !app.isRunning(); }, 1500));
    // Without a tray the key still captures.
    const QColor colour(0x66, 0x22, 0x88);
    ASSERT_TRUE(captureShown(app, colour).has_value());
    EXPECT_TRUE(isPlainScreen(clipboardPng(), colour));
    ASSERT_TRUE(hide(app));

    ASSERT_TRUE(trayer.restart());
    EXPECT_TRUE(app.waitForTrayIcon(20000)) << "the icon did not dock in the new tray";
    app.chooseFromTrayMenu(3);  // "Open"
    std::optional<WindowId> window;
    EXPECT_TRUE(waitUntil([&] { return (window = app.mainWindow()).has_value(); }, 20000));
    EXPECT_TRUE(app.isRunning());

    app.terminate();
    EXPECT_EQ(app.waitForExit(20000), std::optional<int>(0)) << app.output().toStdString();
}
