#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace varnoset {

// Value types numbered as the registry numbers them; the text file spells them "…", dword:,
// hex(2): and hex(N):.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// One typed value of a key: its type and its data bytes, exactly as the registry would hold them.
struct RegValue {
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;

    // A REG_DWORD, four bytes little-endian.
    static RegValue dword(std::uint32_t number);
    // A REG_SZ holding the text's bytes, without a terminating zero.
    static RegValue text(std::string_view text);

    bool operator==(const RegValue&) const = default;
};

}  // namespace varnoset
