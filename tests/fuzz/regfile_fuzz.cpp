// libFuzzer target: the options file reader, on whatever a user or another program left in the
// file. It must refuse what it cannot read with RegFormatError, never crash or read out of
// bounds; what it reads it must write back as text it reads again to the same text, and a value
// the program stores must read back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings/RegFile.h"
#include "app/settings/RegFormatError.h"

namespace {

std::optional<varnoset::RegFile> parsed(std::string_view content) {
    try {
        return varnoset::RegFile::parse(content);
    } catch (const varnoset::RegFormatError&) {
        return std::nullopt;
    }
}

constexpr std::string_view kKey = "HKEY_CURRENT_USER\\Software\\Fuzz";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    auto file = parsed(content);
    if (!file) {
        return 0;
    }
    const std::string text = file->text();
    const auto again = parsed(text);
    if (!again || again->text() != text) {
        std::abort();
    }

    // The input's bytes stored as a value of the type its first byte names, among the others.
    varnoset::RegValue value;
    value.type = size == 0 ? varnoset::kRegSz : data[0] % 8;
    value.data.assign(data, data + size);
    file->setValue(kKey, "Value", value);
    const auto stored = parsed(file->text());
    const varnoset::RegValue* readBack = stored ? stored->value(kKey, "value") : nullptr;
    if (readBack == nullptr || *readBack != value) {
        std::abort();
    }
    return 0;
}
