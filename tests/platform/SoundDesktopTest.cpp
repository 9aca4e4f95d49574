#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <cstdlib>
#include <cstring>

#include "platform/linux/CanberraSound.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

using desktop::loudest;
using varnoset::CanberraSound;
using varnoset::test::waitUntil;

namespace {

// Collects what the recorder hands out until a loud stretch has come, or the time is up.
QByteArray recordUntilLoud(QProcess& recorder, int timeoutMs = 5000) {
    QByteArray recorded;
    waitUntil(
        [&] {
            recorded += recorder.readAllStandardOutput();
            return loudest(recorded) > 3000;
        },
        timeoutMs);
    return recorded;
}

}  // namespace

TEST(CanberraSound, TheClickReachesTheSoundServer) {
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("PULSE_SERVER")) << "run with the harness's --pulse";
    // Without --latency-msec the null sink's monitor hands out nothing for about two seconds.
    // While nothing plays it hands out nothing at all, and the first sound after a pause comes
    // through late: so wait for the loud samples rather than for a fixed time.
    QProcess recorder;
    recorder.start(QStringLiteral("parec"), {"-d", "test_sink.monitor", "--latency-msec=20",
                                             "--format=s16le", "--rate=44100", "--channels=2"});
    ASSERT_TRUE(recorder.waitForStarted());
    ASSERT_TRUE(waitUntil([] {
        return !desktop::run(QStringLiteral("pactl"), {"list", "short", "source-outputs"})
                    .out.trimmed()
                    .isEmpty();
    }));

    CanberraSound sound;
    EXPECT_TRUE(sound.playCaptureSound());
    EXPECT_GT(loudest(recordUntilLoud(recorder)), 3000);

    // Once the click is over the sink falls silent; played again, the server's cached copy of
    // the click is heard.
    waitUntil([] { return false; }, 800);
    EXPECT_LT(loudest(recorder.readAllStandardOutput().right(4000)), 64);
    EXPECT_TRUE(sound.playCaptureSound());
    EXPECT_GT(loudest(recordUntilLoud(recorder)), 3000);
    // The click's file has no name: a program killed now leaves nothing in the temporary folder.
    EXPECT_TRUE(QDir::temp().entryList({QStringLiteral("varnoset-click-*")}).isEmpty());

    recorder.terminate();
    recorder.waitForFinished(2000);
}
