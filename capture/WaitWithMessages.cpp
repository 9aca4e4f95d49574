#include "capture/WaitWithMessages.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace varnoset {

void WaitWithMessages(int ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (ms <= 0) {
        return;
    }
    // A local loop ends on its own timer; an outer loop's timer that fires meanwhile only takes
    // effect once this one has returned, so nested waits unwind in order.
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::AllEvents);
}

}  // namespace varnoset
