#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace varnoset {

class Hotkeys;

// Registers the two forms of the hotkey for a key and a capture mode, and keeps the prompt that
// the tray tooltip shows.
class HotkeyRegistrar {
public:
    // checkKeyItem checks the "Define Hotkey" item of a key table row (the radio group unchecks
    // the others); showTrayTip hands the tooltip text to the tray icon.
    HotkeyRegistrar(Hotkeys& hotkeys, std::function<void(int keyRow)> checkKeyItem,
                    std::function<void(const QString& tip)> showTrayTip);

    // Unregisters both identifiers, registers them again as the mode says (nothing for a mode
    // outside 0..3), then takes the key's prompt and menu check from the key table (both stay as
    // they were for a key outside it) and updates the tooltip.
    void registerHotkeys(std::uint8_t hotkey, int hotkeyFunction);
    // The window identifier first, then the screen identifier.
    void unregisterHotkeys();
    void updateTrayTip();
    // Shows "- Suspended -" and releases the registrations of the PrintScreen key, so that the
    // key does its ordinary job meanwhile; any other key stays registered and is swallowed.
    void showSuspended(std::uint8_t hotkey);

    const QString& prompt() const { return prompt_; }
    static QString trayTip(const QString& prompt);

private:
    Hotkeys& hotkeys_;
    std::function<void(int)> checkKeyItem_;
    std::function<void(const QString&)> showTrayTip_;
    QString prompt_;
};

}  // namespace varnoset
