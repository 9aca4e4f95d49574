#pragma once

#include <string>

namespace varnoset {

// Whether an X display can be opened; on failure, why not.
bool canOpenX11Display(std::string& why);

}  // namespace varnoset
