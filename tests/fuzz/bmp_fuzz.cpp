// libFuzzer target: the BMP reader must refuse any input it cannot read with varnoset::Error,
// never crash, read out of bounds or allocate more than a picture may hold.
#include <cstddef>
#include <cstdint>
#include <span>

#include "BmpReader.h"
#include "Error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const varnoset::Picture picture = varnoset::readBmp(std::span(data, size));
        // Touch every byte of the result so that an uninitialised or short buffer shows.
        volatile std::uint8_t sum = 0;
        for (const std::uint8_t byte : picture.bits()) {
            sum = static_cast<std::uint8_t>(sum + byte);
        }
    } catch (const varnoset::Error&) {
    }
    return 0;
}
