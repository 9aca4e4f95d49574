#include <gtest/gtest.h>

#include <map>

#include "core/Error.h"
#include "platform/linux/SettingChanges.h"

namespace varnoset {
namespace {

// A store of texts with defaults, which refuses to keep one setting (as a locked dconf key or
// a refusing service does) after the write has reached it.
class MemoryStore final : public SettingAccess {
public:
    std::map<std::string, std::string> defaults{{"a", "1"}, {"b", "2"}};
    std::map<std::string, std::string> own{{"b", "20"}};
    std::string refused;

    SettingValue read(const std::string& key) override {
        if (own.contains(key)) {
            return {own[key], true};
        }
        if (defaults.contains(key)) {
            return {defaults[key], false};
        }
        return {};
    }
    void write(const std::string& key, const SettingValue& value) override {
        if (value.text && value.own) {
            own[key] = *value.text;
        } else {
            own.erase(key);
        }
        if (key == refused) {
            throw Error("refused " + key);
        }
    }
};

TEST(SettingChanges, AllOrNothingAndGivenBackExactly) {
    MemoryStore store;
    const auto before = store.own;
    const std::vector<std::pair<std::string, std::string>> writes{
        {"a", "x"}, {"b", "y"}, {"c", "z"}};

    store.refused = "c";
    EXPECT_THROW(writeSaving(store, writes), Error);
    EXPECT_EQ(store.own, before);  // "a" and "b" put back, "c" (which did reach it) removed

    store.refused.clear();
    const std::vector<SavedSetting> saved = writeSaving(store, writes);
    EXPECT_EQ(store.own, (std::map<std::string, std::string>{{"a", "x"}, {"b", "y"}, {"c", "z"}}));
    store.own["b"] = "mine";  // the user changes one since: it stays the user's
    giveBack(store, saved);
    EXPECT_EQ(store.own, (std::map<std::string, std::string>{{"b", "mine"}}));
    EXPECT_FALSE(store.read("a").own);  // a default is reset, not written
}

}  // namespace
}  // namespace varnoset
