#pragma once

#include <cstdint>
#include <vector>

#include "imaging/ColorValue.h"

namespace varnoset {

// Finds the palette entry nearest to a colour by squared RGB distance, the lowest index winning a
// tie. The colour cube is split into 32768 cells of 8 x 8 x 8; the first colour that falls into a
// cell lists the entries that can be nearest anywhere in it, so later look-ups only compare those
// few. The answer is exact, not an approximation by cell.
class PaletteMatcher {
public:
    explicit PaletteMatcher(std::vector<ColorValue> palette);

    // 0 for an empty palette.
    int nearest(int red, int green, int blue);

private:
    struct Cell {
        std::uint32_t first = 0;
        std::uint16_t count = 0;
        bool built = false;
    };

    const Cell& cellFor(int red, int green, int blue);

    std::vector<ColorValue> palette_;
    std::vector<Cell> cells_;
    std::vector<std::uint8_t> candidates_;
    std::uint32_t lastColor_ = 0xFFFFFFFF;  // one-colour memo for runs of equal pixels
    int lastIndex_ = 0;
};

}  // namespace varnoset
