#include "FlockInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace varnoset {

namespace {

std::string lockFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime) {
        return runtime;
    }
    // No runtime folder: a folder of our own in /tmp, refused if someone else made it.
    std::string folder = "/tmp/varnoset-lock-" + std::to_string(getuid());
    mkdir(folder.c_str(), 0700);
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) {
        return {};
    }
    return folder;
}

}  // namespace

FlockInstanceLock::~FlockInstanceLock() {
    release();
}

bool FlockInstanceLock::acquire(const std::string& name) {
    release();
    const std::string folder = lockFolder();
    if (folder.empty()) {
        return true;  // nowhere safe to keep a lock: run rather than refuse to start
    }
    const std::string path = folder + "/" + name + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        return true;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void FlockInstanceLock::release() {
    if (fd_ >= 0) {
        close(fd_);  // closing the only descriptor drops the lock
        fd_ = -1;
    }
}

}  // namespace varnoset
