#include "ReplacingFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <vector>

#include "Error.h"
#include "IoVectors.h"
#include "UniqueFd.h"

namespace varnoset {

namespace {

constexpr int kNameAttempts = 100;
constexpr std::size_t kMaxPartsPerWrite = 1024;  // IOV_MAX on Linux

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

// Writes the pieces with as few calls as the system allows, going on after partial writes.
bool writeAll(int fd, std::span<const std::span<const std::uint8_t>> pieces) {
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
        const ssize_t n = ::writev(fd, parts.data() + first, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        skipHandledBytes(parts, first, static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

void writeFileReplacing(const QString& path,
                        std::span<const std::span<const std::uint8_t>> pieces) {
    const std::string shown = path.toStdString();
    const QByteArray target = QFile::encodeName(path);
    const QString folder = QFileInfo(path).path();

    QByteArray temporary;
    UniqueFd fd = createNewFile(folder, temporary);
    if (!fd) {
        throw Error("Cannot create file " + shown);
    }
    struct stat old {};
    const bool replacing = ::lstat(target.constData(), &old) == 0 && S_ISREG(old.st_mode);
    if (replacing) {
        ::fchmod(fd.get(), old.st_mode & 07777);
    }
    // Only a replaced file has data to lose in a crash; a new name does not need to wait for
    // the disk.
    const bool written =
        writeAll(fd.get(), pieces) && (!replacing || ::fsync(fd.get()) == 0) && fd.close();
    if (!written) {
        ::unlink(temporary.constData());
        throw Error("Cannot write file " + shown);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        ::unlink(temporary.constData());
        throw Error("Cannot create file " + shown);
    }
}

void writeFileReplacing(const QString& path, std::span<const std::uint8_t> bytes) {
    const std::span<const std::uint8_t> one[] = {bytes};
    writeFileReplacing(path, one);
}

}  // namespace varnoset
