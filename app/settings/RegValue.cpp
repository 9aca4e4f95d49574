#include "app/settings/RegValue.h"

namespace varnoset {

RegValue RegValue::dword(std::uint32_t number) {
    return {kRegDword,
            {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
             static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)}};
}

RegValue RegValue::text(std::string_view text) {
    return {kRegSz, std::vector<std::uint8_t>(text.begin(), text.end())};
}

}  // namespace varnoset
