#include "tests/support/SamePixels.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <ios>

namespace varnoset::test {

::testing::AssertionResult samePixels(const QImage& actual, const QImage& expected) {
    if (actual.size() != expected.size()) {
        return ::testing::AssertionFailure()
               << "size " << actual.width() << "x" << actual.height() << ", expected "
               << expected.width() << "x" << expected.height();
    }
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            const QRgb a = actual.pixel(x, y) & RGB_MASK;
            const QRgb e = expected.pixel(x, y) & RGB_MASK;
            if (a != e) {
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is "
                                                     << std::hex << a << ", expected " << e;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

bool samePixels(const Picture& a, const Picture& b) {
    if (a.width() != b.width() || a.height() != b.height() ||
        storageBits(a.format()) != storageBits(b.format()) || a.palette() != b.palette()) {
        return false;
    }
    const int bits = storageBits(a.format());
    const auto rowBits = static_cast<std::size_t>(a.width()) * static_cast<std::size_t>(bits);
    const std::size_t fullBytes = rowBits / 8;
    const int restBits = static_cast<int>(rowBits % 8);
    for (int y = 0; y < a.height(); ++y) {
        const std::uint8_t* p = a.scanLine(y);
        const std::uint8_t* q = b.scanLine(y);
        for (std::size_t i = 0; i < fullBytes; ++i) {
            if (bits == 32 && i % 4 == 3) {
                continue;  // the unused byte
            }
            if (p[i] != q[i]) {
                return false;
            }
        }
        if (restBits > 0) {
            const std::uint8_t mask = static_cast<std::uint8_t>(0xFF << (8 - restBits));
            if ((p[fullBytes] & mask) != (q[fullBytes] & mask)) {
                return false;
            }
        }
    }
    return true;
}

bool sameFormatAndBytes(const Picture& a, const Picture& b) {
    return a.width() == b.width() && a.height() == b.height() && a.format() == b.format() &&
           a.palette() == b.palette() && std::ranges::equal(a.bits(), b.bits());
}

}  // namespace varnoset::test
