#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "capture/WaitWithMessages.h"

using varnoset::WaitWithMessages;

namespace {

// CPU time this process has used so far, in milliseconds.
double cpuMilliseconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

}  // namespace

TEST(WaitWithMessages, KeepsEventsFlowingForTheWholeTime) {
    QObject context;
    bool queued = false;
    QMetaObject::invokeMethod(
        &context, [&] { queued = true; }, Qt::QueuedConnection);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);

    QElapsedTimer clock;
    clock.start();
    WaitWithMessages(200);
    EXPECT_GE(clock.elapsed(), 200);
    EXPECT_TRUE(queued);
    EXPECT_GE(ticks, 3);  // timers keep firing all through the wait, not only at its start

    // Zero still handles what is pending.
    bool pending = false;
    QMetaObject::invokeMethod(
        &context, [&] { pending = true; }, Qt::QueuedConnection);
    WaitWithMessages(0);
    EXPECT_TRUE(pending);
}

TEST(WaitWithMessages, NestedWaitsUnwindInOrder) {
    QElapsedTimer clock;
    clock.start();
    qint64 innerDone = -1;
    QTimer::singleShot(50, [&] {
        WaitWithMessages(300);  // outlives the outer wait's own deadline
        innerDone = clock.elapsed();
    });
    WaitWithMessages(100);
    EXPECT_GE(innerDone, 350);
    EXPECT_GE(clock.elapsed(), innerDone);
}

TEST(WaitWithMessages, SleepsInsteadOfSpinning) {
    const double before = cpuMilliseconds();
    WaitWithMessages(400);
    // A busy wait would use the whole 400 ms of one core.
    EXPECT_LT(cpuMilliseconds() - before, 150.0);
}
