#pragma once

#include <stdexcept>
#include <string>

namespace varnoset {

// An error that ends the running command; the application shows its text in the standard
// error box and carries on.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace varnoset
