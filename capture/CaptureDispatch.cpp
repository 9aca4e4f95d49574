#include "capture/CaptureDispatch.h"

#include <algorithm>

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
constexpr int kHideMainWindowDelayMs = 500;  // the windows under the main window repaint

// A capture under way for its scope, also when an error ends it: no second one starts inside it,
// and at its end the key is armed again where the window stays hidden (a direct print that ends
// early or fails, a capture that fails or takes nothing leaves it hidden without the hiding that
// arms the key).
class CaptureScope {
public:
    CaptureScope(bool& capturing, CaptureHost& host) : capturing_(capturing), host_(host) {
        capturing_ = true;
    }
    ~CaptureScope() {
        host_.rearmHotkeyIfHidden();
        capturing_ = false;
    }
    CaptureScope(const CaptureScope&) = delete;
    CaptureScope& operator=(const CaptureScope&) = delete;

private:
    bool& capturing_;
    CaptureHost& host_;
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

CaptureKind CaptureDispatch::kindOf(int id, CaptureChecks checks) const {
    if (id == kScreenHotkey) {
        return state_.HotkeyFunction == kRectangleMode ? CaptureKind::Region : CaptureKind::Desktop;
    }
    return checks.client ? CaptureKind::Client : CaptureKind::Window;
}

void CaptureDispatch::hotkeyMessage(int id, CaptureChecks checks) {
    if (id == kScreenHotkey || id == kWindowHotkey) {
        capture(kindOf(id, checks), checks);
    }
}

bool CaptureDispatch::capture(CaptureKind kind, CaptureChecks checks) {
    if (!state_.HotkeyArmed || capturing_) {
        return false;
    }
    const CaptureScope scope(capturing_, host_);
    if (!take(kind, checks)) {
        return false;
    }
    DeliverCapture(kind != CaptureKind::Region, checks.direct);
    return true;
}

CommandResult CaptureDispatch::commandCapture(CaptureKind kind, CaptureChecks checks,
                                              Delivery delivery) {
    if (capturing_) {
        return CommandResult::Busy;
    }
    const CaptureScope scope(capturing_, host_);
    if (delivery == Delivery::Window) {
        checks.sound = false;  // as the tray's "Open"
    }
    if (!host_.mainWindowShown()) {
        if (!take(kind, checks)) {
            return CommandResult::NothingTaken;
        }
        return deliver(kind, checks, delivery) ? CommandResult::Done : CommandResult::NoPrinter;
    }
    // The window comes back with the new picture (or as it was, when nothing was taken).
    const bool taken = withWindowAside([&] { return take(kind, checks); });
    if (taken && delivery == Delivery::Printer) {
        return DeliverCapture(false, true) ? CommandResult::Done : CommandResult::NoPrinter;
    }
    host_.showMainWindow();
    if (!taken) {
        return CommandResult::NothingTaken;
    }
    if (delivery == Delivery::AsHotkey && kind != CaptureKind::Region &&
        state_.HotkeyFunction == kEditMode) {
        host_.editPicture();
    }
    return CommandResult::Done;
}

CommandResult CaptureDispatch::hotkeyCommand(bool withAlt, CaptureChecks checks) {
    const CaptureMode* mode = captureModeFor(state_.HotkeyFunction);
    if (mode == nullptr) {
        return CommandResult::NoMode;
    }
    // The desktop has handed the key over, whatever becomes of the command.
    registrar_.deliveredByDesktop(withAlt);
    if (suspended_) {
        return CommandResult::Suspended;
    }
    const auto form =
        std::find_if(mode->bindings.begin(), mode->bindings.end(),
                     [withAlt](const HotkeyBinding& b) { return b.withAlt == withAlt; });
    return commandCapture(kindOf(form->id, checks), checks, Delivery::AsHotkey);
}

bool CaptureDispatch::deliver(CaptureKind kind, CaptureChecks checks, Delivery delivery) {
    switch (delivery) {
        case Delivery::AsHotkey:
            return DeliverCapture(kind != CaptureKind::Region, checks.direct);
        case Delivery::Window:
            host_.showMainWindow();
            return true;
        case Delivery::Printer:
            return DeliverCapture(false, true);
    }
    return false;
}

bool CaptureDispatch::withWindowAside(const std::function<bool()>& step) {
    // The window steps aside so that the picture shows what lies beneath it; an error brings it
    // back as it was, with the picture it had.
    host_.hideMainWindow();
    try {
        wait_(kHideMainWindowDelayMs);
        return step();
    } catch (...) {
        host_.showMainWindow();
        throw;
    }
}

bool CaptureDispatch::take(CaptureKind kind, CaptureChecks checks) {
    // HotkeyArmed is cleared before anything else, so that a hotkey arriving in one of the nested
    // event loops below cannot start a second capture inside this one.
    state_.HotkeyArmed = false;
    PlayHotkeySound(checks);
    switch (kind) {
        case CaptureKind::Desktop:
            CaptureDesktop();
            return true;
        case CaptureKind::Window:
        case CaptureKind::Client:
            if (!devices_.activeWindow.canLocate()) {
                return CaptureUnlocatableWindow();
            }
            CaptureForegroundWindow(kind == CaptureKind::Client);
            return true;
        case CaptureKind::Region:
            return CaptureSelectedRect();
    }
    return false;
}

void CaptureDispatch::Open1Click() {
    wait_(kTrayMenuDelayMs);
    if (capturing_) {
        return;
    }
    const CaptureScope scope(capturing_, host_);
    take(CaptureKind::Desktop, CaptureChecks{});
    host_.showMainWindow();
}

void CaptureDispatch::PrinttheDesktop1Click(CaptureChecks checks) {
    wait_(kTrayMenuDelayMs);
    if (capturing_) {
        return;
    }
    // The screen key's capture in the first mode, printed directly: the stored mode and "No
    // Dialog" are not consulted, and so stay as they are however the capture ends.
    state_.HotkeyArmed = true;
    checks.direct = true;
    capture(CaptureKind::Desktop, checks);
}

void CaptureDispatch::GetRectangulararea1Click() {
    if (capturing_) {
        return;
    }
    const CaptureScope scope(capturing_, host_);
    withWindowAside([this] { return CaptureSelectedRect(); });
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
    suspended_ = suspended;
    state_.HotkeyArmed = false;
    registrar_.showSuspended(state_.Hotkey);
    if (suspended) {
        return;
    }
    RegisterHotkeys();
    state_.HotkeyArmed = true;
}

bool CaptureDispatch::CaptureSelectedRect() {
    const std::optional<StillSelection> selected = selectRectangle_();
    if (!selected) {
        return false;
    }
    const CaptureRect& r = selected->rect;
    const bool bigEnough = std::int64_t{r.right} > std::int64_t{r.left} + 15 &&
                           std::int64_t{r.bottom} > std::int64_t{r.top} + 15;
    if (!bigEnough) {
        return false;
    }
    RoundTrip(CaptureStillRect(selected->still, r));
    return true;
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

bool CaptureDispatch::CaptureUnlocatableWindow() {
    if (!toldWindowUnlocatable_) {
        toldWindowUnlocatable_ = true;
        host_.notify(QStringLiteral("Varnoset"),
                     QStringLiteral("This desktop does not tell programs where the active window "
                                    "is. Drag a rectangle around the window instead."));
    }
    return CaptureSelectedRect();
}

void CaptureDispatch::CaptureAndRoundTrip(CaptureRect rect) {
    RoundTrip(CaptureScreenRect(devices_.screen, rect));
}

void CaptureDispatch::RoundTrip(Picture picture) {
    state_.SourcePicture = std::move(picture);
    state_.SourcePicture = ClipboardRoundTrip(devices_.clipboard, state_.SourcePicture);
    host_.captureTaken();
}

bool CaptureDispatch::DeliverCapture(bool editAllowed, bool direct) {
    if (direct) {
        state_.ProcessingEnabled = true;
        host_.setImageOptions();
        const bool printed = host_.printPicture();
        state_.ProcessingEnabled = false;
        return printed;
    }
    host_.showMainWindow();
    if (editAllowed && state_.HotkeyFunction == kEditMode) {
        host_.editPicture();
    }
    return true;
}

}  // namespace varnoset
