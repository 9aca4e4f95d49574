// libFuzzer target: the PNG loader must refuse any input it cannot read with varnoset::Error,
// never crash, read out of bounds or set out to fill a picture its data cannot hold.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/Error.h"
#include "output/PngReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const varnoset::Picture picture = varnoset::readPng(std::span(data, size));
        volatile std::uint8_t sum = 0;
        for (const std::uint8_t byte : picture.bits()) {
            sum = static_cast<std::uint8_t>(sum + byte);
        }
    } catch (const varnoset::Error&) {
    }
    return 0;
}
