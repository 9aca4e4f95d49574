#pragma once

#include <QImage>
#include <QObject>

#include "platform/Screen.h"

namespace varnoset {

// The screen of a Wayland session, read through the desktop portal's non-interactive
// screenshot (org.freedesktop.portal.Screenshot): no Wayland client may read the screen itself.
class PortalScreen final : public QObject, public Screen {
    Q_OBJECT
public:
    // How long a request may take before it counts as failed: long enough for a person to
    // answer the desktop's question whether to allow screenshots (GNOME asks at the first one).
    static constexpr int kDefaultTimeoutMs = 120000;

    explicit PortalScreen(int timeoutMs = kDefaultTimeoutMs);

    // The output layout in device pixels, as the portal's picture has it.
    QSize size() const override;
    int bitsPerPixel() const override { return 32; }
    QSize dotsPerInch() const override;
    // The part of the rectangle that lies on the portal's picture; what lies beyond stays black.
    // Throws varnoset::Error with a message for the user when the portal is missing, refuses,
    // is cancelled, fails or does not answer in time.
    Picture grab(const QRect& rect) override;
    bool placesOwnWindows() const override { return false; }

    // One whole screenshot: the portal's file is read and deleted, also when it comes after
    // the wait was given up.
    QImage shoot();

private:
    int timeoutMs_;
    int requests_ = 0;
};

}  // namespace varnoset
