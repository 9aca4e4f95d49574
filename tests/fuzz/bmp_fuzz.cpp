// libFuzzer target: the BMP reader, from memory and from a file, must refuse any input it cannot
// read with varnoset::Error, never crash, read out of bounds or allocate more than a picture may
// hold; both ways must give the same picture.
#include <sys/mman.h>
#include <unistd.h>

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "core/Error.h"
#include "core/UniqueFd.h"
#include "output/BmpReader.h"
#include "output/InputFile.h"

namespace {

std::optional<varnoset::Picture> decoded(const auto& source) {
    try {
        return varnoset::readBmp(source);
    } catch (const varnoset::Error&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto fromMemory = decoded(std::span(data, size));

    // The same bytes as a file, through the reader that fills the picture's rows directly.
    const varnoset::UniqueFd fd(::memfd_create("bmp", MFD_CLOEXEC));
    if (!fd || ::write(fd.get(), data, size) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    const varnoset::InputFile file(QStringLiteral("/proc/self/fd/%1").arg(fd.get()));
    const auto fromFile = decoded(file);

    if (fromMemory.has_value() != fromFile.has_value()) {
        std::abort();
    }
    if (fromMemory) {
        const auto a = fromMemory->bits();
        const auto b = fromFile->bits();
        if (fromMemory->format() != fromFile->format() || a.size() != b.size() ||
            fromMemory->palette() != fromFile->palette() ||
            !std::equal(a.begin(), a.end(), b.begin())) {
            std::abort();
        }
    }
    return 0;
}
