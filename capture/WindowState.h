#pragma once

#include <QString>
#include <cstdint>

#include "imaging/ColorValue.h"
#include "imaging/ImagePipeline.h"
#include "imaging/Picture.h"

namespace varnoset {

// What the main window holds besides its controls: the pictures, the image options pass, the flags
// its commands share and the option globals. Plain data, spelt as the form spells them; the window
// owns one, and the capture commands work on it directly.
struct WindowState {
    Picture SourcePicture;   // the unprocessed picture: a capture, a file, the clipboard's
    Picture PreviewPicture;  // SourcePicture through the image options: shown, printed, saved
    ImagePipeline pipeline;  // keeps the frame pen between passes

    bool ProcessingEnabled = false;  // while clear, the image options pass does nothing
    bool HotkeyArmed = false;        // while set, a hotkey starts a capture
    bool SourceAltered =
        false;  // SourcePicture reduced or swapped since it came in (Undo restores)
    bool DirectSwapRequested = false;  // the next pass swaps the colours in SourcePicture itself

    // Option globals.
    std::uint8_t Hotkey = 44;         // a virtual-key code
    std::uint8_t HotkeyFunction = 0;  // the capture mode
    QString FooterString;
    int FrameSize = 0;
    ColorValue Color1 = 0x000000;  // "Choose 1. Color"
    ColorValue Color2 = 0xFFFFFF;  // "Choose 2. Color"
    QString DefPrinter = QStringLiteral("Default Printer");
    QString SaveFolder;
    QString LoadFolder;
    QString AutoSaveFolder;   // where every capture is saved, while "Save Every Capture" is on
    QString AutoSavePattern;  // the saved captures' file name pattern
    QString ThroughDesktop;   // the forms of the key the desktop hands over, as stored
    QString DesktopKeys;      // the hotkey as bound in the desktop's shortcut settings, or empty

    QString UserName = QStringLiteral("- Not Defined -");
    QString ComputerName = QStringLiteral("- Not Defined -");
    QString OsName = QStringLiteral("- Unknown -");
};

}  // namespace varnoset
