#include "app/settings/DesktopBinding.h"

#include <charconv>

namespace varnoset {

namespace {

constexpr std::string_view kSpecial = "%;=>";

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (kSpecial.find(c) != std::string_view::npos) {
            constexpr char kHex[] = "0123456789ABCDEF";
            const auto byte = static_cast<unsigned char>(c);
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size() ||
            std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr !=
                text.data() + i + 3) {
            return std::nullopt;
        }
        out += static_cast<char>(value);
        i += 2;
    }
    return out;
}

std::vector<std::string_view> fields(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (true) {
        const auto at = text.find(separator);
        parts.push_back(text.substr(0, at));
        if (at == std::string_view::npos) {
            return parts;
        }
        text.remove_prefix(at + 1);
    }
}

std::optional<SavedSetting> decodeSetting(std::string_view entry) {
    const auto equals = entry.find('=');
    const auto arrow = entry.find('>');
    if (equals == std::string_view::npos || arrow == std::string_view::npos || arrow < equals + 2) {
        return std::nullopt;
    }
    const char state = entry[equals + 1];
    const auto key = unescaped(entry.substr(0, equals));
    const auto before = unescaped(entry.substr(equals + 2, arrow - equals - 2));
    const auto written = unescaped(entry.substr(arrow + 1));
    if (!key || !before || !written || (state != '+' && state != '*' && state != '-') ||
        (state == '-' && !before->empty())) {
        return std::nullopt;
    }
    SavedSetting setting{*key, {}, *written};
    if (state != '-') {
        setting.before = {*before, state == '+'};
    }
    return setting;
}

}  // namespace

std::string encodeDesktopBinding(const DesktopBinding& binding) {
    std::string text = escaped(binding.desktop) + ';' + std::to_string(binding.hotkey);
    for (const SavedSetting& setting : binding.settings) {
        const char state = !setting.before.text ? '-' : setting.before.own ? '+' : '*';
        text += ';' + escaped(setting.key) + '=' + state +
                escaped(setting.before.text.value_or("")) + '>' + escaped(setting.written);
    }
    return text;
}

std::optional<DesktopBinding> decodeDesktopBinding(std::string_view text) {
    const std::vector<std::string_view> parts = fields(text, ';');
    if (text.empty() || parts.size() < 2) {
        return std::nullopt;
    }
    DesktopBinding binding;
    const auto desktop = unescaped(parts[0]);
    unsigned hotkey = 0;
    const auto [end, error] =
        std::from_chars(parts[1].data(), parts[1].data() + parts[1].size(), hotkey);
    if (!desktop || desktop->empty() || error != std::errc() ||
        end != parts[1].data() + parts[1].size() || hotkey > 255) {
        return std::nullopt;
    }
    binding.desktop = *desktop;
    binding.hotkey = static_cast<std::uint8_t>(hotkey);
    for (std::size_t i = 2; i < parts.size(); ++i) {
        const std::optional<SavedSetting> setting = decodeSetting(parts[i]);
        if (!setting) {
            return std::nullopt;
        }
        binding.settings.push_back(*setting);
    }
    return binding;
}

}  // namespace varnoset
