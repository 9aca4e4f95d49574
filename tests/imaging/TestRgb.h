#pragma once

#include <ostream>

namespace imaging_test {

// A pixel's colour as the tests compare and print it.
struct Rgb {
    int r, g, b;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

}  // namespace imaging_test
