#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/settings/RegValue.h"

namespace varnoset {

// A registry export in the REGEDIT4 text format, held in memory: keys with their full paths
// ("HKEY_CURRENT_USER\SOFTWARE\..."), each with typed values. Keys and value names match without
// regard to case. Values and comments that are never changed are written back exactly as they
// were read, so a rewrite keeps whatever the program does not know.
class RegFile {
public:
    // Reads a whole file's content; throws RegFormatError naming the first line it cannot read.
    static RegFile parse(std::string_view content);

    // The file's content: REGEDIT4, a blank line, then every key with its values.
    std::string text() const;

    bool hasKey(std::string_view key) const;
    void addKey(std::string_view key);

    // The value, or nullptr when the key or the value is missing.
    const RegValue* value(std::string_view key, std::string_view name) const;
    // Replaces the value (keeping the name's spelling as first stored) or appends it; adds the
    // key when missing.
    void setValue(std::string_view key, std::string_view name, RegValue value);

private:
    struct Entry {
        bool comment = false;
        std::string name;  // empty for the key's default value, written @
        RegValue value;
        std::vector<std::string> source;  // the lines as read; empty once the value has changed
    };
    struct Section {
        std::string key;
        std::vector<Entry> entries;
    };

    Section* findSection(std::string_view key);
    const Section* findSection(std::string_view key) const;
    Section& section(std::string_view key);
    static void put(Section& section, Entry entry);

    std::vector<std::string> preamble_;  // comment lines before the first key
    std::vector<Section> sections_;
};

}  // namespace varnoset
