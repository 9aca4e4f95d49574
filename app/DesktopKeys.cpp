#include "app/DesktopKeys.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <cstdio>

#include "app/settings/OptionSet.h"
#include "app/settings/OptionTable.h"
#include "app/settings/SettingsStore.h"
#include "capture/HotkeyRegistrar.h"
#include "capture/KeyTable.h"
#include "core/Error.h"

namespace varnoset {

std::vector<ShortcutKey> shortcutKeysFor(std::uint8_t hotkey) {
    const auto row = keyTableRowOf(hotkey);
    if (!row) {
        throw Error("The hotkey is not one of the keys of Options \u25B8 Define Hotkey.");
    }
    const KeyTableRow& key = KeyTable[static_cast<std::size_t>(*row)];
    const QString name = hotkeyName(hotkey);
    const QString program = programCommand() + QLatin1Char(' ');
    const std::string symbolName(key.symbolName);
    return {{symbolName, key.qtKey, false, name, program + hotkeyArguments(false)},
            {symbolName, key.qtKey, true, name, program + hotkeyArguments(true)}};
}

QString programCommand() {
    const QString self = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("varnoset"));
    if (self.isEmpty() || (!onPath.isEmpty() && QFileInfo(onPath).canonicalFilePath() == self)) {
        return QStringLiteral("varnoset");
    }
    return self.contains(QLatin1Char(' ')) ? QLatin1Char('\'') + self + QLatin1Char('\'') : self;
}

QString planText(const ShortcutPlan& plan) {
    const auto indented = [](const QStringList& lines) {
        return QStringLiteral("    ") + lines.join(QStringLiteral("\n    "));
    };
    if (!plan.writes) {
        return plan.note + QStringLiteral("\n\n") + indented(plan.lines);
    }
    QString text =
        QStringLiteral("Varnoset will change the keyboard shortcuts of %1.\n\n").arg(plan.desktop) +
        QStringLiteral("Today:\n") + indented(plan.today) + QStringLiteral("\n\nAfterwards:\n") +
        indented(plan.lines) + QStringLiteral("\n\n");
    if (!plan.note.isEmpty()) {
        text += plan.note + QStringLiteral("\n\n");
    }
    return text +
           QStringLiteral("What the desktop held is kept: Options \u25B8 \"%1\" puts it back.")
               .arg(QString::fromLatin1(kUnbindKeysCaption));
}

DesktopBinding bindDesktopKeys(DesktopShortcuts& shortcuts, std::uint8_t hotkey) {
    return {shortcuts.desktopId(), hotkey, shortcuts.bind(shortcutKeysFor(hotkey))};
}

void unbindDesktopKeys(DesktopShortcuts& shortcuts, const DesktopBinding& binding) {
    if (binding.desktop != shortcuts.desktopId()) {
        throw Error("The keys were bound in " + binding.desktop + "'s shortcuts: log in to " +
                    binding.desktop + " to give them back there.");
    }
    shortcuts.unbind(binding.settings);
}

void bindAndRecord(DesktopShortcuts& shortcuts, std::uint8_t hotkey,
                   const std::function<void(const DesktopBinding&)>& record) {
    const DesktopBinding binding = bindDesktopKeys(shortcuts, hotkey);
    try {
        record(binding);
    } catch (const Error&) {
        unbindDesktopKeys(shortcuts, binding);
        throw;
    }
}

namespace {

const std::string_view kHotkeyName = optionRow(OptionId::Hotkey).name;
const std::string_view kDesktopKeysName = optionRow(OptionId::DesktopKeys).name;

void writeDesktopKeys(const std::string& text) {
    SettingsStore store(SettingsStore::userFile());
    store.openKey(kSetupKey, true);
    store.writeString(kDesktopKeysName, text);
    store.close();
}

}  // namespace

int runDesktopKeysCommand(DesktopShortcuts& shortcuts, bool bind) {
    try {
        SettingsStore store(SettingsStore::userFile());
        // Before the first start the store holds at most a binding made from here, and the
        // hotkey is PrintScreen.
        const bool firstStart = IsFirstStart(store);
        const std::optional<DesktopBinding> bound =
            decodeDesktopBinding(store.readString(kDesktopKeysName));
        if (bind) {
            if (bound) {
                throw Error(
                    "The keys are bound in the desktop already; give them back first "
                    "(varnoset --unbind-keys).");
            }
            const auto hotkey = static_cast<std::uint8_t>(
                firstStart ? kPrintScreenKey : store.readInteger(kHotkeyName));
            bindAndRecord(shortcuts, hotkey, [](const DesktopBinding& binding) {
                writeDesktopKeys(encodeDesktopBinding(binding));
            });
        } else {
            if (!bound) {
                throw Error(
                    "The keys are not bound in the desktop: there is nothing to give back.");
            }
            unbindDesktopKeys(shortcuts, *bound);
            writeDesktopKeys({});
        }
    } catch (const Error& error) {
        std::fprintf(stderr, "varnoset: %s\n", error.what());
        return 1;
    }
    return 0;
}

}  // namespace varnoset
