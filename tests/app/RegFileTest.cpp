#include <gtest/gtest.h>

#include "app/settings/RegFile.h"
#include "app/settings/RegFormatError.h"

using namespace varnoset;
using namespace std::string_literals;

namespace {

const std::string kKey = "HKEY_CURRENT_USER\\Software\\T";

}  // namespace

TEST(RegFile, RewriteKeepsWhatItDoesNotChange) {
    const std::string original =
        "REGEDIT4\n\n"
        "; a comment before any key\n\n"
        "[HKEY_CURRENT_USER\\Software\\T]\n"
        "@=\"default value\"\n"
        "\"Path\"=\"C:\\\\dir\\\\\\\"x\\\"\"\n"
        "; a comment among values\n"
        "\"Wrapped\"=hex(7):61,00,62,00,\\\n"
        "  00,00\n"
        "\"Number\"=dword:0000002C\n"
        "\"Text\"=\"Zoë\"\n\n"
        "[HKEY_LOCAL_MACHINE\\Other]\n"
        "\"Expand\"=hex(2):25,00\n\n";
    RegFile file = RegFile::parse(original);
    EXPECT_EQ(file.text(), original);
    EXPECT_EQ(*file.value(kKey, "path"), RegValue::text("C:\\dir\\\"x\""));
    EXPECT_EQ(*file.value(kKey, ""), RegValue::text("default value"));
    EXPECT_EQ(file.value(kKey, "Wrapped")->data,
              (std::vector<std::uint8_t>{0x61, 0, 0x62, 0, 0, 0}));
    EXPECT_EQ(file.value(kKey, "Wrapped")->type, 7u);

    // Changing one value rewrites only its line, under the name's first spelling.
    file.setValue("hkey_current_user\\software\\t", "NUMBER", RegValue::dword(45));
    file.setValue(kKey, "New", RegValue::text("a\\b\"c"));
    std::string expected = original;
    expected.replace(expected.find("\"Number\"=dword:0000002C"), 23, "\"Number\"=dword:0000002d");
    expected.insert(expected.find("\n\n[HKEY_LOCAL_MACHINE") + 1, "\"New\"=\"a\\\\b\\\"c\"\n");
    EXPECT_EQ(file.text(), expected);
    EXPECT_EQ(*RegFile::parse(file.text()).value(kKey, "new"), RegValue::text("a\\b\"c"));

    // Text that cannot stand between quotes is written as hex(1) and reads back the same.
    file.setValue(kKey, "Odd", RegValue::text("tab\there\nnewline \xFF"));
    EXPECT_NE(file.text().find("\"Odd\"=hex(1):74,61,62,09,"), std::string::npos);
    EXPECT_EQ(*RegFile::parse(file.text()).value(kKey, "Odd"),
              RegValue::text("tab\there\nnewline \xFF"));
}

TEST(RegFile, BrokenLinesAreNamed) {
    struct Case {
        std::string content;
        int line;
        std::string reason;
    };
    const std::string head = "REGEDIT4\n\n[" + kKey + "]\n";
    const std::vector<Case> cases = {
        {"REGEDIT5\n", 1, "the first line is not REGEDIT4"},
        {"REGEDIT4\n\"A\"=dword:1\n", 2, "a value before the first [key] line"},
        {head + "\"A\"=dword:1\n[" + kKey + "\n", 5, "without its closing ]"},
        {head + "[-" + kKey + "]\n", 4, "key to delete"},
        {head + "\"A\"=-\n", 4, "value to delete"},
        {head + "\"A\"=dword:123456789\n", 4, "1 to 8 hexadecimal digits"},
        {head + "\"A\"=dword:xyz\n", 4, "1 to 8 hexadecimal digits"},
        {head + "\"A\"=hex:1,2g\n", 4, "two hexadecimal digits"},
        {head + "\"A\"=hex:01,\n", 4, "ends with a comma"},
        {head + "\"A\"=hex(zz):01\n", 4, "type number"},
        {head + "\"A\"=hex:01,\\\n02,\\\n", 5, "ends inside hex data"},
        {head + "\"A\"=hex:01,\\\n0x2\n", 4, "two hexadecimal digits"},
        {head + "\"A\"=\"x\" trailing\n", 4, "text after the closing quote"},
        {head + "\"A\"=\"x\\\n", 4, "ends after a backslash"},
        {head + "\"A\"=text\n", 4, "unknown kind of value"},
        {head + "\"A\" dword:1\n", 4, "no = after the value name"},
        {head + "A=dword:1\n", 4, "neither a [key] line"},
        {head + "\"A\"=\"bell\x07\"\n", 4, "control character (0x07)"},
        {head + "\n\n\"A\"=\"\xC0\xAF\"\n", 6, "not UTF-8"},
        {head + "\"A\"=\"x\"\r\n\"B\"=\0\n"s, 5, "binary content"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        try {
            RegFile::parse(c.content);
            ADD_FAILURE() << "parsed";
        } catch (const RegFormatError& error) {
            EXPECT_EQ(error.line(), c.line);
            EXPECT_NE(error.reason().find(c.reason), std::string::npos) << error.reason();
        }
    }
}
