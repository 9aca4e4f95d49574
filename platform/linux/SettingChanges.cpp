#include "platform/linux/SettingChanges.h"

namespace varnoset {

void writeAll(SettingAccess& access, const std::vector<SettingTarget>& targets) {
    std::size_t reached = 0;
    try {
        for (const SettingTarget& target : targets) {
            ++reached;  // before writing: a write that fails may still have reached the store
            access.write(target.key, target.value);
        }
    } catch (...) {
        while (reached > 0) {
            const SettingTarget& target = targets[--reached];
            try {
                access.write(target.key, target.before);
            } catch (...) {
                // The store refuses writes altogether; the first error says why.
            }
        }
        throw;
    }
}

std::vector<SavedSetting> writeSaving(
    SettingAccess& access, const std::vector<std::pair<std::string, std::string>>& writes) {
    std::vector<SavedSetting> saved;
    std::vector<SettingTarget> targets;
    for (const auto& [key, text] : writes) {
        const SettingValue before = access.read(key);
        saved.push_back({key, before, text});
        targets.push_back({key, {text, true}, before});
    }
    writeAll(access, targets);
    return saved;
}

void giveBack(SettingAccess& access, const std::vector<SavedSetting>& saved) {
    std::vector<SettingTarget> targets;
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
        const SettingValue current = access.read(it->key);
        if (current.text == it->written) {
            targets.push_back({it->key, it->before, current});
        } else if (current.text) {
            if (std::optional<std::string> merged = access.merged(it->key, *current.text, *it)) {
                targets.push_back({it->key, {std::move(merged), true}, current});
            }
        }
    }
    writeAll(access, targets);
}

}  // namespace varnoset
