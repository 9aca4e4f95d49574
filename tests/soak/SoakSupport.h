#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>

#include "tests/support/DesktopSupport.h"

// What the soak and fault tests need beyond the shared desktop helpers: quick X queries from a
// connection of the test's own, the program's memory, the harness's services, message boxes.
namespace soak {

using desktop::WindowId;

// An X connection of the test's own, for queries that must be cheap enough to poll.
class XProbe {
public:
    XProbe();
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    // Whether the window is mapped and shown (it and all its ancestors mapped).
    bool isViewable(WindowId window);
    // The cursor the server shows now, as XFixes gives it (null when the extension is missing).
    QImage cursorImage();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// VmRSS of the process in kB, from /proc/<pid>/status; -1 when it cannot be read.
long residentKb(qint64 pid);
// Whether the process has ended: gone, or a zombie its parent has not collected yet.
bool processEnded(qint64 pid);

// One of the harness's services ("trayer", "cupsd", "pulse"), by the pid the harness exported in
// VARNOSET_<NAME>_PID.
class HarnessService {
public:
    explicit HarnessService(QString name) : name_(std::move(name)) {}
    qint64 pid() const;
    // SIGTERM, then waits until the process has ended.
    bool stop(int timeoutMs = 15000) const;
    // Starts the service again as the harness started it, and exports its new pid.
    bool restart() const;

private:
    QByteArray pidVariable() const;
    QString name_;
};

// The trayer panel's place on the screen.
QRect trayPanel();

// The box's text, selected with the mouse and read from the PRIMARY selection ("" when it could
// not be found).
QString messageBoxText(WindowId box);
// Presses Return in the box and waits until it has gone.
bool closeMessageBox(WindowId box);

// A point of the main window's central widget (designer coordinates) in root coordinates.
QPoint inCentralWidget(WindowId mainWindow, QPoint at);

}  // namespace soak
