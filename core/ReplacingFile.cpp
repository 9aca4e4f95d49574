#include "core/ReplacingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>
#include <vector>

#include "core/Error.h"
#include "core/IoVectors.h"

namespace varnoset {

namespace {

constexpr int kNameAttempts = 100;
constexpr std::size_t kMaxPartsPerWrite = 1024;  // IOV_MAX on Linux

std::filesystem::path freshName(const std::filesystem::path& folder) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    char name[32];
    std::snprintf(name, sizeof name, ".varnoset-%016llx.tmp",
                  static_cast<unsigned long long>(random()));
    return folder / name;
}

}  // namespace

ReplacingFile::ReplacingFile(std::filesystem::path destination, mode_t newFileMode, Sync sync)
    : destination_(std::move(destination)), newFileMode_(newFileMode), sync_(sync) {}

ReplacingFile::~ReplacingFile() {
    discard();
}

bool ReplacingFile::create() {
    discard();
    const std::filesystem::path folder =
        destination_.has_parent_path() ? destination_.parent_path() : ".";
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::filesystem::path candidate = freshName(folder);
        fd_ = UniqueFd(::open(candidate.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, newFileMode_));
        if (fd_) {
            newFile_ = std::move(candidate);
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool ReplacingFile::write(std::span<const std::span<const std::uint8_t>> pieces) {
    std::vector<iovec> parts;
    parts.reserve(pieces.size());
    for (const auto& piece : pieces) {
        if (!piece.empty()) {
            parts.push_back({const_cast<std::uint8_t*>(piece.data()), piece.size()});
        }
    }
    std::size_t first = 0;
    while (first < parts.size()) {
        const int count = static_cast<int>(std::min(parts.size() - first, kMaxPartsPerWrite));
        const ssize_t n = ::writev(fd_.get(), parts.data() + first, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        skipHandledBytes(parts, first, static_cast<std::size_t>(n));
    }
    return true;
}

bool ReplacingFile::write(std::span<const std::uint8_t> bytes) {
    const std::span<const std::uint8_t> one[] = {bytes};
    return write(one);
}

bool ReplacingFile::finishWriting() {
    struct stat old {};
    const bool replacing = ::lstat(destination_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    if (replacing) {
        ::fchmod(fd_.get(), old.st_mode & 07777);
    }
    const bool sync = sync_ == Sync::Always || (sync_ == Sync::WhenReplacing && replacing);
    if (sync && ::fsync(fd_.get()) != 0) {
        return false;
    }
    return fd_.close();
}

bool ReplacingFile::putInPlace() {
    if (::rename(newFile_.c_str(), destination_.c_str()) != 0) {
        return false;
    }
    // The folder is not synced: the rename reaches the disk with the file system's next commit,
    // and until then a crash leaves the previous file, whole. That keeps a save to one sync.
    newFile_.clear();
    return true;
}

bool ReplacingFile::putInPlaceWithoutReplacing(const std::filesystem::path& name) {
    if (::renameat2(AT_FDCWD, newFile_.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno != EINVAL && errno != ENOSYS) {
            return false;
        }
        // A file system without the exclusive rename: a new link fails the same way on a taken
        // name.
        if (::link(newFile_.c_str(), name.c_str()) != 0) {
            return false;
        }
        ::unlink(newFile_.c_str());
    }
    newFile_.clear();
    return true;
}

void ReplacingFile::discard() {
    fd_.reset();
    if (!newFile_.empty()) {
        const int error = errno;  // the failure being reported is the caller's, not the unlink's
        ::unlink(newFile_.c_str());
        errno = error;
        newFile_.clear();
    }
}

void writeFileReplacing(const std::filesystem::path& path,
                        std::span<const std::span<const std::uint8_t>> pieces) {
    ReplacingFile file(path);
    if (!file.create()) {
        throw Error("Cannot create file " + path.string());
    }
    if (!file.write(pieces) || !file.finishWriting()) {
        throw Error("Cannot write file " + path.string());
    }
    if (!file.putInPlace()) {
        throw Error("Cannot create file " + path.string());
    }
}

void writeFileReplacing(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    const std::span<const std::uint8_t> one[] = {bytes};
    writeFileReplacing(path, one);
}

std::filesystem::path writeNewFile(const std::function<std::filesystem::path(int)>& nameFor,
                                   int attempts,
                                   std::span<const std::span<const std::uint8_t>> pieces) {
    const std::filesystem::path first = nameFor(1);
    // Made for the folder itself: no file is replaced, so none lends the new one its mode. Synced
    // before it takes its name, so that a crash never leaves an empty file under that name.
    ReplacingFile file(first.parent_path() / ".", 0666, ReplacingFile::Sync::Always);
    if (!file.create()) {
        throw Error("Cannot create file " + first.string());
    }
    if (!file.write(pieces) || !file.finishWriting()) {
        throw Error("Cannot write file " + first.string());
    }
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        std::filesystem::path name = attempt == 1 ? first : nameFor(attempt);
        if (file.putInPlaceWithoutReplacing(name)) {
            return name;
        }
        if (errno != EEXIST) {
            throw Error("Cannot create file " + name.string());
        }
    }
    throw Error("No free file name like " + first.string());
}

}  // namespace varnoset
