#pragma once

#include <sys/uio.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace varnoset {

// Moves past the n bytes that a gathered read or write handled: whole parts are skipped from
// `first` on, and a part handled only in part is shortened to what is left of it.
inline void skipHandledBytes(std::vector<iovec>& parts, std::size_t& first, std::size_t n) {
    while (n > 0 && n >= parts[first].iov_len) {
        n -= parts[first].iov_len;
        ++first;
    }
    if (n > 0) {
        parts[first].iov_base = static_cast<std::uint8_t*>(parts[first].iov_base) + n;
        parts[first].iov_len -= n;
    }
}

}  // namespace varnoset
