// The hotkey bound in the desktop's own shortcut settings: Options "Let the Desktop Send
// PrintScreen to Varnoset" and "Give PrintScreen Back to the Desktop".
#include <QMenu>
#include <QMessageBox>

#include "app/DesktopKeys.h"
#include "app/Main.h"
#include "app/MessageBoxes.h"
#include "app/settings/OptionSet.h"
#include "app/settings/OptionTable.h"
#include "app/settings/SettingsStore.h"
#include "capture/HotkeyRegistrar.h"
#include "capture/KeyTable.h"
#include "core/Error.h"

namespace varnoset {

void TVarnosetMain::buildDesktopKeysMenu() {
    // At the end of the Options menu, after a separator: the form's items keep their places.
    Options1->addSeparator();
    BindKeys1 = Options1->addAction(QString::fromLatin1(kBindKeysCaption));
    BindKeys1->setObjectName(QStringLiteral("BindKeys1"));
    UnbindKeys1 = Options1->addAction(QString::fromLatin1(kUnbindKeysCaption));
    UnbindKeys1->setObjectName(QStringLiteral("UnbindKeys1"));
    connect(BindKeys1, &QAction::triggered, this, &TVarnosetMain::BindKeys1Click);
    connect(UnbindKeys1, &QAction::triggered, this, &TVarnosetMain::UnbindKeys1Click);
    UnbindKeys1->setEnabled(false);
}

DesktopShortcuts& TVarnosetMain::desktopShortcuts() const {
    if (!platform_.desktopShortcuts) {
        throw Error("This desktop's keyboard shortcuts cannot be changed from Varnoset.");
    }
    return *platform_.desktopShortcuts;
}

std::optional<DesktopBinding> TVarnosetMain::desktopBinding() const {
    return decodeDesktopBinding(state_.DesktopKeys.toStdString());
}

// The binding reaches the options file at once: what the desktop held must not be lost.
void TVarnosetMain::storeDesktopBinding(const std::optional<DesktopBinding>& binding) {
    const QString previous = state_.DesktopKeys;
    state_.DesktopKeys =
        binding ? QString::fromStdString(encodeDesktopBinding(*binding)) : QString();
    try {
        SettingsStore store(SettingsStore::userFile());
        SaveChangedOption(store, *this, OptionId::DesktopKeys);
    } catch (const Error&) {
        state_.DesktopKeys = previous;
        throw;
    }
    followDesktopBinding();
}

void TVarnosetMain::followDesktopBinding() {
    const std::optional<DesktopBinding> binding = desktopBinding();
    BindKeys1->setEnabled(!binding);
    UnbindKeys1->setEnabled(binding.has_value());
    if (binding && platform_.desktopShortcuts) {
        // Where the desktop hands the presses to Varnoset itself, they do what the key does.
        platform_.desktopShortcuts->setPressedHandler(
            [this](bool withAlt) { carryOut(withAlt ? Command::HotkeyAlt : Command::Hotkey); });
    }
}

void TVarnosetMain::reloadDesktopBinding() {
    try {
        SettingsStore store(SettingsStore::userFile());
        store.openKey(kSetupKey, false);
        state_.DesktopKeys =
            QString::fromStdString(store.readString(optionRow(OptionId::DesktopKeys).name));
    } catch (const Error&) {
        state_.DesktopKeys.clear();
    }
    followDesktopBinding();
    const std::optional<DesktopBinding> binding = desktopBinding();
    registrar_->setThroughDesktop(binding && binding->hotkey == state_.Hotkey);
}

void TVarnosetMain::notifyHeldKey(const QString& title, const QString& text) {
    Notification notice{title, text, {}};
    if (platform_.desktopShortcuts && platform_.desktopShortcuts->known() && !desktopBinding()) {
        notice.actions.push_back({QStringLiteral("bind-keys"),
                                  QString::fromLatin1(kBindKeysCaption),
                                  [this] { BindKeys1Click(); }});
    }
    platform_.notifications->notify(notice);
}

void TVarnosetMain::BindKeys1Click() {
    DesktopShortcuts& shortcuts = desktopShortcuts();
    const ShortcutPlan plan = shortcuts.plan(shortcutKeysFor(state_.Hotkey));
    if (!plan.writes) {
        showInformation(planText(plan), isVisible() ? this : nullptr);
        return;
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("Varnoset"), planText(plan),
                    QMessageBox::Ok | QMessageBox::Cancel, isVisible() ? this : nullptr);
    if (box.exec() != QMessageBox::Ok) {
        return;
    }
    bindAndRecord(shortcuts, state_.Hotkey,
                  [this](const DesktopBinding& made) { storeDesktopBinding(made); });
    registrar_->setThroughDesktop(true);
}

void TVarnosetMain::UnbindKeys1Click() {
    const std::optional<DesktopBinding> binding = desktopBinding();
    if (!binding) {
        return;
    }
    unbindDesktopKeys(desktopShortcuts(), *binding);
    storeDesktopBinding(std::nullopt);
    registrar_->setThroughDesktop(false);
}

void TVarnosetMain::moveDesktopBinding(std::uint8_t previousHotkey) {
    const std::optional<DesktopBinding> binding = desktopBinding();
    if (!binding || binding->hotkey == state_.Hotkey || state_.Hotkey == previousHotkey) {
        return;
    }
    const auto row = keyTableRowOf(state_.Hotkey);
    const QString key =
        row ? QString::fromLatin1(KeyTable[static_cast<std::size_t>(*row)].caption) : QString();
    const auto answer = QMessageBox::question(
        isVisible() ? this : nullptr, QStringLiteral("Varnoset"),
        QStringLiteral("The desktop sends the old hotkey to Varnoset. Move its binding to %1, "
                       "giving the old key back to the desktop?")
            .arg(key));
    if (answer != QMessageBox::Yes) {
        return;
    }
    DesktopShortcuts& shortcuts = desktopShortcuts();
    unbindDesktopKeys(shortcuts, *binding);
    storeDesktopBinding(std::nullopt);
    registrar_->setThroughDesktop(false);
    bindAndRecord(shortcuts, state_.Hotkey,
                  [this](const DesktopBinding& made) { storeDesktopBinding(made); });
    registrar_->setThroughDesktop(true);
}

}  // namespace varnoset
