#include "platform/linux/AcceleratorList.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace varnoset {

namespace {

// GTK's modifier names, compared without regard to case.
constexpr std::array<std::pair<std::string_view, unsigned>, 9> kModifierNames{{
    {"shift", Accelerator::Shift},
    {"control", Accelerator::Control},
    {"ctrl", Accelerator::Control},
    {"ctl", Accelerator::Control},
    {"primary", Accelerator::Control},
    {"alt", Accelerator::Alt},
    {"mod1", Accelerator::Alt},
    {"super", Accelerator::Super},
    {"mod4", Accelerator::Super},
}};

// X key names that mean the same key.
std::string canonicalKey(std::string_view key) {
    const std::string low = lowered(key);
    if (low == "prior") {
        return "page_up";
    }
    if (low == "next") {
        return "page_down";
    }
    return low;
}

bool contains(const std::vector<std::string>& list, const std::string& entry) {
    return std::find(list.begin(), list.end(), entry) != list.end();
}

}  // namespace

std::string lowered(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

Accelerator acceleratorOf(const ShortcutKey& key) {
    return {key.symbolName, key.withAlt ? unsigned(Accelerator::Alt) : 0u};
}

std::optional<Accelerator> parseAccelerator(std::string_view text) {
    Accelerator accelerator;
    while (text.starts_with('<')) {
        const auto close = text.find('>');
        if (close == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string name = lowered(text.substr(1, close - 1));
        const auto known = std::find_if(kModifierNames.begin(), kModifierNames.end(),
                                        [&name](const auto& entry) { return entry.first == name; });
        if (known == kModifierNames.end()) {
            return std::nullopt;
        }
        accelerator.modifiers |= known->second;
        text.remove_prefix(close + 1);
    }
    if (text.empty() || lowered(text) == "disabled") {
        return std::nullopt;
    }
    accelerator.key = std::string(text);
    return accelerator;
}

std::string acceleratorText(const Accelerator& accelerator) {
    std::string text;
    if ((accelerator.modifiers & Accelerator::Super) != 0) {
        text += "<Super>";
    }
    if ((accelerator.modifiers & Accelerator::Control) != 0) {
        text += "<Control>";
    }
    if ((accelerator.modifiers & Accelerator::Shift) != 0) {
        text += "<Shift>";
    }
    if ((accelerator.modifiers & Accelerator::Alt) != 0) {
        text += "<Alt>";
    }
    return text + accelerator.key;
}

bool namesAccelerator(std::string_view text, const Accelerator& accelerator) {
    const std::optional<Accelerator> parsed = parseAccelerator(text);
    return parsed && parsed->modifiers == accelerator.modifiers &&
           canonicalKey(parsed->key) == canonicalKey(accelerator.key);
}

std::vector<std::string> withoutAccelerators(const std::vector<std::string>& list,
                                             const std::vector<Accelerator>& removed) {
    std::vector<std::string> kept;
    for (const std::string& entry : list) {
        if (std::none_of(removed.begin(), removed.end(), [&entry](const Accelerator& key) {
                return namesAccelerator(entry, key);
            })) {
            kept.push_back(entry);
        }
    }
    return kept;
}

std::vector<std::string> restoredList(const std::vector<std::string>& current,
                                      const std::vector<std::string>& before,
                                      const std::vector<std::string>& written) {
    if (current == written) {
        return before;
    }
    std::vector<std::string> result = current;
    for (const std::string& added : written) {
        if (!contains(before, added)) {
            const auto at = std::find(result.begin(), result.end(), added);
            if (at != result.end()) {
                result.erase(at);
            }
        }
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (contains(written, before[i]) || contains(result, before[i])) {
            continue;
        }
        // After the nearest entry that stood before it and is still there; first otherwise.
        auto place = result.begin();
        for (std::size_t j = i; j-- > 0;) {
            const auto found = std::find(result.begin(), result.end(), before[j]);
            if (found != result.end()) {
                place = found + 1;
                break;
            }
        }
        result.insert(place, before[i]);
    }
    return result;
}

}  // namespace varnoset
