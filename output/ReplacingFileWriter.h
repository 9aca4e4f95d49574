#pragma once

#include <QString>
#include <cstdint>
#include <span>

namespace varnoset {

// Writes the bytes (given in one piece or several, written in order) as the file at path without
// ever leaving a partial file there: they go to a new file in the same folder, which then
// replaces the old one in a single rename. When a file is replaced, the new data reaches the
// disk before the name points at it, so that even a crash leaves the old file or the new one.
// Whatever stood at path (a file, or a link) is replaced, never written through, so a link
// planted at the name cannot send the bytes elsewhere. A replaced regular file keeps its
// permission bits.
// Throws varnoset::Error("Cannot create file " + path) when the new file cannot be made or put
// in place, and ("Cannot write file " + path) when writing it fails (a full disk); the old file
// is then untouched and nothing is left behind.
void writeFileReplacing(const QString& path, std::span<const std::span<const std::uint8_t>> pieces);
void writeFileReplacing(const QString& path, std::span<const std::uint8_t> bytes);

}  // namespace varnoset
