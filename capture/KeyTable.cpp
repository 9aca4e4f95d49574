#include "capture/KeyTable.h"

namespace varnoset {

std::optional<int> keyTableRowOf(std::uint8_t virtualKey) {
    for (std::size_t row = 0; row < KeyTable.size(); ++row) {
        if (KeyTable[row].virtualKey == virtualKey) {
            return static_cast<int>(row);
        }
    }
    return std::nullopt;
}

}  // namespace varnoset
