#include "capture/HotkeyRegistrar.h"

#include <QStringList>
#include <algorithm>

#include "capture/KeyTable.h"
#include "platform/Hotkeys.h"

namespace varnoset {

namespace {

// The command that captures what a form of the key would have captured.
QString commandFor(const HotkeyBinding& form, int hotkeyFunction) {
    if (form.id == kWindowHotkey) {
        return QStringLiteral("varnoset --capture window");
    }
    return hotkeyFunction == kRectangleMode ? QStringLiteral("varnoset --capture region")
                                            : QStringLiteral("varnoset --capture desktop");
}

QString formName(const QString& keyName, const HotkeyBinding& form) {
    return form.withAlt ? QStringLiteral("Alt+") + keyName : keyName;
}

// The key alone first, as the prompt names it.
std::vector<HotkeyBinding> keyAloneFirst(std::vector<HotkeyBinding> forms) {
    std::stable_sort(forms.begin(), forms.end(),
                     [](const auto& a, const auto& b) { return !a.withAlt && b.withAlt; });
    return forms;
}

// "PrintScreen: varnoset --capture desktop; Alt+PrintScreen: varnoset --capture window"
QString shortcutList(const QString& keyName, const std::vector<HotkeyBinding>& forms,
                     int hotkeyFunction) {
    QStringList bindings;
    for (const HotkeyBinding& form : forms) {
        bindings << formName(keyName, form) + QStringLiteral(": ") +
                        commandFor(form, hotkeyFunction);
    }
    return bindings.join(QStringLiteral("; "));
}

}  // namespace

HotkeyRegistrar::HotkeyRegistrar(Hotkeys& hotkeys, std::function<void(int)> checkKeyItem,
                                 std::function<void(const QString&)> showTrayTip, Notify notify)
    : hotkeys_(hotkeys),
      checkKeyItem_(std::move(checkKeyItem)),
      showTrayTip_(std::move(showTrayTip)),
      notify_(std::move(notify)) {
    retryTimer_.setInterval(kRetryIntervalMs);
    QObject::connect(&retryTimer_, &QTimer::timeout, [this] { retryRefused(); });
    hotkeys_.setHeldChangedHandler([this] {
        if (takeHeldStates()) {
            updateTrayTip();
        }
    });
}

void HotkeyRegistrar::registerHotkeys(std::uint8_t hotkey, int hotkeyFunction) {
    const CaptureMode* mode = captureModeFor(hotkeyFunction);
    // The same key in the same mode again (the stored mode after the keys at start-up) stays held
    // throughout: releasing it first would cost the desktop round trips and leave a moment in
    // which another program could take it. Any change releases both forms first, since a mode
    // may give one form the other's identifier.
    if (mode != nullptr && hotkey == hotkey_ && hotkeyFunction == hotkeyFunction_) {
        forgetRegistration();
    } else {
        unregisterHotkeys();
    }
    hotkey_ = hotkey;
    hotkeyFunction_ = hotkeyFunction;
    suspended_ = false;
    const auto row = keyTableRowOf(hotkey);
    if (mode != nullptr) {
        // A code outside the table has no key symbol here, so its registration grabs nothing.
        const std::uint32_t keySymbol =
            row ? KeyTable[static_cast<std::size_t>(*row)].keySymbol : 0;
        for (const HotkeyBinding& binding : mode->bindings) {
            hotkeys_.registerHotkey(
                binding.id, binding.withAlt ? Hotkeys::Modifier::Alt : Hotkeys::Modifier::None,
                keySymbol);
        }
    }
    if (row) {
        prompt_ = QString::fromLatin1(KeyTable[static_cast<std::size_t>(*row)].prompt);
        checkKeyItem_(*row);
    }
    takeHeldStates();
    updateTrayTip();
}

void HotkeyRegistrar::unregisterHotkeys() {
    hotkeys_.unregisterHotkey(kWindowHotkey);
    hotkeys_.unregisterHotkey(kScreenHotkey);
    forgetRegistration();
}

void HotkeyRegistrar::forgetRegistration() {
    hotkeyFunction_ = -1;
    refused_.clear();
    retryTimer_.stop();
}

// Which forms another program holds now; the tooltip follows a change, the timer runs while any
// is held elsewhere, and the first refusal of a key and mode is announced.
bool HotkeyRegistrar::takeHeldStates() {
    std::vector<HotkeyBinding> refused;
    const CaptureMode* mode = captureModeFor(hotkeyFunction_);
    if (mode != nullptr && keyTableRowOf(hotkey_)) {
        for (const HotkeyBinding& binding : mode->bindings) {
            if (!hotkeys_.isHeld(binding.id)) {
                refused.push_back(binding);
            }
        }
    }
    const auto ids = [](const std::vector<HotkeyBinding>& forms) {
        std::vector<int> list;
        for (const HotkeyBinding& form : forms) {
            list.push_back(form.id);
        }
        return list;
    };
    const bool changed = ids(refused) != ids(refused_);
    refused_ = std::move(refused);
    if (refused_.empty()) {
        if (mode != nullptr) {
            noticed_.reset();  // held: a later refusal is news again
        }
        retryTimer_.stop();
    } else {
        if (!retryTimer_.isActive()) {
            retryTimer_.start();
        }
        // While suspended the user has put the key aside: resuming tells.
        const std::pair key{hotkey_, hotkeyFunction_};
        if (noticed_ != key && !suspended_ && notify_) {
            noticed_ = key;
            const Notice notice = refusedNotice(keyName(), refused_, hotkeyFunction_);
            notify_(notice.title, notice.text);
        }
    }
    return changed;
}

void HotkeyRegistrar::retryRefused() {
    if (refused_.empty()) {
        retryTimer_.stop();
        return;
    }
    hotkeys_.retryRefused();
    if (takeHeldStates()) {
        updateTrayTip();
    }
}

QString HotkeyRegistrar::keyName() const {
    const auto row = keyTableRowOf(hotkey_);
    QString name =
        row ? QString::fromLatin1(KeyTable[static_cast<std::size_t>(*row)].prompt) : QString();
    name.remove(QStringLiteral("Press "));
    return name;
}

QString HotkeyRegistrar::trayTip(const QString& prompt) {
    return QStringLiteral("Varnoset\u00AE v3.00  [ ") + prompt + QStringLiteral(" ]");
}

QString HotkeyRegistrar::desktopShortcuts(bool keyAloneOnly) const {
    const CaptureMode* mode = captureModeFor(hotkeyFunction_);
    if (!hotkeys_.boundByDesktop() || suspended_ || mode == nullptr || !keyTableRowOf(hotkey_)) {
        return {};
    }
    std::vector<HotkeyBinding> forms =
        keyAloneFirst({mode->bindings.begin(), mode->bindings.end()});
    if (keyAloneOnly) {
        forms.resize(1);
    }
    return shortcutList(keyName(), forms, hotkeyFunction_);
}

void HotkeyRegistrar::updateTrayTip() {
    // The tray icon keeps 62 characters of a tooltip: the key alone fits.
    const QString shortcut = desktopShortcuts(true);
    if (!shortcut.isEmpty()) {
        showTrayTip_(trayTip(shortcut));
        return;
    }
    if (suspended_ || refused_.empty()) {
        showTrayTip_(trayTip(prompt_));
        return;
    }
    // The key alone is what the prompt invites, so its refusal is the one named.
    const auto alone = std::find_if(refused_.begin(), refused_.end(),
                                    [](const HotkeyBinding& form) { return !form.withAlt; });
    const HotkeyBinding& form = alone != refused_.end() ? *alone : refused_.front();
    showTrayTip_(trayTip(formName(keyName(), form) + QStringLiteral(" used by another program")));
}

void HotkeyRegistrar::showSuspended(std::uint8_t hotkey) {
    prompt_ = QStringLiteral("- Suspended -");
    suspended_ = true;
    noticed_.reset();  // resuming registers anew
    updateTrayTip();
    if (hotkey == kPrintScreenKey) {
        unregisterHotkeys();
    }
}

HotkeyRegistrar::Notice HotkeyRegistrar::refusedNotice(const QString& keyName,
                                                       const std::vector<HotkeyBinding>& refused,
                                                       int hotkeyFunction) {
    const std::vector<HotkeyBinding> ordered = keyAloneFirst(refused);
    QStringList forms;
    for (const HotkeyBinding& form : ordered) {
        forms << formName(keyName, form);
    }
    const QString taken = forms.join(QStringLiteral(" and "));
    Notice notice;
    notice.title = taken + (forms.size() > 1 ? QStringLiteral(" are used by another program")
                                             : QStringLiteral(" is used by another program"));
    notice.text = QStringLiteral(
                      "Another program holds %1. Choose another "
                      "key in Options \u25B8 Define Hotkey, or free the key in the desktop's "
                      "keyboard settings, or bind it there to the command (%2). Varnoset takes "
                      "the key as soon as it is free.")
                      .arg(taken, shortcutList(keyName, ordered, hotkeyFunction));
    return notice;
}

}  // namespace varnoset
