#include "platform/linux/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace varnoset {

namespace {

// A real folder (no symbolic link) of this user that no one else can enter or write.
bool isPrivateFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 077) == 0 && access(path.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::optional<std::string> choosePrivateFolder(const char* runtimeDir,
                                               const std::string& fallbackParent,
                                               std::string& why) {
    if (runtimeDir != nullptr && *runtimeDir != '\0' && isPrivateFolder(runtimeDir)) {
        return std::string(runtimeDir);
    }
    const std::string folder = fallbackParent + "/varnoset-" + std::to_string(geteuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        why = "cannot make " + folder + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat st {};
    if (lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid()) {
        chmod(folder.c_str(), 0700);  // ours: close it should anyone have opened it
    }
    if (!isPrivateFolder(folder)) {
        why = folder + " is not a private folder of this user";
        return std::nullopt;
    }
    return folder;
}

std::optional<std::string> privateRuntimeFolder(std::string& why) {
    return choosePrivateFolder(std::getenv("XDG_RUNTIME_DIR"), "/tmp", why);
}

std::string commandSocketPath(const std::string& folder, const std::string& instanceName) {
    return folder + "/" + instanceName + ".socket";
}

}  // namespace varnoset
