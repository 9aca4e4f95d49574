#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings/RegFile.h"
#include "core/ReplacingFile.h"

namespace varnoset {

// The per-user typed name/value store, kept as a registry-export text file that a user can read
// and edit. It offers the registry's operations on keys below HKEY_CURRENT_USER and fails with
// the registry's messages. Writes collect in memory; close() puts them on disk atomically (a new
// file in the same folder, synced, renamed over the old one), so the old file stays whole
// whatever goes wrong. A file that cannot be read is never overwritten: reading it fails with a
// message naming the file and the line, and before the store is written again the file is kept
// beside it as "<name>.broken-<date>-<time>".
class SettingsStore {
public:
    // Sync::Skip leaves out the fsync calls; only for measurements and throw-away stores.
    enum class Sync { Durable, Skip };

    explicit SettingsStore(std::filesystem::path file, Sync sync = Sync::Durable);
    // Releases without flushing: writes not yet closed are dropped.
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // $XDG_CONFIG_HOME/Kestrane/NewVarnoset.reg, with ~/.config when XDG_CONFIG_HOME is unset.
    static std::filesystem::path userFile();

    // Key paths are relative to HKEY_CURRENT_USER, without a leading backslash. Both throw the
    // broken-file error when the file cannot be read.
    bool keyExists(std::string_view keyPath);
    // With canCreate a missing key is created; the result says whether a key is now open.
    bool openKey(std::string_view keyPath, bool canCreate);

    // "Failed to get data for '%s'" for a missing value or data longer than four bytes, "Invalid
    // data type for '%s'" for a value that is not a REG_DWORD; any non-zero number is true.
    bool readBool(std::string_view name) const;
    std::int32_t readInteger(std::string_view name) const;
    // Whether the open key holds a value of that name.
    bool hasValue(std::string_view name) const;
    // A missing or empty value reads as empty text; REG_SZ and REG_EXPAND_SZ (not expanded) are
    // read up to the first zero byte; other types: "Invalid data type for '%s'".
    std::string readString(std::string_view name) const;

    // "Failed to set data for '%s'" when no key is open or the store's folder cannot be written.
    void writeBool(std::string_view name, bool value);
    void writeInteger(std::string_view name, std::int32_t value);
    void writeString(std::string_view name, std::string_view value);

    // Flushes the changes to the file and closes the key; throws Error when the file cannot be
    // written, leaving the previous file as it was.
    void close();

    const std::filesystem::path& file() const { return file_; }

private:
    enum class FileState { NotRead, Missing, Read, Broken, Unreadable };

    void readFile();
    void requireReadable() const;
    std::uint32_t readNumber(std::string_view name) const;
    void write(std::string_view name, RegValue value);
    std::filesystem::path target() const;
    bool prepareOutput();
    bool setBrokenFileAside();

    std::filesystem::path file_;
    Sync sync_;
    FileState state_ = FileState::NotRead;
    std::string problem_;  // why the file cannot be used, for Broken and Unreadable
    RegFile content_;
    std::optional<std::string> key_;  // the open key's full path
    bool changed_ = false;
    std::optional<ReplacingFile> output_;  // made at the first write
};

}  // namespace varnoset
