#pragma once

#include <QColor>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>

#include "imaging/Picture.h"

// Peers and probes for the capture tests on the harness's private desktop.
namespace capture_desktop {

// The whole screen as another program sees it (ImageMagick's `import -window root`).
QImage independentScreenshot();
// The picture on the CLIPBOARD as image/png, read by xclip; a null image when none is offered.
QImage clipboardPng();
// The picture as a 32-bit image.
QImage imageOf(const varnoset::Picture& picture);

// Runs once the rectangle overlay is on the screen and painted, from inside its event loop.
void whenOverlayShown(std::function<void(QWidget* overlay)> action);
// Runs a command line while the event loop keeps going (so that this process can answer the
// clipboard requests of the command), and waits for it.
QByteArray runServingEvents(const QString& command);

// Runs xdotool with the arguments and waits for it.
void xdotool(const QStringList& args);
// Whether NumLock / CapsLock is on, as `xset q` reports it.
bool lockIsOn(const QString& name);

// A second X client, for taking keys the way another program would.
class OtherClient {
public:
    OtherClient();
    ~OtherClient();
    OtherClient(const OtherClient&) = delete;
    OtherClient& operator=(const OtherClient&) = delete;
    // 0 when every keycode of the keysym was grabbed with the modifiers, else the X error code
    // (10, BadAccess, when another client holds it).
    int grabKey(std::uint32_t keysym, std::uint16_t modifiers);
    void ungrabKey(std::uint32_t keysym, std::uint16_t modifiers);
    // The modifier bit NumLock sits on.
    std::uint16_t numLockMask();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A window at an exact place, outside the window manager's control, filled with one colour or,
// without one, with a pattern that differs at every pixel.
class ProbeWindow : public QWidget {
public:
    explicit ProbeWindow(const QRect& rect, QColor colour = QColor());
    void setColour(QColor colour);
    // Shows it and waits until the server has it on the screen.
    void showAndWait();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor colour_;
};

// xmessage at a given geometry under the window manager, ended with the object.
class ManagedWindow {
public:
    explicit ManagedWindow(const QString& geometry);
    ~ManagedWindow();
    // The client window's id, once it is mapped (0 when it never appeared).
    unsigned long id() const { return id_; }
    void activate();

private:
    QProcess process_;
    unsigned long id_ = 0;
};

}  // namespace capture_desktop
