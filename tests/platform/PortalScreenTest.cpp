// The portal screen against a stand-in portal on a private session bus: the answers a real
// portal gives only rarely (cancelled, silent, missing) and the crop of its picture.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "core/Error.h"
#include "imaging/QtPictureConversion.h"
#include "platform/linux/PortalScreen.h"
#include "tests/support/WaitUntil.h"

using namespace varnoset;

namespace {

class PortalScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        // A bus that starts no services: the machine's own portal must not answer here.
        const QString config = dir_.filePath("bus.conf");
        QFile file(config);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
            "<auth>EXTERNAL</auth><policy context=\"default\"><allow own=\"*\"/>"
            "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy>"
            "</busconfig>");
        file.close();
        // Each test runs in a process of its own: the bus is chosen before Qt first asks for it.
        bus_.start("dbus-daemon", {"--config-file=" + config, "--nofork", "--print-address"});
        ASSERT_TRUE(bus_.waitForReadyRead(10000));
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus_.readLine().trimmed());
    }
    void TearDown() override {
        for (QProcess* p : {&portal_, &bus_}) {
            p->kill();
            p->waitForFinished(5000);
        }
    }
    void startPortal(const QStringList& behaviour) {
        const QString ready = dir_.filePath("ready");
        portal_.start(QStringLiteral(VARNOSET_FAKE_PORTAL), QStringList{ready} + behaviour);
        for (int i = 0; i < 200 && !QFile::exists(ready); ++i) {
            QThread::msleep(50);
        }
        ASSERT_TRUE(QFile::exists(ready)) << portal_.readAllStandardError().toStdString();
    }
    // The message of the error the grab ends with; empty when it succeeds.
    static std::string grabError(PortalScreen& screen) {
        try {
            screen.grab(QRect(0, 0, 4, 4));
        } catch (const Error& error) {
            return error.what();
        }
        return {};
    }

    QTemporaryDir dir_;
    QProcess bus_;
    QProcess portal_;
};

}  // namespace

TEST_F(PortalScreenTest, ThePictureIsCroppedBlackBeyondItsEdgeAndItsFileDeleted) {
    QImage shot(4, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            shot.setPixel(x, y, qRgb(10 * x, 10 * y, 200));
        }
    }
    const QString file = dir_.filePath("shot.png");
    ASSERT_TRUE(shot.save(file));
    startPortal({"answer", "0", file});

    PortalScreen screen;
    const QImage got = toQImage(screen.grab(QRect(2, 1, 3, 3)));
    ASSERT_EQ(got.size(), QSize(3, 3));
    EXPECT_EQ(got.pixel(0, 0), qRgb(20, 10, 200));
    EXPECT_EQ(got.pixel(1, 1), qRgb(30, 20, 200));
    EXPECT_EQ(qRgb(qRed(got.pixel(2, 0)), qGreen(got.pixel(2, 0)), qBlue(got.pixel(2, 0))),
              qRgb(0, 0, 0));  // x 4 lies beyond the picture
    EXPECT_EQ(qRgb(qRed(got.pixel(0, 2)), qGreen(got.pixel(0, 2)), qBlue(got.pixel(0, 2))),
              qRgb(0, 0, 0));  // y 3 as well
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(PortalScreenTest, NoPortalOrARefusalIsAFailedCaptureWithItsReason) {
    {
        PortalScreen screen(1000);
        EXPECT_NE(grabError(screen).find("offers no screenshot portal"), std::string::npos);
    }
    // "Cancelled" at once: nobody was asked, so the desktop refused (KDE Plasma's portal
    // without a pictures folder answers so).
    startPortal({"answer", "1"});
    PortalScreen screen;
    const std::string error = grabError(screen);
    EXPECT_NE(error.find("refused"), std::string::npos) << error;
}

TEST_F(PortalScreenTest, ACancelAfterTheDesktopAskedSaysCancelled) {
    startPortal({"late", "1.5", "1"});
    PortalScreen screen;
    const std::string error = grabError(screen);
    EXPECT_NE(error.find("cancelled"), std::string::npos) << error;
}

TEST_F(PortalScreenTest, AnAnswerAfterTheWaitWasGivenUpHasItsFileRemoved) {
    const QString file = dir_.filePath("late.png");
    ASSERT_TRUE(QImage(4, 4, QImage::Format_RGB32).save(file));
    startPortal({"late", "1", "0", file});
    PortalScreen screen(300);
    EXPECT_NE(grabError(screen).find("did not answer in time"), std::string::npos);
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(varnoset::test::waitUntil([&] { return !QFile::exists(file); }, 5000));
}
