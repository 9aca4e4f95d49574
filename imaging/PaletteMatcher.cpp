#include "imaging/PaletteMatcher.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace varnoset {

namespace {

constexpr int kCellBits = 3;  // cell edge of 8 levels
constexpr int kCellSide = 1 << kCellBits;
constexpr int kCellsPerAxis = 256 / kCellSide;

int squared(int v) {
    return v * v;
}

int distance(ColorValue entry, int red, int green, int blue) {
    return squared(redOf(entry) - red) + squared(greenOf(entry) - green) +
           squared(blueOf(entry) - blue);
}

// Distance from a level to the nearest and to the farthest level of [low, low + side - 1].
int nearestGap(int level, int low) {
    const int high = low + kCellSide - 1;
    return level < low ? low - level : (level > high ? level - high : 0);
}
int farthestGap(int level, int low) {
    return std::max(std::abs(level - low), std::abs(level - (low + kCellSide - 1)));
}

}  // namespace

PaletteMatcher::PaletteMatcher(std::vector<ColorValue> palette)
    : palette_(std::move(palette)),
      cells_(palette_.empty() ? 0 : kCellsPerAxis * kCellsPerAxis * kCellsPerAxis) {
    if (palette_.size() > 256) {
        palette_.resize(256);
    }
}

const PaletteMatcher::Cell& PaletteMatcher::cellFor(int red, int green, int blue) {
    const int cr = red >> kCellBits;
    const int cg = green >> kCellBits;
    const int cb = blue >> kCellBits;
    Cell& cell = cells_[static_cast<std::size_t>((cr * kCellsPerAxis + cg) * kCellsPerAxis + cb)];
    if (cell.built) {
        return cell;
    }
    const int lowR = cr * kCellSide;
    const int lowG = cg * kCellSide;
    const int lowB = cb * kCellSide;
    // Every colour of the cell lies within `bound` of some entry, so an entry whose closest
    // approach to the cell exceeds it can never be the nearest.
    int bound = std::numeric_limits<int>::max();
    for (const ColorValue entry : palette_) {
        bound = std::min(bound, squared(farthestGap(redOf(entry), lowR)) +
                                    squared(farthestGap(greenOf(entry), lowG)) +
                                    squared(farthestGap(blueOf(entry), lowB)));
    }
    cell.first = static_cast<std::uint32_t>(candidates_.size());
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        const ColorValue entry = palette_[i];
        const int closest = squared(nearestGap(redOf(entry), lowR)) +
                            squared(nearestGap(greenOf(entry), lowG)) +
                            squared(nearestGap(blueOf(entry), lowB));
        if (closest <= bound) {
            candidates_.push_back(static_cast<std::uint8_t>(i));
        }
    }
    cell.count = static_cast<std::uint16_t>(candidates_.size() - cell.first);
    cell.built = true;
    return cell;
}

int PaletteMatcher::nearest(int red, int green, int blue) {
    if (palette_.empty()) {
        return 0;
    }
    const ColorValue color = rgbValue(red, green, blue);
    if (color == lastColor_) {
        return lastIndex_;
    }
    const Cell& cell = cellFor(red, green, blue);
    int best = candidates_[cell.first];
    int bestDistance = distance(palette_[static_cast<std::size_t>(best)], red, green, blue);
    for (std::uint32_t i = cell.first + 1; i < cell.first + cell.count; ++i) {
        const int index = candidates_[i];
        const int d = distance(palette_[static_cast<std::size_t>(index)], red, green, blue);
        if (d < bestDistance) {
            best = index;
            bestDistance = d;
        }
    }
    lastColor_ = color;
    lastIndex_ = best;
    return best;
}

}  // namespace varnoset
