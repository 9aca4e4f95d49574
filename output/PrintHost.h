#pragma once

#include <QString>

namespace varnoset {

// What the print job and the printer set-up need of the main window.
class PrintHost {
public:
    virtual ~PrintHost() = default;

    // The printer list: whether it is enabled, the selected entry's text and index (-1 and an
    // empty text when nothing is selected).
    virtual bool printerListEnabled() const = 0;
    virtual QString selectedPrinterText() const = 0;
    virtual int selectedPrinterIndex() const = 0;

    // The main window takes no input while disabled.
    virtual void setWindowEnabled(bool enabled) = 0;
    // The progress bar runs from 0 to 70 in steps of 10.
    virtual void stepProgress() = 0;
    virtual void resetProgress() = 0;
    // The hour-glass cursor for the whole application, on or off (set, not stacked).
    virtual void setWaitCursor(bool on) = 0;
    // Waits that many milliseconds while the message loop keeps running.
    virtual void waitWithMessages(int milliseconds) = 0;
    // The window's minimise command: hides it to the tray and re-arms the hotkey.
    virtual void minimize() = 0;
};

}  // namespace varnoset
