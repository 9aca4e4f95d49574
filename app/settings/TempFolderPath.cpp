#include "app/settings/TempFolderPath.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/Error.h"
#include "core/UniqueFd.h"

namespace varnoset {

namespace {

std::string userPart() {
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
        found->pw_name != nullptr && found->pw_name[0] != '\0' &&
        std::strchr(found->pw_name, '/') == nullptr) {
        return found->pw_name;
    }
    return std::to_string(geteuid());
}

std::string systemTempFolder() {
    const char* tmpdir = std::getenv("TMPDIR");
    std::string folder = (tmpdir != nullptr && tmpdir[0] == '/') ? tmpdir : "/tmp";
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

[[noreturn]] void refuse(const std::string& folder, const std::string& why) {
    throw Error("The temporary folder \"" + folder + "\" is not used: " + why);
}

}  // namespace

std::string privateTempFolderName() {
    const std::string base = systemTempFolder();
    return (base == "/" ? "" : base) + "/varnoset-" + userPart();
}

std::string TempFolderPath() {
    const std::string folder = privateTempFolderName();
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        refuse(folder, std::string("it cannot be made (") + std::strerror(errno) + ")");
    }
    // O_NOFOLLOW with O_DIRECTORY: a link or a non-folder in the name's place fails here, and
    // the checks below then look at the very folder that was opened.
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd) {
        const int error = errno;
        struct stat info {};
        if (::lstat(folder.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
            refuse(folder, "it is a symbolic link, which another user may have put there");
        }
        if (error == ENOTDIR) {
            refuse(folder, "something other than a folder has that name");
        }
        refuse(folder, std::string("it cannot be opened (") + std::strerror(error) + ")");
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        refuse(folder, std::strerror(errno));
    }
    if (info.st_uid != geteuid()) {
        refuse(folder, "it belongs to another user (uid " + std::to_string(info.st_uid) + ")");
    }
    // mkdir's mode passes through the umask, and an older folder may have been opened up.
    if ((info.st_mode & 07777) != 0700 && ::fchmod(fd.get(), 0700) != 0) {
        refuse(folder, std::string("it cannot be made private (") + std::strerror(errno) + ")");
    }
    return folder + '/';
}

}  // namespace varnoset
