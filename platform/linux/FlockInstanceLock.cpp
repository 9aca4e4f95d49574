#include "platform/linux/FlockInstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/linux/RuntimeFolder.h"

namespace varnoset {

FlockInstanceLock::~FlockInstanceLock() {
    release();
}

bool FlockInstanceLock::acquire(const std::string& name) {
    release();
    // Without a lock there is no telling whether another copy runs: this one does not start.
    std::string why;
    const auto folder = privateRuntimeFolder(why);
    if (!folder) {
        std::fprintf(stderr, "varnoset: no instance lock: %s\n", why.c_str());
        return false;
    }
    const std::string path = *folder + "/" + name + ".lock";
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "varnoset: no instance lock: %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return false;
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
