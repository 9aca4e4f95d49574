#include "capture/HotkeyRegistrar.h"

#include <QStringList>
#include <algorithm>
#include <iterator>

#include "capture/KeyTable.h"
#include "platform/Hotkeys.h"

namespace varnoset {

namespace {

// The command that does what a form of the key does, in every mode.
QString commandFor(const HotkeyBinding& form) {
    return QStringLiteral("varnoset ") + hotkeyArguments(form.withAlt);
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

// "PrintScreen: varnoset --hotkey; Alt+PrintScreen: varnoset --hotkey alt"
QString shortcutList(const QString& keyName, const std::vector<HotkeyBinding>& forms) {
    QStringList bindings;
    for (const HotkeyBinding& form : forms) {
        bindings << formName(keyName, form) + QStringLiteral(": ") + commandFor(form);
    }
    return bindings.join(QStringLiteral("; "));
}

}  // namespace

QString hotkeyName(std::uint8_t hotkey) {
    const auto row = keyTableRowOf(hotkey);
    QString name =
        row ? QString::fromLatin1(KeyTable[static_cast<std::size_t>(*row)].prompt) : QString();
    name.remove(QStringLiteral("Press "));
    return name;
}

QString hotkeyArguments(bool withAlt) {
    return withAlt ? QStringLiteral("--hotkey alt") : QStringLiteral("--hotkey");
}

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
    desktopAnswer_.setSingleShot(true);
    desktopAnswer_.setInterval(kDesktopAnswerMs);
    QObject::connect(&desktopAnswer_, &QTimer::timeout, [this] { desktopDidNotAnswer(); });
}

HotkeyRegistrar::~HotkeyRegistrar() {
    // The keys may outlive this: nothing of theirs reaches it any more.
    hotkeys_.setHeldChangedHandler(nullptr);
    hotkeys_.setPressedElsewhereHandler(nullptr);
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
    if (hotkey != handedOverKey_) {
        // What the desktop did with another key says nothing about this one.
        handedOverKey_ = hotkey;
        setHandedOver({});
    }
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
// is held elsewhere, and the first refusal of a key and mode that the desktop does not hand over
// is announced. A form held here again is no longer handed over.
bool HotkeyRegistrar::takeHeldStates() {
    std::vector<HotkeyBinding> refused;
    std::array<bool, 2> handedOver = handedOver_;
    const CaptureMode* mode = captureModeFor(hotkeyFunction_);
    if (mode != nullptr && keyTableRowOf(hotkey_)) {
        for (const HotkeyBinding& binding : mode->bindings) {
            if (hotkeys_.isHeld(binding.id)) {
                // Where only the desktop binds keys, "held" says nothing of who has the key.
                handedOver[binding.withAlt ? 1 : 0] =
                    hotkeys_.boundByDesktop() && handedOver[binding.withAlt ? 1 : 0];
            } else {
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
    bool changed = ids(refused) != ids(refused_);
    refused_ = std::move(refused);
    if (handedOver != handedOver_) {
        setHandedOver(handedOver);
        changed = true;
    }
    if (refused_.empty()) {
        if (mode != nullptr) {
            noticed_.reset();  // held: a later refusal is news again
        }
        retryTimer_.stop();
        return changed;
    }
    if (!retryTimer_.isActive()) {
        retryTimer_.start();
    }
    // While suspended the user has put the key aside: resuming tells.
    const std::vector<HotkeyBinding> lost = lostForms();
    const std::pair key{hotkey_, hotkeyFunction_};
    if (!lost.empty() && noticed_ != key && !suspended_ && notify_) {
        noticed_ = key;
        const Notice notice = refusedNotice(keyName(), lost);
        notify_(notice.title, notice.text);
    }
    return changed;
}

std::vector<HotkeyBinding> HotkeyRegistrar::lostForms() const {
    std::vector<HotkeyBinding> lost;
    std::copy_if(refused_.begin(), refused_.end(), std::back_inserter(lost),
                 [this](const HotkeyBinding& form) { return !handedOver_[form.withAlt ? 1 : 0]; });
    return lost;
}

void HotkeyRegistrar::deliveredByDesktop(bool withAlt) {
    awaiting_[withAlt ? 1 : 0] = false;
    const bool refused =
        std::any_of(refused_.begin(), refused_.end(),
                    [withAlt](const HotkeyBinding& f) { return f.withAlt == withAlt; });
    if (!refused || handedOver_[withAlt ? 1 : 0]) {
        return;
    }
    std::array<bool, 2> handedOver = handedOver_;
    handedOver[withAlt ? 1 : 0] = true;
    setHandedOver(handedOver);
    updateTrayTip();
}

void HotkeyRegistrar::setHandedOver(std::array<bool, 2> forms) {
    if (forms == handedOver_) {
        return;
    }
    handedOver_ = forms;
    watchPresses();
    if (handedOverChanged_) {
        handedOverChanged_(throughDesktop());
    }
}

void HotkeyRegistrar::watchPresses() {
    const bool any = handedOver_[0] || handedOver_[1];
    hotkeys_.setPressedElsewhereHandler(
        any ? std::function<void(int)>([this](int id) { pressedElsewhere(id); }) : nullptr);
    if (!any) {
        awaiting_ = {};
        desktopAnswer_.stop();
    }
}

void HotkeyRegistrar::pressedElsewhere(int id) {
    const CaptureMode* mode = captureModeFor(hotkeyFunction_);
    if (mode == nullptr) {
        return;
    }
    for (const HotkeyBinding& form : mode->bindings) {
        if (form.id == id && handedOver_[form.withAlt ? 1 : 0]) {
            awaiting_[form.withAlt ? 1 : 0] = true;
            desktopAnswer_.start();
        }
    }
}

void HotkeyRegistrar::desktopDidNotAnswer() {
    std::array<bool, 2> handedOver = handedOver_;
    for (std::size_t form = 0; form < handedOver.size(); ++form) {
        handedOver[form] = handedOver[form] && !awaiting_[form];
    }
    awaiting_ = {};
    if (handedOver == handedOver_) {
        return;
    }
    setHandedOver(handedOver);
    noticed_.reset();  // the key is lost again: news
    takeHeldStates();
    updateTrayTip();
}

QString HotkeyRegistrar::throughDesktop() const {
    const QString name = hotkeyName(handedOverKey_);
    QStringList forms;
    for (const bool withAlt : {false, true}) {
        if (handedOver_[withAlt ? 1 : 0] && !name.isEmpty()) {
            forms << formName(name, HotkeyBinding{0, withAlt});
        }
    }
    return forms.join(QLatin1Char(','));
}

void HotkeyRegistrar::setThroughDesktop(bool bound) {
    handedOverKey_ = hotkey_;
    setHandedOver(bound ? std::array<bool, 2>{true, true} : std::array<bool, 2>{});
    if (!bound) {
        noticed_.reset();  // the desktop's own again: a refusal is news
    }
    takeHeldStates();
    updateTrayTip();
}

void HotkeyRegistrar::restoreThroughDesktop(std::uint8_t hotkey, const QString& stored) {
    const QString name = hotkeyName(hotkey);
    std::array<bool, 2> forms{};
    for (const QString& form : stored.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        for (const bool withAlt : {false, true}) {
            if (!name.isEmpty() && form == formName(name, HotkeyBinding{0, withAlt})) {
                forms[withAlt ? 1 : 0] = true;
            }
        }
    }
    handedOverKey_ = hotkey;
    handedOver_ = forms;  // as stored: nothing to tell
    watchPresses();
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
    return hotkeyName(hotkey_);
}

QString HotkeyRegistrar::trayTip(const QString& prompt) {
    return QStringLiteral("Varnoset\u00AE v3.00  [ ") + prompt + QStringLiteral(" ]");
}

QString HotkeyRegistrar::desktopShortcuts(bool keyAloneOnly) const {
    const CaptureMode* mode = captureModeFor(hotkeyFunction_);
    const bool desktopHolds = hotkeys_.boundByDesktop() || !refused_.empty();
    if (!desktopHolds || mode == nullptr || !keyTableRowOf(hotkey_)) {
        return {};
    }
    std::vector<HotkeyBinding> forms =
        keyAloneFirst({mode->bindings.begin(), mode->bindings.end()});
    if (keyAloneOnly) {
        forms.resize(1);
    }
    return shortcutList(keyName(), forms);
}

void HotkeyRegistrar::updateTrayTip() {
    // Where only the desktop can bind keys, the tooltip names the command; it keeps 62
    // characters, and the key alone's fits.
    const QString shortcut = desktopShortcuts(true);
    if (!suspended_ && hotkeys_.boundByDesktop() && !shortcut.isEmpty()) {
        showTrayTip_(trayTip(handedOver_[0] ? keyName() + QStringLiteral(" through the desktop")
                                            : shortcut));
        return;
    }
    if (suspended_ || refused_.empty()) {
        showTrayTip_(trayTip(prompt_));
        return;
    }
    // The key alone is what the prompt invites, so its form is the one named: a form lost to
    // another program before one the desktop hands over.
    const std::vector<HotkeyBinding> lost = lostForms();
    const std::vector<HotkeyBinding>& named = lost.empty() ? refused_ : lost;
    const auto alone = std::find_if(named.begin(), named.end(),
                                    [](const HotkeyBinding& form) { return !form.withAlt; });
    const HotkeyBinding& form = alone != named.end() ? *alone : named.front();
    showTrayTip_(trayTip(formName(keyName(), form) +
                         (lost.empty() ? QStringLiteral(" through the desktop")
                                       : QStringLiteral(" used by another program"))));
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
                                                       const std::vector<HotkeyBinding>& refused) {
    const std::vector<HotkeyBinding> ordered = keyAloneFirst(refused);
    QStringList forms;
    for (const HotkeyBinding& form : ordered) {
        forms << formName(keyName, form);
    }
    const bool both = forms.size() > 1;
    // A notification's title is one short line; the advice goes in its text.
    Notice notice;
    notice.title = keyName + QStringLiteral(" is in use");
    notice.text = QStringLiteral(
                      "Another program, often the desktop's screenshot tool, holds %1. In the "
                      "desktop's keyboard shortcuts, bind %2 to Varnoset (%3) or free %2; or "
                      "choose another key in Options \u25B8 Define Hotkey.")
                      .arg(forms.join(QStringLiteral(" and ")),
                           both ? QStringLiteral("them") : QStringLiteral("it"),
                           shortcutList(keyName, ordered));
    return notice;
}

}  // namespace varnoset
