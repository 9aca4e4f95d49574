#include "FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <cerrno>

#include "Error.h"
#include "UniqueFd.h"

namespace varnoset {

std::vector<std::uint8_t> readFileBytes(const QString& path, std::size_t limit) {
    const auto cannotOpen = [&] { return Error("Cannot open file " + path.toStdString()); };
    // Non-blocking, so that a named pipe chosen by mistake is refused instead of waited on.
    const UniqueFd fd(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        throw cannotOpen();
    }
    std::vector<std::uint8_t> bytes(std::min(static_cast<std::size_t>(info.st_size), limit));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw cannotOpen();
        }
        if (n == 0) {  // the file shrank meanwhile
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace varnoset
