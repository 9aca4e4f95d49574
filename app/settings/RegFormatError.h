#pragma once

#include <string>

#include "core/Error.h"

namespace varnoset {

// A registry-export text that cannot be read: the line it stopped at (1-based) and why.
class RegFormatError : public Error {
public:
    RegFormatError(int line, const std::string& reason)
        : Error("line " + std::to_string(line) + ": " + reason), line_(line), reason_(reason) {}

    int line() const { return line_; }
    const std::string& reason() const { return reason_; }

private:
    int line_;
    std::string reason_;
};

}  // namespace varnoset
