#pragma once

#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "capture/CaptureModes.h"

namespace varnoset {

class Hotkeys;

// The hotkey's name as its prompt gives it ("PrintScreen", "Page-UP"); empty outside the key table.
QString hotkeyName(std::uint8_t hotkey);
// The arguments that do what a form of the key does in every mode: "--hotkey", "--hotkey alt".
QString hotkeyArguments(bool withAlt);

// Registers the two forms of the hotkey for a key and a capture mode, and keeps the prompt that
// the tray tooltip shows. A form that another program holds is taken again as soon as it is free:
// the tooltip says so meanwhile, and a notification tells the user once what to do. A held form
// whose command arrives from the desktop (the desktop binds the key to `varnoset --hotkey`) is
// handed over rather than lost: the tooltip says so, no notification, and it is remembered
// until the form is held here again, another key is chosen, or a press of it is not followed by
// its command (the desktop uses it for something else again).
class HotkeyRegistrar {
public:
    // checkKeyItem checks the "Define Hotkey" item of a key table row (the radio group unchecks
    // the others); showTrayTip hands the tooltip text to the tray icon; notify shows a desktop
    // notification with a title and a text.
    using Notify = std::function<void(const QString& title, const QString& text)>;
    HotkeyRegistrar(Hotkeys& hotkeys, std::function<void(int keyRow)> checkKeyItem,
                    std::function<void(const QString& tip)> showTrayTip, Notify notify = {});
    ~HotkeyRegistrar();
    HotkeyRegistrar(const HotkeyRegistrar&) = delete;
    HotkeyRegistrar& operator=(const HotkeyRegistrar&) = delete;

    // Unregisters both identifiers, unless the key and mode are those registered now, and
    // registers them again as the mode says (nothing for a mode outside 0..3), then takes the
    // key's prompt and menu check from the key table (both stay as they were for a key outside
    // it) and updates the tooltip.
    void registerHotkeys(std::uint8_t hotkey, int hotkeyFunction);
    // The window identifier first, then the screen identifier.
    void unregisterHotkeys();
    void updateTrayTip();
    // Shows "- Suspended -" and releases the registrations of the PrintScreen key, so that the
    // key does its ordinary job meanwhile; any other key stays registered and is swallowed.
    void showSuspended(std::uint8_t hotkey);

    // Tries once more to take the forms that another program holds (the retry timer's step).
    void retryRefused();
    // The forms of the current registration that another program holds.
    const std::vector<HotkeyBinding>& refused() const { return refused_; }

    // The command of a form of the key came from the desktop: a form another program holds is
    // handed over from now on.
    void deliveredByDesktop(bool withAlt);
    // The forms handed over, as stored ("PrintScreen,Alt+PrintScreen"); empty for none.
    QString throughDesktop() const;
    // The key bound in the desktop's own shortcut settings to the commands (true), or given back
    // (false): both forms are handed over from now on, or none.
    void setThroughDesktop(bool bound);
    // The stored forms, taken before the key is first registered; names of another key drop.
    void restoreThroughDesktop(std::uint8_t hotkey, const QString& stored);
    // Called with throughDesktop() whenever the forms handed over change.
    void setThroughDesktopChanged(std::function<void(const QString&)> handler) {
        handedOverChanged_ = std::move(handler);
    }

    const QString& prompt() const { return prompt_; }
    // Where the desktop binds the keys, or holds a form of the key: each form of the key with
    // the command to bind it to ("PrintScreen: varnoset --hotkey; Alt+PrintScreen: varnoset
    // --hotkey alt"), or the key alone; empty where the program holds the keys itself, and for a
    // key or mode outside the tables.
    QString desktopShortcuts(bool keyAloneOnly = false) const;
    static QString trayTip(const QString& prompt);
    // What the notification says when another program holds forms of the key: a short title
    // with the key's name as the prompt gives it, and the advice with the refused forms.
    struct Notice {
        QString title;
        QString text;
    };
    static Notice refusedNotice(const QString& keyName, const std::vector<HotkeyBinding>& refused);

    static constexpr int kRetryIntervalMs = 3000;
    // How long the desktop may take to run the command after a press of a form it hands over.
    static constexpr int kDesktopAnswerMs = 5000;

private:
    // Forgets the mode and the refusals of the registration that ends.
    void forgetRegistration();
    // Reads which forms are held; true when that changed.
    bool takeHeldStates();
    // The refused forms that the desktop does not hand over.
    std::vector<HotkeyBinding> lostForms() const;
    void setHandedOver(std::array<bool, 2> forms);
    // Presses of handed-over forms are watched while there are any.
    void watchPresses();
    void pressedElsewhere(int id);
    // A press of a handed-over form was not followed by its command.
    void desktopDidNotAnswer();
    QString keyName() const;

    Hotkeys& hotkeys_;
    std::function<void(int)> checkKeyItem_;
    std::function<void(const QString&)> showTrayTip_;
    Notify notify_;
    QString prompt_;
    bool suspended_ = false;
    std::uint8_t hotkey_ = 0;
    int hotkeyFunction_ = -1;
    std::vector<HotkeyBinding> refused_;
    // The key whose forms the desktop hands over, and which: [0] alone, [1] with Alt.
    std::uint8_t handedOverKey_ = 0;
    std::array<bool, 2> handedOver_{};
    std::function<void(const QString&)> handedOverChanged_;
    std::array<bool, 2> awaiting_{};  // pressed, its command not yet come
    QTimer desktopAnswer_;
    // The key and mode the user was last told about; cleared once the key is held, or suspended.
    std::optional<std::pair<std::uint8_t, int>> noticed_;
    QTimer retryTimer_;
};

}  // namespace varnoset
