// libFuzzer target: the JPEG loader, in true colour and with the 236-colour palette, must refuse
// any input it cannot read with varnoset::Error, never crash or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/Error.h"
#include "output/JpegReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (const int displayBits : {32, 8}) {
        try {
            const varnoset::Picture picture =
                varnoset::readJpeg(std::span(data, size), displayBits);
            volatile std::uint8_t sum = 0;
            for (const std::uint8_t byte : picture.bits()) {
                sum = static_cast<std::uint8_t>(sum + byte);
            }
        } catch (const varnoset::Error&) {
        }
    }
    return 0;
}
