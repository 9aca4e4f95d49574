#pragma once

#include <optional>
#include <string>

namespace varnoset {

// The private folder of the user's session that holds the instance lock and the command socket:
// $XDG_RUNTIME_DIR when it is a folder of this user that no one else may enter, otherwise
// varnoset-<uid> below /tmp, made with mode 0700 and refused when it is not this user's own.
// Nothing when neither will do; `why` then says why.
std::optional<std::string> privateRuntimeFolder(std::string& why);

// The same choice with the runtime folder (may be null) and the fallback's parent given.
std::optional<std::string> choosePrivateFolder(const char* runtimeDir,
                                               const std::string& fallbackParent, std::string& why);

// The command socket beside the instance lock of that name.
std::string commandSocketPath(const std::string& folder, const std::string& instanceName);

}  // namespace varnoset
