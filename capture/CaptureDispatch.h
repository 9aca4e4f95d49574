#pragma once

#include <functional>
#include <optional>

#include "capture/CaptureRect.h"

namespace varnoset {

class ActiveWindow;
class CaptureHost;
class Clipboard;
class HotkeyRegistrar;
class Screen;
class Sound;
struct WindowState;

// The desktop parts a capture uses.
struct CaptureDevices {
    Screen& screen;
    ActiveWindow& activeWindow;
    Sound& sound;
    Clipboard& clipboard;
};

// The capture options the main window's menus hold, read when a command starts.
struct CaptureChecks {
    bool sound = false;   // Sound1: a sound as the hotkey is pressed
    bool client = false;  // Client1: the window hotkey takes the client area only
    bool direct = false;  // NoDialog1: printed at once instead of shown
};

// What one capture takes.
enum class CaptureKind {
    Desktop,
    Window,  // the foreground window with its frame
    Client,  // the foreground window's client area
    Region,  // a rectangle the user drags out
};

// Turns a hotkey or a capture command of the main window into a new SourcePicture, then prints
// it at once or shows the main window with it. Also the key, mode and suspend switches. Works on
// the window's state directly; the window itself is reached only for what it alone can do.
class CaptureDispatch {
public:
    // Runs the rectangle overlay; the selection when the overlay ended with a release, nothing
    // when it was closed in any other way.
    using RectangleSelector = std::function<std::optional<CaptureRect>()>;
    // Waits the given milliseconds with the event loop running.
    using Waiter = std::function<void(int ms)>;

    // Without a selector the overlay TForm2 runs; without a waiter, WaitWithMessages.
    CaptureDispatch(WindowState& state, CaptureHost& host, HotkeyRegistrar& registrar,
                    CaptureDevices devices, RectangleSelector selectRectangle = {},
                    Waiter wait = {});

    // A hotkey message with its identifier; ignored while HotkeyArmed is clear.
    void hotkeyMessage(int id, CaptureChecks checks);
    // A capture of that kind delivered as a hotkey's is (sound, clipboard, direct print or the
    // window, the editor in the edit mode); ignored while HotkeyArmed is clear.
    void capture(CaptureKind kind, CaptureChecks checks);
    // Tray menu "Open": the whole screen into the main window.
    void Open1Click();
    // Tray menu "Print the Desktop": the whole screen printed directly, whatever the options say;
    // the options themselves stay as they are.
    void PrinttheDesktop1Click(CaptureChecks checks);
    // "Get Rectangular Area" from the open main window (SpeedButton4Click as well).
    void GetRectangulararea1Click();

    // RegisterHotkeys / UnregisterHotkeys for the state's Hotkey and HotkeyFunction.
    void RegisterHotkeys();
    void UnregisterHotkeys();
    // key0Click ... Key16Click: the key of a key table row becomes the hotkey.
    void keyClick(int keyRow);
    // Action1Click ... Action4Click: the mode 0..3 becomes HotkeyFunction.
    void actionClick(int mode);
    // After Suspend1Click has turned the menu's check marks: suspends, or resumes and re-arms.
    void setSuspended(bool suspended);

    // Runs the overlay; when a rectangle of at least 16 x 16 pixels was chosen, waits for the
    // windows beneath to repaint and captures it from the live screen through the clipboard.
    void CaptureSelectedRect();

private:
    void PlayHotkeySound(CaptureChecks checks);
    void CaptureDesktop();
    void CaptureForegroundWindow(bool clientArea);
    // Where the active window cannot be located: says so once, then the rectangle overlay.
    void CaptureUnlocatableWindow();
    void CaptureAndRoundTrip(CaptureRect rect);
    void DeliverCapture(bool editAllowed, bool direct);

    WindowState& state_;
    CaptureHost& host_;
    HotkeyRegistrar& registrar_;
    CaptureDevices devices_;
    RectangleSelector selectRectangle_;
    Waiter wait_;
    bool toldWindowUnlocatable_ = false;
};

}  // namespace varnoset
