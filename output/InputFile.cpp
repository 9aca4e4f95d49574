#include "output/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <QFile>
#include <algorithm>
#include <cerrno>

#include "core/Error.h"
#include "core/IoVectors.h"

namespace varnoset {

namespace {

constexpr std::size_t kMaxPartsPerRead = 1024;  // IOV_MAX on Linux

}  // namespace

InputFile::InputFile(const QString& path)
    : path_(path),
      // Non-blocking, so that a named pipe chosen by mistake is refused instead of waited on.
      fd_(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
    struct stat info {};
    if (!fd_ || ::fstat(fd_.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        fail();
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
}

void InputFile::fail() const {
    throw Error("Cannot open file " + path_.toStdString());
}

std::size_t InputFile::readAt(std::uint64_t offset,
                              std::span<const std::span<std::uint8_t>> pieces) const {
    std::vector<iovec> parts;
    parts.reserve(pieces.size());
    for (const auto& piece : pieces) {
        if (!piece.empty()) {
            parts.push_back({piece.data(), piece.size()});
        }
    }
    std::size_t done = 0;
    std::size_t first = 0;
    while (first < parts.size()) {
        const int count = static_cast<int>(std::min(parts.size() - first, kMaxPartsPerRead));
        const ssize_t n =
            ::preadv(fd_.get(), parts.data() + first, count, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            fail();
        }
        if (n == 0) {  // the end of the file
            break;
        }
        done += static_cast<std::size_t>(n);
        skipHandledBytes(parts, first, static_cast<std::size_t>(n));
    }
    return done;
}

std::size_t InputFile::readAt(std::uint64_t offset, std::span<std::uint8_t> into) const {
    const std::span<std::uint8_t> one[] = {into};
    return readAt(offset, one);
}

std::vector<std::uint8_t> InputFile::readAll(std::size_t limit) const {
    std::vector<std::uint8_t> bytes(
        static_cast<std::size_t>(std::min<std::uint64_t>(size_, limit)));
    bytes.resize(readAt(0, bytes));  // shorter when the file shrank meanwhile
    return bytes;
}

}  // namespace varnoset
