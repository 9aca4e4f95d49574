#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace varnoset {

// The first limit bytes of a file (the whole file when it is shorter). Throws
// varnoset::Error("Cannot open file " + path) when it cannot be opened or read.
std::vector<std::uint8_t> readFileBytes(const QString& path, std::size_t limit);

}  // namespace varnoset
