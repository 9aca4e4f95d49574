#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/settings/TempFolderPath.h"
#include "core/Error.h"
#include "tests/support/ScratchFolder.h"

using namespace varnoset;
using varnoset::test::ScratchFolder;

namespace {

mode_t modeOf(const std::string& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode & 07777;
}

std::string refusal() {
    try {
        TempFolderPath();
        return {};
    } catch (const Error& error) {
        return error.what();
    }
}

}  // namespace

TEST(TempFolderPath, MakesAPrivateFolderForTheUser) {
    ScratchFolder scratch;
    const mode_t oldMask = ::umask(0277);  // would leave mkdir's folder unwritable
    const std::string folder = TempFolderPath();
    ::umask(oldMask);
    const std::string prefix = (scratch.path() / "tmp" / "varnoset-").string();
    EXPECT_TRUE(folder.starts_with(prefix)) << folder;
    ASSERT_TRUE(folder.ends_with('/'));
    EXPECT_GT(folder.size(), prefix.size() + 1);
    EXPECT_EQ(modeOf(folder), 0700u);

    // An existing folder of the user's that was opened up is made private again.
    ::chmod(folder.c_str(), 0777);
    EXPECT_EQ(TempFolderPath(), folder);
    EXPECT_EQ(modeOf(folder), 0700u);
}

TEST(TempFolderPath, RefusesANameTakenByAnythingElse) {
    ScratchFolder scratch;
    std::string folder = TempFolderPath();
    folder.pop_back();
    std::filesystem::remove(folder);

    // A link, even to a folder of the user's own.
    const auto elsewhere = scratch.path() / "elsewhere";
    std::filesystem::create_directory(elsewhere);
    std::filesystem::permissions(elsewhere, std::filesystem::perms::all);
    std::filesystem::create_directory_symlink(elsewhere, folder);
    EXPECT_NE(refusal().find("\"" + folder + "\" is not used: it is a symbolic link"),
              std::string::npos)
        << refusal();
    EXPECT_EQ(modeOf(elsewhere.string()), 0777u);
    std::filesystem::remove(folder);

    ScratchFolder::write(folder, "a file");
    EXPECT_NE(refusal().find("something other than a folder"), std::string::npos) << refusal();
    EXPECT_EQ(ScratchFolder::read(folder), "a file");
    std::filesystem::remove(folder);

    if (::geteuid() == 0) {
        std::filesystem::create_directory(folder);
        ASSERT_EQ(::chown(folder.c_str(), 4321, 4321), 0);
        EXPECT_NE(refusal().find("belongs to another user (uid 4321)"), std::string::npos)
            << refusal();
    }
}
