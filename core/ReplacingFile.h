#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

#include "core/UniqueFd.h"

namespace varnoset {

// A file that takes the place of the one at its destination only once it is whole: the bytes go
// to a new file in the same folder, which then replaces the destination in a single rename, so
// even a crash leaves the old file or the new one, never a part. Whatever stands at the
// destination (a file, or a link) is replaced, never written through, so a link planted at the
// name cannot send the bytes elsewhere; a caller that wants to keep a link passes the file it
// points to. A replaced regular file keeps its permission bits. Each step reports failure with
// errno set; a new file not put in place is removed when the object goes.
class ReplacingFile {
public:
    enum class Sync {
        WhenReplacing,  // only a replaced file has data to lose in a crash
        Always,
        Never,  // for measurements and throw-away files
    };

    // newFileMode is the mode of a file made where none stood (before the umask).
    explicit ReplacingFile(std::filesystem::path destination, mode_t newFileMode = 0666,
                           Sync sync = Sync::WhenReplacing);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Makes the new file under a fresh name; never opens an existing file or link.
    bool create();
    // Writes the pieces in order, going on after partial writes.
    bool write(std::span<const std::span<const std::uint8_t>> pieces);
    bool write(std::span<const std::uint8_t> bytes);
    // Gives the new file the replaced file's permissions, syncs it as the rule says and closes it.
    bool finishWriting();
    // Renames the new file over the destination.
    bool putInPlace();
    // Gives the new file the name, in the destination's folder, only while no file or link takes
    // it: false with errno EEXIST when one does, and the new file stays for another name.
    bool putInPlaceWithoutReplacing(const std::filesystem::path& name);

private:
    void discard();

    std::filesystem::path destination_;
    mode_t newFileMode_;
    Sync sync_;
    UniqueFd fd_;
    std::filesystem::path newFile_;
};

// Writes the bytes (given in one piece or several, written in order) as the file at path through
// a ReplacingFile. Throws varnoset::Error("Cannot create file " + path) when the new file cannot
// be made or put in place, and ("Cannot write file " + path) when writing it fails (a full disk);
// the old file is then untouched and nothing is left behind.
void writeFileReplacing(const std::filesystem::path& path,
                        std::span<const std::span<const std::uint8_t>> pieces);
void writeFileReplacing(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Writes the bytes as a new file under the first of nameFor(1), nameFor(2), ... nameFor(attempts)
// that no file takes yet, all in one folder, and returns that name; an existing file is never
// replaced, not even one made meanwhile by another program. Throws varnoset::Error like
// writeFileReplacing, and ("No free file name like " + nameFor(1)) when every name is taken.
std::filesystem::path writeNewFile(const std::function<std::filesystem::path(int)>& nameFor,
                                   int attempts,
                                   std::span<const std::span<const std::uint8_t>> pieces);

}  // namespace varnoset
