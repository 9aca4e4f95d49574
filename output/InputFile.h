#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

#include "core/UniqueFd.h"

namespace varnoset {

// A regular file opened for reading. Every failure to open or read it throws
// varnoset::Error("Cannot open file " + path); a named pipe or a device is refused at once
// instead of waited on.
class InputFile {
public:
    explicit InputFile(const QString& path);

    std::uint64_t size() const { return size_; }

    // Fills the pieces in order with the bytes from offset on and returns how many were read,
    // fewer only where the file ends.
    std::size_t readAt(std::uint64_t offset, std::span<const std::span<std::uint8_t>> pieces) const;
    std::size_t readAt(std::uint64_t offset, std::span<std::uint8_t> into) const;

    // The first limit bytes (the whole file when it is shorter).
    std::vector<std::uint8_t> readAll(std::size_t limit) const;

private:
    [[noreturn]] void fail() const;

    QString path_;
    UniqueFd fd_;
    std::uint64_t size_ = 0;
};

}  // namespace varnoset
