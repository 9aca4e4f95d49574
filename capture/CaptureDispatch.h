#pragma once

#include <functional>
#include <optional>

#include "capture/CaptureRect.h"
#include "capture/StillSelection.h"

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

// How a capture command from the command line ends.
enum class CommandResult {
    Done,          // captured and delivered
    NothingTaken,  // the rectangle was not dragged out (cancelled, or too small)
    Busy,          // another capture was running
    Suspended,     // the key's command while the key is suspended
    NoMode,        // the key's command with no capture mode chosen
    NoPrinter,     // captured, but there is no printer to print it on
};

// Where a command's picture goes: as the hotkey's (direct print or the window, the editor in the
// edit mode), into the window (the tray's "Open"), or to the printer ("Print the Desktop").
enum class Delivery { AsHotkey, Window, Printer };

// Turns a hotkey or a capture command of the main window into a new SourcePicture, then prints
// it at once or shows the main window with it. Also the key, mode and suspend switches. Works on
// the window's state directly; the window itself is reached only for what it alone can do.
class CaptureDispatch {
public:
    // Runs the rectangle overlay; the selection and the still picture it was made over when the
    // overlay ended with a release, nothing when it was closed in any other way.
    using RectangleSelector = std::function<std::optional<StillSelection>()>;
    // Waits the given milliseconds with the event loop running.
    using Waiter = std::function<void(int ms)>;

    // Without a selector the overlay TForm2 runs; without a waiter, WaitWithMessages.
    CaptureDispatch(WindowState& state, CaptureHost& host, HotkeyRegistrar& registrar,
                    CaptureDevices devices, RectangleSelector selectRectangle = {},
                    Waiter wait = {});

    // A hotkey message with its identifier; ignored while HotkeyArmed is clear.
    void hotkeyMessage(int id, CaptureChecks checks);
    // A capture of that kind delivered as a hotkey's is (sound, clipboard, direct print or the
    // window, the editor in the edit mode); ignored while HotkeyArmed is clear. A rectangle not
    // dragged out delivers nothing. Whether a picture was delivered.
    bool capture(CaptureKind kind, CaptureChecks checks);

    // A capture asked for from the command line. Unlike the key it also captures while the main
    // window is shown (the window steps aside for the grab and comes back with the new picture)
    // and while suspended; only a capture already running turns it away.
    CommandResult commandCapture(CaptureKind kind, CaptureChecks checks, Delivery delivery);
    // What the key alone, or Alt with the key, does in the chosen mode, asked for from the
    // command line where the desktop binds the key: as commandCapture, but nothing while
    // suspended. Tells the registrar that the desktop hands this form of the key over.
    CommandResult hotkeyCommand(bool withAlt, CaptureChecks checks);
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

    // Runs the overlay; when a rectangle of at least 16 x 16 pixels was chosen, cuts it from the
    // still picture the overlay showed and puts it through the clipboard. Whether one was.
    bool CaptureSelectedRect();

private:
    // The capture of the kind a form of the key takes in the current mode.
    CaptureKind kindOf(int id, CaptureChecks checks) const;
    // Disarms the key, plays the sound and takes the picture; false when no rectangle was taken.
    bool take(CaptureKind kind, CaptureChecks checks);
    // Hides the main window for a step that takes a picture; shows it again if the step throws.
    bool withWindowAside(const std::function<bool()>& step);
    void PlayHotkeySound(CaptureChecks checks);
    void CaptureDesktop();
    void CaptureForegroundWindow(bool clientArea);
    // Where the active window cannot be located: says so once, then the rectangle overlay.
    bool CaptureUnlocatableWindow();
    void CaptureAndRoundTrip(CaptureRect rect);
    void RoundTrip(Picture picture);
    // Prints or shows the new picture; false when it was to be printed and there is no printer.
    bool DeliverCapture(bool editAllowed, bool direct);
    bool deliver(CaptureKind kind, CaptureChecks checks, Delivery delivery);

    WindowState& state_;
    CaptureHost& host_;
    HotkeyRegistrar& registrar_;
    CaptureDevices devices_;
    RectangleSelector selectRectangle_;
    Waiter wait_;
    bool toldWindowUnlocatable_ = false;
    bool suspended_ = false;
    bool capturing_ = false;  // a capture or a capture command is under way
};

}  // namespace varnoset
