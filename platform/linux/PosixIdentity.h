#pragma once

#include "platform/Identity.h"

namespace varnoset {

// The user from the account database, the computer from the host name, and the system from
// os-release (PRETTY_NAME), else the kernel's name and release.
class PosixIdentity final : public Identity {
public:
    std::optional<std::string> userName() const override;
    std::optional<std::string> computerName() const override;
    std::optional<std::string> osName() const override;

    // The PRETTY_NAME (else NAME) of an os-release text; empty when it has none.
    static std::string prettyNameFromOsRelease(const std::string& text);
};

}  // namespace varnoset
