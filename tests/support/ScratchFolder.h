#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/EnvironmentOverride.h"

namespace varnoset::test {

// A private folder for one test, set as XDG_CONFIG_HOME and TMPDIR while it lives, so that no test
// touches the user's own options or temporary files. It is made below the system's temporary
// folder, or below another folder (a benchmark wants the disk that holds the user's options).
class ScratchFolder {
public:
    explicit ScratchFolder(
        const std::filesystem::path& under = std::filesystem::temp_directory_path())
        : path_(makeFolder(under)),
          configHome_("XDG_CONFIG_HOME", config().c_str()),
          tmpDir_("TMPDIR", (path_ / "tmp").c_str()) {}
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path config() const { return path_ / "config"; }
    std::filesystem::path storeFile() const { return config() / "Kestrane" / "NewVarnoset.reg"; }

    static void write(const std::filesystem::path& file, const std::string& content) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
    }
    static std::string read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::string content(std::filesystem::file_size(file), '\0');
        in.read(content.data(), static_cast<std::streamsize>(content.size()));
        return content;
    }

private:
    static std::filesystem::path makeFolder(const std::filesystem::path& under) {
        std::string pattern = (under / "varnoset-test-XXXXXX").string();
        const std::filesystem::path path = ::mkdtemp(pattern.data());
        std::filesystem::create_directories(path / "config");
        std::filesystem::create_directories(path / "tmp");
        return path;
    }

    std::filesystem::path path_;
    EnvironmentOverride configHome_;
    EnvironmentOverride tmpDir_;
};

}  // namespace varnoset::test
