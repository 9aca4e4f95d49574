#include "HotkeyRegistrar.h"

#include "CaptureModes.h"
#include "Hotkeys.h"
#include "KeyTable.h"

namespace varnoset {

HotkeyRegistrar::HotkeyRegistrar(Hotkeys& hotkeys, std::function<void(int)> checkKeyItem,
                                 std::function<void(const QString&)> showTrayTip)
    : hotkeys_(hotkeys),
      checkKeyItem_(std::move(checkKeyItem)),
      showTrayTip_(std::move(showTrayTip)) {}

void HotkeyRegistrar::registerHotkeys(std::uint8_t hotkey, int hotkeyFunction) {
    unregisterHotkeys();
    const auto row = keyTableRowOf(hotkey);
    if (const CaptureMode* mode = captureModeFor(hotkeyFunction)) {
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
    updateTrayTip();
}

void HotkeyRegistrar::unregisterHotkeys() {
    hotkeys_.unregisterHotkey(kWindowHotkey);
    hotkeys_.unregisterHotkey(kScreenHotkey);
}

QString HotkeyRegistrar::trayTip(const QString& prompt) {
    return QStringLiteral("Varnoset\u00AE v3.00  [ ") + prompt + QStringLiteral(" ]");
}

void HotkeyRegistrar::updateTrayTip() {
    showTrayTip_(trayTip(prompt_));
}

void HotkeyRegistrar::showSuspended(std::uint8_t hotkey) {
    prompt_ = QStringLiteral("- Suspended -");
    updateTrayTip();
    if (hotkey == kPrintScreenKey) {
        unregisterHotkeys();
    }
}

}  // namespace varnoset
