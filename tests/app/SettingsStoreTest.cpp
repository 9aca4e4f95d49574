#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <functional>

#include "app/settings/OptionSet.h"
#include "app/settings/SettingsStore.h"
#include "core/Error.h"
#include "tests/support/FakeOptionHolders.h"
#include "tests/support/ScratchFolder.h"

using namespace varnoset;
using varnoset::test::FakeOptionHolders;
using varnoset::test::ScratchFolder;

namespace {

const std::string kSection = "[HKEY_CURRENT_USER\\SOFTWARE\\Kestrane\\NewVarnoset\\v3.00\\Setup]\n";

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
        return {};
    } catch (const Error& error) {
        return error.what();
    }
}

std::vector<std::filesystem::path> filesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

TEST(SettingsStore, ReadsTypesAsTheRegistryDoes) {
    ScratchFolder scratch;
    ScratchFolder::write(scratch.storeFile(),
                         "REGEDIT4\n\n" + kSection +
                             "\"Two\"=dword:00000002\n"
                             "\"Minus\"=dword:ffffffff\n"
                             "\"Short\"=hex(4):2c\n"
                             "\"Long\"=hex(4):01,00,00,00,00\n"
                             "\"Binary\"=hex:01,00,00,00\n"
                             "\"Text3\"=\"abc\"\n"
                             "\"Text5\"=\"abcde\"\n"
                             "\"Empty\"=\"\"\n"
                             "\"EmptyBinary\"=hex:\n"
                             "\"Expand\"=hex(2):25,48,4f,4d,45,25,00,6a,75,6e,6b\n"
                             "\"Raw\"=hex(1):c3,a9,0a,ff\n");
    SettingsStore store(scratch.storeFile());
    ASSERT_TRUE(store.keyExists("SOFTWARE\\Kestrane\\NewVarnoset\\v3.00\\Setup"));
    ASSERT_FALSE(store.keyExists("SOFTWARE\\Kestrane\\NewVarnoset\\v3.00"));
    ASSERT_TRUE(store.openKey("software\\kestrane\\newvarnoset\\V3.00\\setup", false));

    EXPECT_TRUE(store.readBool("two"));
    EXPECT_EQ(store.readInteger("Minus"), -1);
    EXPECT_EQ(store.readInteger("Short"), 44);
    EXPECT_EQ(errorOf([&] { store.readInteger("Missing"); }), "Failed to get data for 'Missing'");
    EXPECT_EQ(errorOf([&] { store.readBool("Long"); }), "Failed to get data for 'Long'");
    EXPECT_EQ(errorOf([&] { store.readInteger("Text5"); }), "Failed to get data for 'Text5'");
    EXPECT_EQ(errorOf([&] { store.readInteger("Binary"); }), "Invalid data type for 'Binary'");
    EXPECT_EQ(errorOf([&] { store.readBool("Text3"); }), "Invalid data type for 'Text3'");

    EXPECT_EQ(store.readString("Text5"), "abcde");
    EXPECT_EQ(store.readString("Missing"), "");
    EXPECT_EQ(store.readString("Empty"), "");
    EXPECT_EQ(store.readString("EmptyBinary"), "");
    EXPECT_EQ(store.readString("Expand"), "%HOME%");
    EXPECT_EQ(store.readString("Raw"), "\xC3\xA9\n\xFF");
    EXPECT_EQ(errorOf([&] { store.readString("Two"); }), "Invalid data type for 'Two'");
    EXPECT_EQ(errorOf([&] { store.readString("Binary"); }), "Invalid data type for 'Binary'");

    // Without an open key every read fails as a missing value would, and writes are refused.
    SettingsStore closed(scratch.storeFile());
    EXPECT_FALSE(closed.openKey("SOFTWARE\\Nothing", false));
    EXPECT_EQ(errorOf([&] { closed.readBool("Two"); }), "Failed to get data for 'Two'");
    EXPECT_EQ(closed.readString("Text3"), "");
    EXPECT_EQ(errorOf([&] { closed.writeBool("Two", true); }), "Failed to set data for 'Two'");
}

TEST(SettingsStore, WritesReachTheFileOnlyAtClose) {
    ScratchFolder scratch;
    const std::string strange = "line\nbreak \xFF\x01 and \"quotes\" \\";
    {
        SettingsStore store(scratch.storeFile());
        ASSERT_TRUE(store.openKey("SOFTWARE\\Test", true));
        store.writeInteger("Number", -2);
        store.writeString("Strange", strange);
        EXPECT_FALSE(std::filesystem::exists(scratch.storeFile()));
        // Dropped without close: nothing written, no temporary file left.
    }
    EXPECT_TRUE(filesIn(scratch.storeFile().parent_path()).empty());

    {
        SettingsStore store(scratch.storeFile());
        ASSERT_TRUE(store.openKey("SOFTWARE\\Test", true));
        store.writeInteger("Number", -2);
        store.writeString("Strange", strange);
        store.close();
    }
    EXPECT_EQ(filesIn(scratch.storeFile().parent_path()),
              std::vector<std::filesystem::path>{scratch.storeFile()});
    SettingsStore again(scratch.storeFile());
    ASSERT_TRUE(again.openKey("SOFTWARE\\Test", false));
    EXPECT_EQ(again.readInteger("Number"), -2);
    EXPECT_EQ(again.readString("Strange"), strange);
    // One value per line, all of it valid UTF-8 text.
    const std::string text = ScratchFolder::read(scratch.storeFile());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6) << text;

    // A store file that is a link (a dotfile manager's, say) stays a link to the new content.
    const auto real = scratch.path() / "dotfiles" / "NewVarnoset.reg";
    std::filesystem::create_directories(real.parent_path());
    std::filesystem::rename(scratch.storeFile(), real);
    std::filesystem::create_symlink(real, scratch.storeFile());
    {
        SettingsStore store(scratch.storeFile());
        ASSERT_TRUE(store.openKey("SOFTWARE\\Test", true));
        store.writeInteger("Number", 7);
        store.close();
    }
    EXPECT_TRUE(std::filesystem::is_symlink(scratch.storeFile()));
    EXPECT_NE(ScratchFolder::read(real).find("\"Number\"=dword:00000007"), std::string::npos);
}

TEST(SettingsStore, BadFilesAreReportedAndKept) {
    std::string binary(4096, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) {
        binary[i] = static_cast<char>((i * 7919) % 251);
    }
    struct Case {
        std::string what;
        std::string content;
        std::string detail;
    };
    const std::vector<Case> cases = {
        {"truncated", "REGEDIT4\n\n" + kSection + "\"Monochrom\"=dword:00000000\n\"Foot",
         "line 5: quoted text without its closing quote"},
        {"binary", binary, "line 1: binary content"},
        {"broken escape", "REGEDIT4\n\n" + kSection + "\"FooterString\"=\"C:\\temp\"\n",
         "line 4: unknown escape \\t"},
        {"not UTF-8", "REGEDIT4\n\n" + kSection + "\"DefPrinter\"=\"Caf\xE9\"\n",
         "line 4: text that is not UTF-8"},
        {"empty", "", "line 1: the file is empty"},
        {"huge", "", "52428800 bytes long"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch;
        const auto file = scratch.storeFile();
        ScratchFolder::write(file, c.content);
        if (c.what == "huge") {
            std::filesystem::resize_file(file, 50 << 20);
        }
        const std::string before = ScratchFolder::read(file);

        FakeOptionHolders holders;
        const std::string error = errorOf([&] {
            SettingsStore store(file);
            LoadOptions(store, holders, {0, 0, 1024, 768}, {400, 300});
        });
        EXPECT_NE(error.find('"' + file.string() + '"'), std::string::npos) << error;
        EXPECT_NE(error.find(c.detail), std::string::npos) << error;
        EXPECT_TRUE(holders == FakeOptionHolders());
        EXPECT_TRUE(ScratchFolder::read(file) == before);

        // Saving sets the broken file aside under a name that says so, then writes anew.
        EXPECT_EQ(errorOf([&] {
                      SettingsStore store(file);
                      SaveClosingOptions(store, holders);
                  }),
                  "");
        const auto files = filesIn(file.parent_path());
        ASSERT_EQ(files.size(), 2u);
        EXPECT_EQ(files[0], file);
        EXPECT_TRUE(files[1].filename().string().starts_with("NewVarnoset.reg.broken-"));
        EXPECT_TRUE(ScratchFolder::read(files[1]) == before);
        SettingsStore fresh(file);
        EXPECT_TRUE(fresh.keyExists(kSetupKey));
    }
}
