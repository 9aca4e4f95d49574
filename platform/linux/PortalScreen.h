#pragma once

#include <QImage>
#include <QObject>
#include <QVariantMap>
#include <optional>

#include "platform/Screen.h"

class QEventLoop;

namespace varnoset {

// The screen of a Wayland session, read through the desktop portal's non-interactive
// screenshot (org.freedesktop.portal.Screenshot): no Wayland client may read the screen itself.
class PortalScreen final : public QObject, public Screen {
    Q_OBJECT
public:
    // How long a request may take before it counts as failed.
    static constexpr int kDefaultTimeoutMs = 5000;

    explicit PortalScreen(int timeoutMs = kDefaultTimeoutMs);

    // The output layout in device pixels, as the portal's picture has it.
    QSize size() const override;
    int bitsPerPixel() const override { return 32; }
    QSize dotsPerInch() const override;
    // The part of the rectangle that lies on the portal's picture; what lies beyond stays black.
    // Throws varnoset::Error with a message for the user when the portal is missing, refuses,
    // fails or does not answer in time.
    Picture grab(const QRect& rect) override;
    bool placesOwnWindows() const override { return false; }

    // One whole screenshot: the portal's file is read and deleted.
    QImage shoot();

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    int timeoutMs_;
    int requests_ = 0;
    QEventLoop* waiting_ = nullptr;
    std::optional<uint> response_;
    QString uri_;
};

}  // namespace varnoset
