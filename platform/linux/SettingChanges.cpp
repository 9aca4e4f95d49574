#include "platform/linux/SettingChanges.h"

namespace varnoset {

void writeAll(SettingAccess& access, const std::vector<SettingTarget>& targets) {
    std::vector<SettingTarget> written;
    try {
        for (const SettingTarget& target : targets) {
            // Kept before writing: a write that fails may still have reached the store.
            written.push_back({target.key, access.read(target.key)});
            access.write(target.key, target.value);
        }
    } catch (...) {
        for (auto it = written.rbegin(); it != written.rend(); ++it) {
            try {
                access.write(it->key, it->value);
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
        saved.push_back({key, access.read(key), text});
        targets.push_back({key, {text, true}});
    }
    writeAll(access, targets);
    return saved;
}

void giveBack(SettingAccess& access, const std::vector<SavedSetting>& saved) {
    std::vector<SettingTarget> targets;
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
        const SettingValue current = access.read(it->key);
        if (current.text == it->written) {
            targets.push_back({it->key, it->before});
        } else if (current.text) {
            if (std::optional<std::string> merged = access.merged(it->key, *current.text, *it)) {
                targets.push_back({it->key, {std::move(merged), true}});
            }
        }
    }
    writeAll(access, targets);
}

}  // namespace varnoset
