#include "capture/CaptureDispatch.h"

#include "capture/CaptureHost.h"
#include "capture/CaptureModes.h"
#include "capture/CaptureScreenRect.h"
#include "capture/ClipboardRoundTrip.h"
#include "capture/HotkeyRegistrar.h"
#include "capture/KeyTable.h"
#include "capture/RectangleOverlay.h"
#include "capture/WaitWithMessages.h"
#include "capture/WindowState.h"
#include "platform/ActiveWindow.h"
#include "platform/Screen.h"
#include "platform/Sound.h"

namespace varnoset {

namespace {

constexpr int kTrayMenuDelayMs = 400;        // the popup menu leaves the screen meanwhile
constexpr int kSelectionDelayMs = 400;       // the windows under the overlay repaint meanwhile
constexpr int kHideMainWindowDelayMs = 500;  // the windows under the main window repaint

// Runs a step when the scope ends, also when an error ends it.
template <typename Step>
class ScopeExit {
public:
    explicit ScopeExit(Step step) : step_(std::move(step)) {}
    ~ScopeExit() { step_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Step step_;
};

}  // namespace

CaptureDispatch::CaptureDispatch(WindowState& state, CaptureHost& host, HotkeyRegistrar& registrar,
                                 CaptureDevices devices, RectangleSelector selectRectangle,
                                 Waiter wait)
    : state_(state),
      host_(host),
      registrar_(registrar),
      devices_(devices),
      selectRectangle_(std::move(selectRectangle)),
      wait_(std::move(wait)) {
    if (!selectRectangle_) {
        selectRectangle_ = [&screen = devices_.screen] { return TForm2::selectRectangle(screen); };
    }
    if (!wait_) {
        wait_ = WaitWithMessages;
    }
}

void CaptureDispatch::hotkeyMessage(int id, CaptureChecks checks) {
    if (id == kScreenHotkey) {
        capture(
            state_.HotkeyFunction == kRectangleMode ? CaptureKind::Region : CaptureKind::Desktop,
            checks);
    } else if (id == kWindowHotkey) {
        capture(checks.client ? CaptureKind::Client : CaptureKind::Window, checks);
    }
}

void CaptureDispatch::capture(CaptureKind kind, CaptureChecks checks) {
    if (!state_.HotkeyArmed) {
        return;
    }
    // A direct print that ends early (no printer) or fails, or a capture that fails, leaves the
    // window hidden without the hiding that arms the key again.
    ScopeExit rearm([this] { host_.rearmHotkeyIfHidden(); });
    // HotkeyArmed is cleared before anything else, so that a hotkey arriving in one of the nested
    // event loops below cannot start a second capture inside this one.
    state_.HotkeyArmed = false;
    PlayHotkeySound(checks);
    switch (kind) {
        case CaptureKind::Desktop:
            CaptureDesktop();
            break;
        case CaptureKind::Window:
        case CaptureKind::Client:
            if (devices_.activeWindow.canLocate()) {
                CaptureForegroundWindow(kind == CaptureKind::Client);
            } else {
                CaptureUnlocatableWindow();
            }
            break;
        case CaptureKind::Region:
            CaptureSelectedRect();
            break;
    }
    DeliverCapture(kind != CaptureKind::Region, checks.direct);
}

void CaptureDispatch::Open1Click() {
    wait_(kTrayMenuDelayMs);
    // A capture that fails leaves a hidden window hidden, and the key must work again.
    ScopeExit rearm([this] { host_.rearmHotkeyIfHidden(); });
    state_.HotkeyArmed = false;
    CaptureDesktop();
    host_.showMainWindow();
}

void CaptureDispatch::PrinttheDesktop1Click(CaptureChecks checks) {
    wait_(kTrayMenuDelayMs);
    // The screen key's capture in the first mode, printed directly: the stored mode and "No
    // Dialog" are not consulted, and so stay as they are however the capture ends.
    state_.HotkeyArmed = true;
    checks.direct = true;
    capture(CaptureKind::Desktop, checks);
}

void CaptureDispatch::GetRectangulararea1Click() {
    ScopeExit rearm([this] { host_.rearmHotkeyIfHidden(); });
    host_.hideMainWindow();
    try {
        wait_(kHideMainWindowDelayMs);
        CaptureSelectedRect();
    } catch (...) {
        // The window comes back as it was, with the picture it had.
        host_.showMainWindow();
        throw;
    }
    host_.showMainWindow();
}

void CaptureDispatch::RegisterHotkeys() {
    registrar_.registerHotkeys(state_.Hotkey, state_.HotkeyFunction);
}

void CaptureDispatch::UnregisterHotkeys() {
    registrar_.unregisterHotkeys();
}

void CaptureDispatch::keyClick(int keyRow) {
    if (keyRow < 0 || keyRow >= static_cast<int>(KeyTable.size())) {
        return;
    }
    state_.Hotkey = KeyTable[static_cast<std::size_t>(keyRow)].virtualKey;
    RegisterHotkeys();
}

void CaptureDispatch::actionClick(int mode) {
    state_.HotkeyFunction = static_cast<std::uint8_t>(mode);
    RegisterHotkeys();
}

void CaptureDispatch::setSuspended(bool suspended) {
    state_.HotkeyArmed = false;
    registrar_.showSuspended(state_.Hotkey);
    if (suspended) {
        return;
    }
    RegisterHotkeys();
    state_.HotkeyArmed = true;
}

void CaptureDispatch::CaptureSelectedRect() {
    const std::optional<CaptureRect> selected = selectRectangle_();
    if (!selected) {
        return;
    }
    const CaptureRect& r = *selected;
    const bool bigEnough = std::int64_t{r.right} > std::int64_t{r.left} + 15 &&
                           std::int64_t{r.bottom} > std::int64_t{r.top} + 15;
    if (!bigEnough) {
        return;
    }
    wait_(kSelectionDelayMs);
    CaptureAndRoundTrip(r);
}

void CaptureDispatch::PlayHotkeySound(CaptureChecks checks) {
    if (checks.sound && !devices_.sound.playCaptureSound()) {
        devices_.sound.beep();
    }
}

void CaptureDispatch::CaptureDesktop() {
    const QSize size = devices_.screen.size();
    CaptureAndRoundTrip({0, 0, size.width(), size.height()});
}

void CaptureDispatch::CaptureForegroundWindow(bool clientArea) {
    const ActiveWindow::Handle window = devices_.activeWindow.foreground();
    // No window gives a rectangle of zeros, which the clamping turns into the whole screen.
    const QRect rect = window == 0  ? QRect()
                       : clientArea ? devices_.activeWindow.clientRect(window)
                                    : devices_.activeWindow.windowRect(window);
    CaptureAndRoundTrip(CaptureRect::fromQRect(rect));
}

void CaptureDispatch::CaptureUnlocatableWindow() {
    if (!toldWindowUnlocatable_) {
        toldWindowUnlocatable_ = true;
        host_.notify(QStringLiteral("Varnoset"),
                     QStringLiteral("This desktop does not tell programs where the active window "
                                    "is. Drag a rectangle around the window instead."));
    }
    CaptureSelectedRect();
}

void CaptureDispatch::CaptureAndRoundTrip(CaptureRect rect) {
    state_.SourcePicture = CaptureScreenRect(devices_.screen, rect);
    state_.SourcePicture = ClipboardRoundTrip(devices_.clipboard, state_.SourcePicture);
    host_.captureTaken();
}

void CaptureDispatch::DeliverCapture(bool editAllowed, bool direct) {
    if (direct) {
        state_.ProcessingEnabled = true;
        host_.setImageOptions();
        host_.printPicture();
        state_.ProcessingEnabled = false;
        return;
    }
    host_.showMainWindow();
    if (editAllowed && state_.HotkeyFunction == kEditMode) {
        host_.editPicture();
    }
}

}  // namespace varnoset
