#pragma once

#include <string>

namespace varnoset {

// The program's private temporary folder, with a trailing slash: "<TMPDIR or /tmp>/varnoset-
// <user>/", made on first use with mode 0700. A shared temporary folder is open to every user,
// so a name there could be taken first by someone else's folder or link: when the name is a
// symbolic link, not a folder, or a folder of another user, it is not used and the Error says
// why.
std::string TempFolderPath();
// Where that folder is, without making or checking it.
std::string privateTempFolderName();

}  // namespace varnoset
