#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace varnoset::test {

// A private folder for one test, set as XDG_CONFIG_HOME and TMPDIR while the test runs, so that
// no test touches the user's own options or temporary files.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "varnoset-settings-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
        std::filesystem::create_directories(path_ / "config");
        std::filesystem::create_directories(path_ / "tmp");
        keep("XDG_CONFIG_HOME", config());
        keep("TMPDIR", path_ / "tmp");
    }
    ~ScratchFolder() {
        restore("XDG_CONFIG_HOME", oldConfig_);
        restore("TMPDIR", oldTmp_);
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
    void keep(const char* name, const std::filesystem::path& value) {
        const char* old = ::getenv(name);
        (name == std::string("TMPDIR") ? oldTmp_ : oldConfig_) =
            old ? std::optional<std::string>(old) : std::nullopt;
        ::setenv(name, value.c_str(), 1);
    }
    static void restore(const char* name, const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

    std::filesystem::path path_;
    std::optional<std::string> oldConfig_;
    std::optional<std::string> oldTmp_;
};

}  // namespace varnoset::test
