#pragma once

#include <cstddef>
#include <string_view>

namespace varnoset {

// The registry matches key and value names without regard to case; names are ASCII in practice,
// other bytes compare as they are.
constexpr char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// The first `count` characters of UTF-8 text; a malformed byte counts as one character.
std::string_view firstCharacters(std::string_view text, std::size_t count);

}  // namespace varnoset
