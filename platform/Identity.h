#pragma once

#include <optional>
#include <string>

namespace varnoset {

// Who and where the program runs: each is empty when the system cannot say.
class Identity {
public:
    virtual ~Identity() = default;
    virtual std::optional<std::string> userName() const = 0;
    virtual std::optional<std::string> computerName() const = 0;
    virtual std::optional<std::string> osName() const = 0;
};

}  // namespace varnoset
