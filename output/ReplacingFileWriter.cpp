#include "ReplacingFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>

#include "Error.h"
#include "UniqueFd.h"

namespace varnoset {

namespace {

constexpr int kNameAttempts = 100;

// Creates a new file with a fresh name in the folder; never opens an existing file or link.
UniqueFd createNewFile(const QString& folder, QByteArray& name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString candidate =
            folder + QStringLiteral("/.varnoset-%1.tmp")
                         .arg(QRandomGenerator::global()->generate64(), 16, 16, QChar('0'));
        name = QFile::encodeName(candidate);
        UniqueFd fd(
            ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd || errno != EEXIST) {
            return fd;
        }
    }
    return UniqueFd();
}

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

void writeFileReplacing(const QString& path, std::span<const std::uint8_t> bytes) {
    const std::string shown = path.toStdString();
    const QByteArray target = QFile::encodeName(path);
    const QString folder = QFileInfo(path).path();

    QByteArray temporary;
    UniqueFd fd = createNewFile(folder, temporary);
    if (!fd) {
        throw Error("Cannot create file " + shown);
    }
    struct stat old {};
    if (::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd.get(), old.st_mode & 07777);
    }
    // The data reaches the disk before the name points at it, so a crash leaves either file.
    const bool written = writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0 && fd.close();
    if (!written) {
        ::unlink(temporary.constData());
        throw Error("Cannot write file " + shown);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        throw Error("Cannot create file " + shown);
    }
}

}  // namespace varnoset
