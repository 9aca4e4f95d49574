// The program in a headless GNOME Shell, driven and watched through Mutter's remote desktop
// (mutter_input.py): the first capture of a new login, which GNOME lets through only once the
// user has allowed screenshots.
#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>

#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

namespace {

using desktop::run;
using varnoset::test::waitUntil;

// Runs mutter_input.py with the actions; its output.
QString mutter(const QStringList& actions) {
    return run(qEnvironmentVariable("VARNOSET_MUTTER_INPUT"), actions, 60000).out;
}

// The screen as the user sees it.
QImage screen() {
    const QString file = QDir::temp().filePath(QStringLiteral("gnome-screen.ppm"));
    QFile::remove(file);
    mutter({QStringLiteral("shot:") + file});
    return QImage(file);
}

// Every picture file below a folder.
QStringList pictureFiles(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, {"*.png", "*.jpg", "*.jpeg"}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << it.next();
    }
    return files;
}

}  // namespace

TEST(Gnome, TheFirstCaptureWaitsForThePermissionQuestionAndLeavesNoFile) {
    ASSERT_EQ(qEnvironmentVariable("VARNOSET_DESKTOP"), QStringLiteral("gnome"));
    const QString bin = qEnvironmentVariable("VARNOSET_BIN");
    QProcess app;
    app.setProcessChannelMode(QProcess::MergedChannels);
    app.start(bin, {});
    ASSERT_TRUE(app.waitForStarted());
    // The icon in the AppIndicator tray says the program is up.
    ASSERT_TRUE(waitUntil([] { return desktop::trayItems().contains("StatusNotifierItem"); }));

    // The desktop's shortcut runs the command; GNOME asks before the first screenshot.
    QElapsedTimer asked;
    asked.start();
    QProcess command;  // answers once the capture is done
    command.start(bin, {"--capture", "desktop"});
    QImage shown;
    ASSERT_TRUE(waitUntil(
        [&] {
            return desktop::squeezed(desktop::ocr(shown = screen()))
                .contains(QStringLiteral("AllowApplicationstoTakeScreenshots"));
        },
        30000));
    // The user reads the question for a while, then allows: Tab moves from "Deny" to "Allow"
    // (the seat's first key after a while is lost: a Shift goes first).
    waitUntil([] { return false; }, int(std::max<qint64>(0, 8000 - asked.elapsed())));
    mutter({"key:ffe1", "sleep:0.3", "key:ff09", "sleep:0.3", "key:ff0d"});

    // The allowed picture: the main window shows it, and a key pressed there offers it to
    // other programs: the whole 1280 x 720 screen, its top bar black.
    const QString pasted = QDir::temp().filePath(QStringLiteral("pasted.png"));
    QImage picture;
    EXPECT_TRUE(waitUntil(
        [&] {
            mutter({"key:ffe1", "sleep:0.3", "key:ffe1", "sleep:0.5",
                    QStringLiteral("sh:wl-paste -n -t image/png > ") + pasted});
            picture = QImage(pasted);
            return picture.size() == QSize(1280, 720);
        },
        30000))
        << picture.width() << "x" << picture.height() << app.readAll().toStdString();
    if (!picture.isNull()) {
        EXPECT_EQ(QColor(picture.pixel(640, 4)), QColor(Qt::black));
    }
    EXPECT_TRUE(command.waitForFinished(10000));
    EXPECT_EQ(command.exitCode(), 0) << command.readAllStandardError().toStdString();
    const QString text = desktop::squeezed(desktop::ocr(screen(), 2));
    EXPECT_FALSE(text.contains(QStringLiteral("couldnotbecaptured"))) << text.toStdString();
    // GNOME wrote the picture to a file; read, it is gone.
    EXPECT_TRUE(pictureFiles(QDir::homePath()).isEmpty())
        << pictureFiles(QDir::homePath()).join(' ').toStdString();

    app.terminate();
    EXPECT_TRUE(app.waitForFinished(10000));
}
