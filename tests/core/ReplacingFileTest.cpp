#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/ReplacingFile.h"

namespace varnoset {
namespace {

namespace fs = std::filesystem;

std::string read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

int entryCount(const fs::path& folder) {
    return static_cast<int>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(ReplacingFile, TheOldFileStaysUntilTheNewOneIsPutInPlace) {
    const fs::path folder = fs::path(testing::TempDir()) / "replacing_file_test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path file = folder / "options.reg";

    // A new file gets the mode asked for, whatever the umask would allow beyond it.
    {
        ReplacingFile output(file, 0600, ReplacingFile::Sync::Never);
        ASSERT_TRUE(output.create());
        ASSERT_TRUE(output.write(bytesOf("first")));
        ASSERT_TRUE(output.finishWriting());
        ASSERT_TRUE(output.putInPlace());
    }
    EXPECT_EQ(read(file), "first");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);

    // Dropped before it is put in place, whether written or not: the old file is as it was and
    // the new one is gone.
    for (const bool finished : {false, true}) {
        ReplacingFile output(file);
        ASSERT_TRUE(output.create());
        ASSERT_TRUE(output.write(bytesOf("second")));
        if (finished) {
            ASSERT_TRUE(output.finishWriting());
        }
        EXPECT_EQ(entryCount(folder), 2);
    }
    EXPECT_EQ(read(file), "first");
    EXPECT_EQ(entryCount(folder), 1);

    // Pieces are written in order, empty ones skipped; the replaced file keeps its mode.
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    const std::string a = "ab", b, c = "cde";
    const std::span<const std::uint8_t> pieces[] = {bytesOf(a), bytesOf(b), bytesOf(c)};
    writeFileReplacing(file, pieces);
    EXPECT_EQ(read(file), "abcde");
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(entryCount(folder), 1);
    fs::remove_all(folder);
}

}  // namespace
}  // namespace varnoset
