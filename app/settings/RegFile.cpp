#include "app/settings/RegFile.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "app/settings/RegFormatError.h"
#include "app/settings/TextRules.h"

namespace varnoset {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    return s;
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string_view trim(std::string_view s) {
    return trimRight(trimLeft(s));
}

bool startsWithIgnoringCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalsIgnoringCase(s.substr(0, prefix.size()), prefix);
}

// Reads 1 to 8 hexadecimal digits that make up the whole of `digits`.
bool parseHexNumber(std::string_view digits, std::uint32_t& number) {
    if (digits.empty() || digits.size() > 8) {
        return false;
    }
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), number, 16);
    return error == std::errc() && end == digits.data() + digits.size();
}

std::vector<std::string_view> splitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        content.remove_prefix(end + 1);
    }
    return lines;
}

// Text that can stand between quotes: UTF-8 without control characters.
bool isQuotableText(const std::vector<std::uint8_t>& data) {
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    return isValidUtf8(text) && std::none_of(text.begin(), text.end(), [](char c) {
               const auto u = static_cast<unsigned char>(c);
               return u < 0x20 || u == 0x7F;
           });
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
        }
        out += c;
    }
    out += '"';
    return out;
}

std::string hexBytes(const std::vector<std::uint8_t>& data) {
    std::string out;
    char digits[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(digits, sizeof digits, i == 0 ? "%02x" : ",%02x", data[i]);
        out += digits;
    }
    return out;
}

std::string valueLine(std::string_view name, const RegValue& value) {
    std::string line = name.empty() ? "@" : quoted(name);
    line += '=';
    if (value.type == kRegSz && isQuotableText(value.data)) {
        line += quoted(
            std::string_view(reinterpret_cast<const char*>(value.data.data()), value.data.size()));
    } else if (value.type == kRegDword && value.data.size() == 4) {
        char digits[16];
        std::uint32_t number = 0;
        for (unsigned i = 0; i < 4; ++i) {
            number |= static_cast<std::uint32_t>(value.data[i]) << (8 * i);
        }
        std::snprintf(digits, sizeof digits, "dword:%08x", number);
        line += digits;
    } else if (value.type == kRegBinary) {
        line += "hex:" + hexBytes(value.data);
    } else {
        // Text with control characters or bytes that are not UTF-8 (a folder name may hold
        // both) is kept as hex(1) so that the file stays one readable line per value.
        char type[24];
        std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
        line += type + hexBytes(value.data);
    }
    return line;
}

// The lines of a file being read and the one being looked at, for error messages.
struct Cursor {
    std::vector<std::string_view> lines;
    std::size_t index = 0;

    std::string_view current() const { return lines[index]; }
    [[noreturn]] void fail(const std::string& reason) const {
        throw RegFormatError(static_cast<int>(index) + 1, reason);
    }
};

void checkCharacters(const Cursor& cursor, std::string_view line) {
    if (!isValidUtf8(line)) {
        cursor.fail("text that is not UTF-8");
    }
    for (const char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7F) {
            char reason[48];
            std::snprintf(reason, sizeof reason, "a control character (0x%02x)", u);
            cursor.fail(reason);
        }
    }
}

// Reads "…" at the start of `rest` with its two escapes \\ and \", and moves past it.
std::string parseQuoted(const Cursor& cursor, std::string_view& rest) {
    std::string text;
    for (std::size_t i = 1; i < rest.size(); ++i) {
        const char c = rest[i];
        if (c == '"') {
            rest.remove_prefix(i + 1);
            return text;
        }
        if (c == '\\') {
            if (i + 1 == rest.size()) {
                cursor.fail("the line ends after a backslash inside quotes");
            }
            const char escaped = rest[++i];
            if (escaped != '\\' && escaped != '"') {
                cursor.fail(std::string("unknown escape \\") + escaped +
                            " in quoted text (only \\\\ and \\\" are allowed)");
            }
            text += escaped;
        } else {
            text += c;
        }
    }
    cursor.fail("quoted text without its closing quote");
}

std::vector<std::uint8_t> parseHexList(const Cursor& cursor, std::string_view list) {
    std::vector<std::uint8_t> bytes;
    list = trim(list);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = trim(list.substr(0, comma));
        std::uint32_t byte = 0;
        if (item.size() > 2 || !parseHexNumber(item, byte)) {
            cursor.fail("hex data must be bytes of two hexadecimal digits separated by commas");
        }
        bytes.push_back(static_cast<std::uint8_t>(byte));
        if (comma == std::string_view::npos) {
            break;
        }
        list.remove_prefix(comma + 1);
        if (trim(list).empty()) {
            cursor.fail("hex data ends with a comma");
        }
    }
    return bytes;
}

// Reads what follows "name"= ; hex data may go on over lines that end with a backslash, which
// are added to `source`.
RegValue parseData(Cursor& cursor, std::string_view data, std::vector<std::string>& source) {
    if (data.starts_with('"')) {
        std::string text = parseQuoted(cursor, data);
        if (!trim(data).empty()) {
            cursor.fail("text after the closing quote");
        }
        return RegValue::text(text);
    }
    if (startsWithIgnoringCase(data, "dword:")) {
        std::uint32_t number = 0;
        if (!parseHexNumber(trim(data.substr(6)), number)) {
            cursor.fail("dword: needs 1 to 8 hexadecimal digits");
        }
        return RegValue::dword(number);
    }
    if (data.starts_with('-')) {
        cursor.fail("a value to delete (=-) has no place in an options file");
    }
    RegValue value;
    if (startsWithIgnoringCase(data, "hex:")) {
        value.type = kRegBinary;
        data.remove_prefix(4);
    } else if (startsWithIgnoringCase(data, "hex(")) {
        const std::size_t close = data.find("):");
        if (close == std::string_view::npos ||
            !parseHexNumber(data.substr(4, close - 4), value.type)) {
            cursor.fail("hex(N): needs a type number of 1 to 8 hexadecimal digits");
        }
        data.remove_prefix(close + 2);
    } else {
        cursor.fail("unknown kind of value (expected \"text\", dword:, hex: or hex(N):)");
    }
    std::string list(trimRight(data));
    const std::size_t firstLine = cursor.index;
    while (!list.empty() && list.back() == '\\') {
        list.pop_back();
        if (cursor.index + 1 == cursor.lines.size()) {
            cursor.fail("the file ends inside hex data continued with a backslash");
        }
        ++cursor.index;
        checkCharacters(cursor, cursor.current());
        source.emplace_back(cursor.current());
        list += trim(cursor.current());
    }
    // A mistake anywhere in continued data is reported at the value's first line.
    Cursor start{cursor.lines, firstLine};
    value.data = parseHexList(start, list);
    return value;
}

}  // namespace

RegFile RegFile::parse(std::string_view content) {
    if (const std::size_t zero = content.find('\0'); zero != std::string_view::npos) {
        const auto line = 1 + std::count(content.begin(), content.begin() + zero, '\n');
        throw RegFormatError(static_cast<int>(line), "binary content (a zero byte), not text");
    }
    if (content.starts_with(kByteOrderMark)) {
        content.remove_prefix(kByteOrderMark.size());
    }
    Cursor cursor{splitLines(content)};
    if (cursor.lines.empty()) {
        cursor.lines.emplace_back();
        cursor.fail("the file is empty; an options file begins with the line REGEDIT4");
    }
    checkCharacters(cursor, cursor.current());
    if (trimRight(cursor.current()) != kHeader) {
        cursor.fail("the first line is not REGEDIT4");
    }

    RegFile file;
    Section* section = nullptr;
    for (++cursor.index; cursor.index < cursor.lines.size(); ++cursor.index) {
        const std::string_view raw = cursor.current();
        checkCharacters(cursor, raw);
        const std::string_view line = trim(raw);
        if (line.empty()) {
            continue;
        }
        if (line.starts_with(';')) {
            if (section != nullptr) {
                Entry comment;
                comment.comment = true;
                comment.source.emplace_back(raw);
                section->entries.push_back(std::move(comment));
            } else {
                file.preamble_.emplace_back(raw);
            }
            continue;
        }
        if (line.starts_with('[')) {
            if (!line.ends_with(']')) {
                cursor.fail("a [key] line without its closing ]");
            }
            const std::string_view key = line.substr(1, line.size() - 2);
            if (key.starts_with('-')) {
                cursor.fail("a key to delete ([-...]) has no place in an options file");
            }
            if (trim(key).empty()) {
                cursor.fail("an empty key name");
            }
            section = &file.section(key);
            continue;
        }
        if (!line.starts_with('"') && !line.starts_with('@')) {
            cursor.fail("neither a [key] line nor a \"name\"=value line");
        }
        if (section == nullptr) {
            cursor.fail("a value before the first [key] line");
        }
        Entry entry;
        std::string_view rest = line;
        if (rest.starts_with('@')) {
            rest.remove_prefix(1);
        } else {
            entry.name = parseQuoted(cursor, rest);
        }
        rest = trimLeft(rest);
        if (!rest.starts_with('=')) {
            cursor.fail("no = after the value name");
        }
        entry.source.emplace_back(raw);
        entry.value = parseData(cursor, trimLeft(rest.substr(1)), entry.source);
        put(*section, std::move(entry));
    }
    return file;
}

std::string RegFile::text() const {
    std::string out = std::string(kHeader) + "\n\n";
    for (const std::string& line : preamble_) {
        out += line + '\n';
    }
    if (!preamble_.empty()) {
        out += '\n';
    }
    for (const Section& section : sections_) {
        out += '[' + section.key + "]\n";
        for (const Entry& entry : section.entries) {
            if (entry.source.empty()) {
                out += valueLine(entry.name, entry.value) + '\n';
            } else {
                for (const std::string& line : entry.source) {
                    out += line + '\n';
                }
            }
        }
        out += '\n';
    }
    return out;
}

bool RegFile::hasKey(std::string_view key) const {
    return findSection(key) != nullptr;
}

void RegFile::addKey(std::string_view key) {
    section(key);
}

const RegValue* RegFile::value(std::string_view key, std::string_view name) const {
    const Section* found = findSection(key);
    if (found == nullptr) {
        return nullptr;
    }
    for (const Entry& entry : found->entries) {
        if (!entry.comment && equalsIgnoringCase(entry.name, name)) {
            return &entry.value;
        }
    }
    return nullptr;
}

void RegFile::setValue(std::string_view key, std::string_view name, RegValue value) {
    Entry entry;
    entry.name = name;
    entry.value = std::move(value);
    put(section(key), std::move(entry));
}

RegFile::Section* RegFile::findSection(std::string_view key) {
    for (Section& section : sections_) {
        if (equalsIgnoringCase(section.key, key)) {
            return &section;
        }
    }
    return nullptr;
}

const RegFile::Section* RegFile::findSection(std::string_view key) const {
    return const_cast<RegFile*>(this)->findSection(key);
}

RegFile::Section& RegFile::section(std::string_view key) {
    if (Section* found = findSection(key)) {
        return *found;
    }
    return sections_.emplace_back(Section{std::string(key), {}});
}

// One entry per name: a later line for the same name (as a second import would) replaces the
// earlier value in its place, under the spelling the name had first.
void RegFile::put(Section& section, Entry entry) {
    for (Entry& existing : section.entries) {
        if (!existing.comment && equalsIgnoringCase(existing.name, entry.name)) {
            existing.value = std::move(entry.value);
            existing.source.clear();  // written anew under the first spelling
            return;
        }
    }
    section.entries.push_back(std::move(entry));
}

}  // namespace varnoset
