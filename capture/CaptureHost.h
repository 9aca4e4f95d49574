#pragma once

#include <QString>

#include <cstdint>

#include "imaging/Picture.h"

namespace varnoset {

// What the capture commands need of the main window: its flags, options and commands.
class CaptureHost {
public:
    virtual ~CaptureHost() = default;

    // HotkeyArmed: while set, a hotkey starts a capture.
    virtual bool hotkeyArmed() const = 0;
    virtual void setHotkeyArmed(bool armed) = 0;
    // ProcessingEnabled: while clear, the image options pass does nothing.
    virtual void setProcessingEnabled(bool enabled) = 0;

    // Hotkey (a virtual-key code) and HotkeyFunction (the capture mode): the values only; the
    // menu checks and the registrations are the capture commands' business.
    virtual std::uint8_t hotkey() const = 0;
    virtual void setHotkey(std::uint8_t virtualKey) = 0;
    virtual int hotkeyFunction() const = 0;
    virtual void setHotkeyFunction(int mode) = 0;

    // Check states: Sound1 (PlaySound), Client1 (Client), NoDialog1 (Direct). Setting NoDialog1
    // leaves the tray menu's NoDialog2 as it is.
    virtual bool soundChecked() const = 0;
    virtual bool clientChecked() const = 0;
    virtual bool directChecked() const = 0;
    virtual void setDirectChecked(bool checked) = 0;
    // Inverts the check of Suspend2, then of Suspend1; returns Suspend1's new state.
    virtual bool toggleSuspendChecks() = 0;

    // SourcePicture, the unprocessed picture.
    virtual const Picture& sourcePicture() const = 0;
    virtual void setSourcePicture(Picture picture) = 0;

    // Shows the main window; its show handler runs the image options pass.
    virtual void showMainWindow() = 0;
    // A plain hide: no flag changes.
    virtual void hideMainWindow() = 0;
    // Arms the hotkey again, unless suspended, when the main window is not shown: the window's
    // own hiding arms it, and a capture that ends without showing or hiding it must not leave
    // the key dead.
    virtual void rearmHotkeyIfHidden() = 0;
    // SetImageOptions, the print command BitBtn1Click and the edit command EditImage1Click, each
    // as called with no sender.
    virtual void setImageOptions() = 0;
    virtual void printPicture() = 0;
    virtual void editPicture() = 0;
    // A desktop notification beside the tray icon.
    virtual void notify(const QString& /*title*/, const QString& /*text*/) {}
};

}  // namespace varnoset
