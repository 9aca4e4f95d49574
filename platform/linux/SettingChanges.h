#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/DesktopShortcuts.h"

namespace varnoset {

// A desktop's settings store seen one setting at a time, each value as text in the store's own
// notation. Failures are thrown as Error.
class SettingAccess {
public:
    virtual ~SettingAccess() = default;
    virtual SettingValue read(const std::string& key) = 0;
    // Sets the value; a value that is not the user's own (or does not exist) is reset instead,
    // so that the store reads as if it had never been set.
    virtual void write(const std::string& key, const SettingValue& value) = 0;
    // For a setting that holds a list, what giving back leaves when the user changed the list
    // after binding (restoredList); nothing where a changed setting stays as the user left it.
    virtual std::optional<std::string> merged(const std::string& key, const std::string& current,
                                              const SavedSetting& saved) {
        (void)key;
        (void)current;
        (void)saved;
        return std::nullopt;
    }
};

struct SettingTarget {
    std::string key;
    SettingValue value;
    SettingValue before;  // what the setting holds now, read by the caller
};

// Writes the values in order. When one is refused, the ones already written (the refused one
// too: a write that fails may still have reached the store) get back what they held before and
// the error goes on: all or nothing.
void writeAll(SettingAccess& access, const std::vector<SettingTarget>& targets);

// Writes each text as the user's own value and returns what the settings held before.
std::vector<SavedSetting> writeSaving(
    SettingAccess& access, const std::vector<std::pair<std::string, std::string>>& writes);

// Gives every saved setting back, the last written first: the value it held (reset where it was
// the default) while it still reads as written, the merge where the user changed it since.
void giveBack(SettingAccess& access, const std::vector<SavedSetting>& saved);

}  // namespace varnoset
