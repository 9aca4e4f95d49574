#pragma once

#include <QString>

namespace varnoset {

// What only the main window can do for the capture commands. The state they share (pictures,
// flags, option globals) is the window's WindowState, which the commands change directly.
class CaptureHost {
public:
    virtual ~CaptureHost() = default;

    // Shows the main window; its show handler runs the image options pass.
    virtual void showMainWindow() = 0;
    // A plain hide: no flag changes.
    virtual void hideMainWindow() = 0;
    // Whether the main window is on the screen (also when the desktop minimised it without
    // telling the program).
    virtual bool mainWindowShown() const = 0;
    // Arms the hotkey again, unless suspended, when the main window is not shown: the window's
    // own hiding arms it, and a capture that ends without showing or hiding it must not leave
    // the key dead.
    virtual void rearmHotkeyIfHidden() = 0;
    // SetImageOptions, the print command BitBtn1Click and the edit command EditImage1Click, each
    // as called with no sender. Printing says whether there was a printer to print on.
    virtual void setImageOptions() = 0;
    virtual bool printPicture() = 0;
    virtual void editPicture() = 0;
    // A new capture is in SourcePicture, before it is shown or printed.
    virtual void captureTaken() {}
    // A desktop notification beside the tray icon.
    virtual void notify(const QString& /*title*/, const QString& /*text*/) {}
};

}  // namespace varnoset
