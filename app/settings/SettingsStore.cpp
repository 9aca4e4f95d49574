#include "app/settings/SettingsStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <span>

#include "app/settings/RegFormatError.h"
#include "core/Error.h"

namespace fs = std::filesystem;

namespace varnoset {

namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER";
// A real options file is about 1 KiB; anything near this size is not one.
constexpr std::size_t kMaxFileSize = 1 << 20;

std::string fullKey(std::string_view keyPath) {
    return std::string(kRoot) + '\\' + std::string(keyPath);
}

[[noreturn]] void fail(std::string_view message, std::string_view name) {
    throw Error(std::string(message) + " '" + std::string(name) + "'");
}

std::string quotedPath(const fs::path& path) {
    return '"' + path.string() + '"';
}

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        return home;
    }
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return {};
}

}  // namespace

SettingsStore::SettingsStore(fs::path file, Sync sync) : file_(std::move(file)), sync_(sync) {}

SettingsStore::~SettingsStore() = default;

fs::path SettingsStore::userFile() {
    fs::path base;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else if (const std::string home = homeFolder(); !home.empty()) {
        base = fs::path(home) / ".config";
    } else {
        throw Error("No folder for the options: neither XDG_CONFIG_HOME nor HOME is set");
    }
    return base / "Kestrane" / "NewVarnoset.reg";
}

bool SettingsStore::keyExists(std::string_view keyPath) {
    readFile();
    requireReadable();
    return state_ == FileState::Read && content_.hasKey(fullKey(keyPath));
}

bool SettingsStore::openKey(std::string_view keyPath, bool canCreate) {
    readFile();
    key_.reset();
    if (!canCreate) {
        requireReadable();
    } else if (state_ == FileState::Unreadable) {
        return false;
    } else if (state_ == FileState::Broken) {
        if (!setBrokenFileAside()) {
            return false;
        }
        content_ = RegFile();
        state_ = FileState::Missing;
    }
    const std::string key = fullKey(keyPath);
    if (!content_.hasKey(key)) {
        if (!canCreate) {
            return false;
        }
        content_.addKey(key);
        changed_ = true;
    }
    key_ = key;
    return true;
}

bool SettingsStore::readBool(std::string_view name) const {
    return readNumber(name) != 0;
}

std::int32_t SettingsStore::readInteger(std::string_view name) const {
    return static_cast<std::int32_t>(readNumber(name));
}

std::uint32_t SettingsStore::readNumber(std::string_view name) const {
    const RegValue* value = key_ ? content_.value(*key_, name) : nullptr;
    if (value == nullptr || value->data.size() > 4) {
        fail("Failed to get data for", name);
    }
    if (value->type != kRegDword) {
        fail("Invalid data type for", name);
    }
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < value->data.size(); ++i) {
        number |= static_cast<std::uint32_t>(value->data[i]) << (8 * i);
    }
    return number;
}

bool SettingsStore::hasValue(std::string_view name) const {
    return key_ && content_.value(*key_, name) != nullptr;
}

std::string SettingsStore::readString(std::string_view name) const {
    const RegValue* value = key_ ? content_.value(*key_, name) : nullptr;
    if (value == nullptr || value->data.empty()) {
        return {};
    }
    if (value->type != kRegSz && value->type != kRegExpandSz) {
        fail("Invalid data type for", name);
    }
    const auto end = std::find(value->data.begin(), value->data.end(), std::uint8_t{0});
    return std::string(value->data.begin(), end);
}

void SettingsStore::writeBool(std::string_view name, bool value) {
    write(name, RegValue::dword(value ? 1 : 0));
}

void SettingsStore::writeInteger(std::string_view name, std::int32_t value) {
    write(name, RegValue::dword(static_cast<std::uint32_t>(value)));
}

void SettingsStore::writeString(std::string_view name, std::string_view value) {
    write(name, RegValue::text(value));
}

void SettingsStore::write(std::string_view name, RegValue value) {
    // The output file is made at the first write, so a folder that cannot take it fails at the
    // first value, as a refused registry write would.
    if (!key_ || (!output_ && !prepareOutput())) {
        fail("Failed to set data for", name);
    }
    content_.setValue(*key_, name, std::move(value));
    changed_ = true;
}

void SettingsStore::close() {
    key_.reset();
    if (!changed_) {
        output_.reset();
        return;
    }
    changed_ = false;
    const auto saveFailed = [this](int error) {
        output_.reset();
        throw Error("Failed to save the options in " + quotedPath(file_) + ": " +
                    std::strerror(error));
    };
    if (!output_ && !prepareOutput()) {
        saveFailed(errno);
    }
    const std::string text = content_.text();
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    // A new file stays private (0600, made so by prepareOutput); a replaced one keeps the
    // permissions the user gave it.
    if (!output_->write(bytes) || !output_->finishWriting() || !output_->putInPlace()) {
        saveFailed(errno);
    }
    output_.reset();
    state_ = FileState::Read;
}

void SettingsStore::readFile() {
    if (state_ != FileState::NotRead) {
        return;
    }
    const auto unusable = [this](FileState state, const std::string& why) {
        state_ = state;
        problem_ = "The options file " + quotedPath(file_) + " cannot be read: " + why;
        if (state == FileState::Broken) {
            problem_ +=
                ". The options were not loaded; before they are saved again the file is "
                "kept as " +
                quotedPath(file_.filename().string() + ".broken-<date>-<time>");
        }
    };
    // O_NONBLOCK: a FIFO in the file's place must not hang the program.
    const UniqueFd fd(::open(file_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd) {
        if (errno == ENOENT || errno == ENOTDIR) {
            state_ = FileState::Missing;
        } else {
            unusable(FileState::Unreadable, std::strerror(errno));
        }
        return;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        unusable(FileState::Unreadable, std::strerror(errno));
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        unusable(FileState::Unreadable, "it is not a regular file");
        return;
    }
    const auto tooLarge = [&](std::uint64_t size) {
        unusable(FileState::Broken, "it is " + std::to_string(size) +
                                        " bytes long, far more than an options file (at most " +
                                        std::to_string(kMaxFileSize) + " bytes)");
    };
    if (static_cast<std::uint64_t>(info.st_size) > kMaxFileSize) {
        tooLarge(static_cast<std::uint64_t>(info.st_size));
        return;
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::read(fd.get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            unusable(FileState::Unreadable, std::strerror(errno));
            return;
        }
        if (got == 0) {
            break;
        }
        content.append(chunk, static_cast<std::size_t>(got));
        if (content.size() > kMaxFileSize) {  // grew while being read
            tooLarge(content.size());
            return;
        }
    }
    try {
        content_ = RegFile::parse(content);
        state_ = FileState::Read;
    } catch (const RegFormatError& error) {
        unusable(FileState::Broken, error.what());
    }
}

void SettingsStore::requireReadable() const {
    if (state_ == FileState::Broken || state_ == FileState::Unreadable) {
        throw Error(problem_);
    }
}

// The file that is really written: a store file that is a symbolic link (a dotfile manager's
// link, say) keeps its link, and the file it points to is replaced.
fs::path SettingsStore::target() const {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(file_, error))) {
        if (fs::path resolved = fs::canonical(file_, error); !error) {
            return resolved;
        }
    }
    return file_;
}

bool SettingsStore::prepareOutput() {
    const fs::path destination = target();
    const fs::path folder = destination.has_parent_path() ? destination.parent_path() : ".";
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        errno = error.value();
        return false;
    }
    output_.emplace(
        destination, 0600,
        sync_ == Sync::Durable ? ReplacingFile::Sync::Always : ReplacingFile::Sync::Never);
    if (!output_->create()) {
        output_.reset();
        return false;
    }
    return true;
}

bool SettingsStore::setBrokenFileAside() {
    const fs::path broken = target();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = broken.string() + ".broken-" + stamp;
    std::string aside = base;
    std::error_code error;
    for (int n = 2; fs::exists(fs::symlink_status(aside, error)); ++n) {
        aside = base + '-' + std::to_string(n);
    }
    return ::rename(broken.c_str(), aside.c_str()) == 0;
}

}  // namespace varnoset
