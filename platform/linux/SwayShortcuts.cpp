#include "platform/linux/SwayShortcuts.h"

#include "core/Error.h"
#include "platform/linux/AcceleratorList.h"

namespace varnoset {

namespace {

QStringList configLines(const std::vector<ShortcutKey>& keys) {
    QStringList lines;
    for (const ShortcutKey& key : keys) {
        lines << QStringLiteral("bindsym %1%2 exec %3")
                     .arg(key.withAlt ? QStringLiteral("Mod1+") : QString(),
                          QString::fromStdString(key.symbolName), key.command);
    }
    return lines;
}

}  // namespace

ShortcutPlan SwayShortcuts::plan(const std::vector<ShortcutKey>& keys) {
    ShortcutPlan plan;
    plan.desktop = QStringLiteral("sway");
    plan.lines = configLines(keys);
    plan.writes = false;
    plan.note = QStringLiteral(
        "sway keeps its keys in ~/.config/sway/config: add these lines there, then run "
        "'swaymsg reload'.");
    return plan;
}

std::vector<SavedSetting> SwayShortcuts::bind(const std::vector<ShortcutKey>& keys) {
    throw Error(
        ("sway keeps its keys in ~/.config/sway/config, which Varnoset leaves to you: add\n" +
         configLines(keys).join(QLatin1Char('\n')) + "\nthere, then run 'swaymsg reload'.")
            .toStdString());
}

void SwayShortcuts::unbind(const std::vector<SavedSetting>&) {
    throw Error(
        "sway's keys are in ~/.config/sway/config: remove Varnoset's bindsym lines there, then "
        "run 'swaymsg reload'.");
}

}  // namespace varnoset
