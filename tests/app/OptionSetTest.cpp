#include <sys/resource.h>

#include <gtest/gtest.h>
#include <csignal>
#include <functional>

#include "app/settings/OptionSet.h"
#include "app/settings/PictureFolders.h"
#include "app/settings/RegFile.h"
#include "app/settings/TempFolderPath.h"
#include "core/Error.h"
#include "tests/support/EnvironmentOverride.h"
#include "tests/support/FakeOptionHolders.h"
#include "tests/support/QStringPrinter.h"
#include "tests/support/ScratchFolder.h"

using namespace varnoset;
using varnoset::test::EnvironmentOverride;
using varnoset::test::FakeOptionHolders;
using varnoset::test::ScratchFolder;

namespace {

constexpr PixelRect kScreen{0, 0, 1024, 768};
constexpr PixelSize kWindow{443, 421};
const std::string kKey = "HKEY_CURRENT_USER\\SOFTWARE\\Kestrane\\NewVarnoset\\v3.00\\Setup";

// A complete stored key. `changes` replaces a value's data, or removes the value when empty.
std::string storedKey(const std::map<std::string, std::string>& changes = {}) {
    const std::vector<std::pair<std::string, std::string>> values = {
        {"Monochrom", "dword:00000000"},
        {"Inversed", "dword:00000000"},
        {"Mirrored", "dword:00000000"},
        {"Centered", "dword:00000001"},
        {"Proportion", "dword:00000001"},
        {"HalfSize", "dword:00000000"},
        {"Stretched", "dword:00000000"},
        {"NormalSize", "dword:00000001"},
        {"Frame", "dword:00000000"},
        {"SwapBW", "dword:00000000"},
        {"FooterText", "dword:00000000"},
        {"FooterTime", "dword:00000000"},
        {"FooterUser", "dword:00000000"},
        {"Landscape", "dword:00000001"},
        {"Portrait", "dword:00000000"},
        {"Direct", "dword:00000000"},
        {"PlaySound", "dword:00000001"},
        {"Client", "dword:00000000"},
        {"Confirm", "dword:00000000"},
        {"Red", "dword:00000001"},
        {"Green", "dword:00000001"},
        {"Blue", "dword:00000001"},
        {"Resize", "dword:00000000"},
        {"WinPosLeft", "dword:0000000a"},
        {"WinPosTop", "dword:00000014"},
        {"FrameSize", "dword:00000001"},
        {"Color1", "dword:00000000"},
        {"Color2", "dword:00ffffff"},
        {"DefPrinter", "\"Default Printer\""},
        {"Copies", "dword:00000000"},
        {"SaveFolder", "\"/home/u/Pictures/\""},
        {"LoadFolder", "\"/home/u/Downloads/\""},
        {"FooterString", "\"Footer\""},
        {"Contrast", "dword:00000000"},
        {"Brightness", "dword:00000000"},
        {"Hotkey", "dword:0000002c"},
        {"HotKeyFunction", "dword:00000000"},
    };
    std::string text = "REGEDIT4\n\n[" + kKey + "]\n";
    for (auto [name, data] : values) {
        if (const auto change = changes.find(name); change != changes.end()) {
            data = change->second;
        }
        if (!data.empty()) {
            text += '"' + name + "\"=" + data + '\n';
        }
    }
    return text;
}

// Loads as start-up does; returns the error text, empty when loading succeeded.
std::string load(FakeOptionHolders& holders) {
    try {
        SettingsStore store(SettingsStore::userFile());
        LoadOptions(store, holders, kScreen, kWindow);
        return {};
    } catch (const Error& error) {
        return error.what();
    }
}

std::string save(const FakeOptionHolders& holders) {
    try {
        SettingsStore store(SettingsStore::userFile());
        SaveOptions(store, holders);
        return {};
    } catch (const Error& error) {
        return error.what();
    }
}

const RegValue* stored(const ScratchFolder& scratch, std::string_view name) {
    static RegFile file;
    file = RegFile::parse(ScratchFolder::read(scratch.storeFile()));
    return file.value(kKey, name);
}

}  // namespace

TEST(OptionSet, FirstStartCloseAndSecondStart) {
    ScratchFolder scratch;
    FakeOptionHolders first;
    ASSERT_EQ(load(first), "");

    // The store holds the 36 first-start values and no folders yet.
    const RegFile written = RegFile::parse(ScratchFolder::read(scratch.storeFile()));
    for (const OptionId id : kFirstStartOrder) {
        EXPECT_NE(written.value(kKey, optionRow(id).name), nullptr) << optionRow(id).name;
    }
    EXPECT_EQ(written.value(kKey, "SaveFolder"), nullptr);
    EXPECT_EQ(written.value(kKey, "LoadFolder"), nullptr);
    EXPECT_EQ(*written.value(kKey, "Landscape"), RegValue::dword(1));
    EXPECT_EQ(*written.value(kKey, "Portrait"), RegValue::dword(0));
    EXPECT_EQ(*written.value(kKey, "AutoCopy"), RegValue::dword(1));
    EXPECT_EQ(*written.value(kKey, "Copies"), RegValue::dword(0));
    EXPECT_EQ(*written.value(kKey, "DefPrinter"), RegValue::text("Default Printer"));
    EXPECT_EQ(*written.value(kKey, "FooterString"), RegValue::text(kFooterBanner));
    // (1024 - 443) / 2 = 290.5 and (768 - 421) / 2 = 173.5, ties to even.
    EXPECT_EQ(*written.value(kKey, "WinPosLeft"), RegValue::dword(290));
    EXPECT_EQ(*written.value(kKey, "WinPosTop"), RegValue::dword(174));
    const std::string text = ScratchFolder::read(scratch.storeFile());
    EXPECT_NE(text.find("\"HotKeyFunction\"=dword:00000000\n"), std::string::npos);
    EXPECT_NE(text.find("\"Hotkey\"=dword:0000002c\n"), std::string::npos);

    // The first run shows what it stores: landscape, and the other defaults.
    EXPECT_TRUE(first.checked(Check::RadioButton1));
    EXPECT_FALSE(first.checked(Check::RadioButton2));
    EXPECT_TRUE(first.checked(Check::CheckBox4));
    EXPECT_TRUE(first.checked(Check::CheckBox5));
    EXPECT_EQ(first.number(Number::ComboBox2), 0);
    EXPECT_EQ(first.number(Number::FrameSize), 1);
    EXPECT_EQ(first.number(Number::WindowLeft), 290);
    EXPECT_EQ(first.number(Number::WindowTop), 174);
    EXPECT_EQ(first.text(Text::SaveFolder), picturesFolder().toStdString());
    EXPECT_EQ(first.text(Text::LoadFolder), first.text(Text::SaveFolder));

    // The first close adds the position and both folders.
    first.setNumber(Number::WindowLeft, -5000);
    {
        SettingsStore store(SettingsStore::userFile());
        SaveClosingOptions(store, first);
    }
    EXPECT_EQ(*stored(scratch, "SaveFolder"), RegValue::text(first.text(Text::SaveFolder)));
    EXPECT_EQ(*stored(scratch, "LoadFolder"), RegValue::text(first.text(Text::LoadFolder)));

    // The second start reads them back and shows landscape, as stored.
    FakeOptionHolders second;
    ASSERT_EQ(load(second), "");
    EXPECT_TRUE(second.checked(Check::RadioButton1));
    EXPECT_FALSE(second.checked(Check::RadioButton2));
    EXPECT_EQ(second.number(Number::WindowLeft), -5000);
    EXPECT_EQ(second.number(Number::WindowTop), 174);
    EXPECT_EQ(second.text(Text::SaveFolder), first.text(Text::SaveFolder));
    EXPECT_EQ(second.text(Text::FooterString), kFooterBanner);
}

TEST(PictureFolders, DialogsOpenInTheStoredFolderWhileItExistsElseInThePictures) {
    ScratchFolder scratch;
    const std::filesystem::path home = scratch.path() / "home";
    std::filesystem::create_directories(home / "kept");
    const EnvironmentOverride homeVariable("HOME", home.c_str());
    const auto folder = [](const std::filesystem::path& path) {
        return QString::fromStdString(path.string()) + '/';
    };

    // No pictures folder: the home folder; then the one the desktop's user folders name.
    EXPECT_EQ(picturesFolder(), folder(home));
    std::filesystem::create_directories(home / "Bilder");
    ScratchFolder::write(scratch.config() / "user-dirs.dirs",
                         "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    EXPECT_EQ(picturesFolder(), folder(home / "Bilder"));

    const std::pair<QString, QString> cases[] = {
        {folder(home / "kept"), folder(home / "kept")},
        {QString(), folder(home / "Bilder")},
        {folder(home / "gone"), folder(home / "Bilder")},
        {QString::fromStdString(TempFolderPath()), folder(home / "Bilder")},
    };
    for (const auto& [stored, opened] : cases) {
        EXPECT_EQ(pictureDialogFolder(stored), opened) << stored.toStdString();
    }
}

TEST(OptionSet, SaveStoresWhatTheHoldersShow) {
    ScratchFolder scratch;
    ScratchFolder::write(scratch.storeFile(), storedKey());
    FakeOptionHolders shown;
    for (auto& [check, on] : shown.checks) {
        on = !on;
    }
    for (const Check check :
         {Check::CheckBox1, Check::CheckBox9, Check::NoDialog1, Check::NoDialog2, Check::Client1,
          Check::Resize1, Check::SaveEveryCapture1}) {
        shown.setChecked(check, true);
    }
    shown.setChecked(Check::RadioButton3, false);
    shown.setChecked(Check::RadioButton4, true);
    shown.numbers = {{Number::WindowLeft, 1},      {Number::WindowTop, 2},
                     {Number::FrameSize, 3},       {Number::Panel4, 0x123456},
                     {Number::Panel5, 0x00ABCDEF}, {Number::ComboBox2, -1},
                     {Number::ScrollBar1, 50},     {Number::ScrollBar2, -20},
                     {Number::Hotkey, 0x7B},       {Number::HotkeyFunction, 2}};
    shown.printers = {"Office", "Lab", "Default Printer"};
    shown.selectedPrinter = 1;
    shown.setText(Text::FooterString, "Zoë's \"quoted\" \\ footer");
    shown.setText(Text::AutoSaveFolder, "/home/u/Shots");
    shown.setText(Text::AutoSavePattern, "%Y %n.png");
    ASSERT_EQ(save(shown), "");

    // The crossed pairing, the selected printer's text and "nothing selected" as -1.
    EXPECT_EQ(*stored(scratch, "Contrast"), RegValue::dword(50));
    EXPECT_EQ(*stored(scratch, "Brightness"), RegValue::dword(static_cast<std::uint32_t>(-20)));
    EXPECT_EQ(*stored(scratch, "DefPrinter"), RegValue::text("Lab"));
    EXPECT_EQ(*stored(scratch, "Copies"), RegValue::dword(0xFFFFFFFF));
    // The position and the folders are left to the close.
    EXPECT_EQ(*stored(scratch, "WinPosLeft"), RegValue::dword(10));
    EXPECT_EQ(*stored(scratch, "SaveFolder"), RegValue::text("/home/u/Pictures/"));

    FakeOptionHolders loaded;
    ASSERT_EQ(load(loaded), "");
    for (const auto& [check, on] : shown.checks) {
        EXPECT_EQ(loaded.checked(check), on) << static_cast<int>(check);
    }
    for (const auto& [number, value] : shown.numbers) {
        if (number != Number::WindowLeft && number != Number::WindowTop) {
            EXPECT_EQ(loaded.number(number), value) << static_cast<int>(number);
        }
    }
    EXPECT_EQ(loaded.text(Text::DefPrinter), "Lab");
    EXPECT_EQ(loaded.text(Text::FooterString), shown.text(Text::FooterString));
    EXPECT_EQ(loaded.text(Text::Label1), "Brightness = 50");
    EXPECT_EQ(loaded.text(Text::Label2), "Contrast    = -20");
    // Values added since the first release: saved and read back (storedKey() lacks them).
    EXPECT_EQ(loaded.text(Text::AutoSaveFolder), "/home/u/Shots");
    EXPECT_EQ(loaded.text(Text::AutoSavePattern), "%Y %n.png");
}

TEST(OptionSet, LoadFailuresStopAtTheFailingValue) {
    struct Case {
        std::map<std::string, std::string> changes;
        std::string error;
        Check firstNotLoaded;
    };
    const std::vector<Case> cases = {
        {{{"Monochrom", ""}}, "Failed to get data for 'Monochrom'", Check::CheckBox1},
        {{{"Red", "\"yes\""}}, "Invalid data type for 'Red'", Check::CheckBox12},
        {{{"Red", "hex:01,00,00,00"}}, "Invalid data type for 'Red'", Check::CheckBox12},
        {{{"Green", "hex(4):01,00,00,00,00"}}, "Failed to get data for 'Green'", Check::CheckBox13},
        {{{"Blue", "\"a longer text\""}}, "Failed to get data for 'Blue'", Check::CheckBox14},
    };
    for (const Case& c : cases) {
        ScratchFolder scratch;
        // Every value before the failing one holds something other than the design state.
        auto changes = c.changes;
        for (const char* name : {"Monochrom", "Inversed", "Mirrored"}) {
            changes.emplace(name, "dword:00000001");
        }
        for (const char* name : {"Red", "Green", "Blue"}) {
            changes.emplace(name, "dword:00000000");
        }
        ScratchFolder::write(scratch.storeFile(), storedKey(changes));
        const std::string before = ScratchFolder::read(scratch.storeFile());
        FakeOptionHolders holders;
        EXPECT_EQ(load(holders), c.error);
        const bool monochromLoaded = c.firstNotLoaded != Check::CheckBox1;
        EXPECT_EQ(holders.checked(Check::CheckBox1), monochromLoaded) << c.error;
        EXPECT_EQ(holders.checked(Check::CheckBox3), monochromLoaded) << c.error;
        EXPECT_EQ(holders.checked(c.firstNotLoaded), FakeOptionHolders().checked(c.firstNotLoaded));
        // Nothing after the failing value reached its holder.
        EXPECT_EQ(holders.number(Number::FrameSize), 0) << c.error;
        EXPECT_EQ(holders.text(Text::FooterString), kFooterBanner) << c.error;
        EXPECT_EQ(ScratchFolder::read(scratch.storeFile()), before);
    }

    // A String value of another type fails; a missing one reads as empty text.
    ScratchFolder scratch;
    ScratchFolder::write(scratch.storeFile(), storedKey({{"DefPrinter", "dword:00000001"}}));
    FakeOptionHolders holders;
    EXPECT_EQ(load(holders), "Invalid data type for 'DefPrinter'");
    ScratchFolder::write(scratch.storeFile(), storedKey({{"FooterString", ""}}));
    EXPECT_EQ(load(holders), "");
    EXPECT_EQ(holders.text(Text::FooterString), "");
    EXPECT_EQ(holders.number(Number::Hotkey), 44);
}

TEST(OptionSet, LoadsAFileEditedByHand) {
    ScratchFolder scratch;
    ScratchFolder::write(
        scratch.storeFile(),
        "\xEF\xBB\xBFREGEDIT4\r\n\r\n"
        "; kept by hand\r\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
        "\"Binary\"=hex:01,02,03,\\\r\n"
        "  04,05\r\n\r\n" +
            storedKey({{"Monochrom", ""}, {"HotKeyFunction", ""}, {"Hotkey", "dword:7B"}})
                .substr(std::string_view("REGEDIT4\n\n").size()) +
            "\"MONOCHROM\" = dword:00000001\n"
            "\"hotkeyfunction\"=DWORD:3\n"
            "\"Unknown\"=hex(7):61,00,00,00\n"
            "\"copies\"=dword:00000004\n");
    FakeOptionHolders holders;
    ASSERT_EQ(load(holders), "");
    EXPECT_TRUE(holders.checked(Check::CheckBox1));
    EXPECT_EQ(holders.number(Number::HotkeyFunction), 3);
    EXPECT_EQ(holders.number(Number::Hotkey), 0x7B);
    EXPECT_EQ(holders.number(Number::ComboBox2), 4);  // the later line wins

    // Saving keeps the unknown key and value as they were and the names as first spelt, one
    // line per value.
    ASSERT_EQ(save(holders), "");
    const std::string text = ScratchFolder::read(scratch.storeFile());
    EXPECT_NE(text.find("; kept by hand\n\n[HKEY_CURRENT_USER\\Software\\Other]\n"
                        "\"Binary\"=hex:01,02,03,\\\n  04,05\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"Unknown\"=hex(7):61,00,00,00\n"), std::string::npos);
    EXPECT_NE(text.find("\"MONOCHROM\"=dword:00000001\n"), std::string::npos);
    EXPECT_NE(text.find("\"hotkeyfunction\"=dword:00000003\n"), std::string::npos);
    EXPECT_EQ(text.find("HotKeyFunction"), std::string::npos);
    EXPECT_NE(text.find("\"Copies\"=dword:00000004\n"), std::string::npos);
    EXPECT_EQ(text.find("\"copies\""), std::string::npos);
}

TEST(OptionSet, StoredValuesOutsideTheirRangeOrInConflict) {
    const std::string hundred = std::string(78, 'x') + "éü" + std::string(20, 'y');
    struct Case {
        std::string what;
        std::map<std::string, std::string> changes;
        std::function<void(const FakeOptionHolders&)> check;
    };
    const std::vector<Case> cases = {
        {"bars clamped",
         {{"Contrast", "dword:000000c8"}, {"Brightness", "dword:fffffed4"}},
         [](const FakeOptionHolders& h) {
             EXPECT_EQ(h.number(Number::ScrollBar1), 127);
             EXPECT_EQ(h.text(Text::Label1), "Brightness = 127");
             EXPECT_EQ(h.number(Number::ScrollBar2), -127);
             EXPECT_EQ(h.text(Text::Label2), "Contrast    = -127");
         }},
        {"footer cut",
         {{"FooterString", '"' + hundred + '"'}},
         [&](const FakeOptionHolders& h) {
             EXPECT_EQ(h.text(Text::FooterString), hundred.substr(0, 78 + 4));
         }},
        {"copies outside the list",
         {{"Copies", "dword:00000019"}},
         [](const FakeOptionHolders& h) { EXPECT_EQ(h.number(Number::ComboBox2), -1); }},
        {"last entry of the list",
         {{"Copies", "dword:00000011"}},
         [](const FakeOptionHolders& h) { EXPECT_EQ(h.number(Number::ComboBox2), 17); }},
        {"low bytes",
         {{"Hotkey", "dword:0000012c"}, {"HotKeyFunction", "dword:00000107"}},
         [](const FakeOptionHolders& h) {
             EXPECT_EQ(h.number(Number::Hotkey), 44);
             EXPECT_EQ(h.number(Number::HotkeyFunction), 7);
         }},
        {"frame size kept",
         {{"FrameSize", "dword:00000007"}},
         [](const FakeOptionHolders& h) { EXPECT_EQ(h.number(Number::FrameSize), 7); }},
        {"normal size wins",
         {{"HalfSize", "dword:00000001"}, {"NormalSize", "dword:00000001"}},
         [](const FakeOptionHolders& h) {
             EXPECT_TRUE(h.checked(Check::RadioButton3));
             EXPECT_FALSE(h.checked(Check::RadioButton4));
         }},
        {"no orientation",
         {{"Landscape", "dword:00000000"}, {"Portrait", "dword:00000000"}},
         [](const FakeOptionHolders& h) {
             EXPECT_FALSE(h.checked(Check::RadioButton1));
             EXPECT_FALSE(h.checked(Check::RadioButton2));
         }},
        {"portrait wins",
         {{"Landscape", "dword:00000001"}, {"Portrait", "dword:00000005"}},
         [](const FakeOptionHolders& h) {
             EXPECT_FALSE(h.checked(Check::RadioButton1));
             EXPECT_TRUE(h.checked(Check::RadioButton2));
         }},
        {"page size clears proportions",
         {{"Stretched", "dword:00000001"}, {"NormalSize", "dword:00000000"}},
         [](const FakeOptionHolders& h) {
             EXPECT_TRUE(h.checked(Check::RadioButton5));
             EXPECT_FALSE(h.checked(Check::RadioButton3));
             EXPECT_FALSE(h.checked(Check::CheckBox5));
         }},
        {"direct sets both menus",
         {{"Direct", "dword:00000001"}},
         [](const FakeOptionHolders& h) {
             EXPECT_TRUE(h.checked(Check::NoDialog1));
             EXPECT_TRUE(h.checked(Check::NoDialog2));
         }},
        {"off-screen position",
         {{"WinPosLeft", "dword:ffffec78"}},
         [](const FakeOptionHolders& h) { EXPECT_EQ(h.number(Number::WindowLeft), -5000); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch;
        ScratchFolder::write(scratch.storeFile(), storedKey(c.changes));
        FakeOptionHolders holders;
        ASSERT_EQ(load(holders), "");
        c.check(holders);
    }

    // A following "Save Options" stores an unselected copies list as -1.
    ScratchFolder scratch;
    ScratchFolder::write(scratch.storeFile(), storedKey({{"Copies", "dword:00000019"}}));
    FakeOptionHolders holders;
    ASSERT_EQ(load(holders), "");
    ASSERT_EQ(save(holders), "");
    EXPECT_EQ(*stored(scratch, "Copies"), RegValue::dword(0xFFFFFFFF));
}

TEST(OptionSet, RulesTheWindowSharesWithLoading) {
    struct Centring {
        PixelRect monitor;
        PixelSize window;
        WindowPlace place;
    };
    for (const Centring& c : {Centring{{0, 0, 1024, 768}, {707, 449}, {158, 160}},
                              Centring{{0, 0, 1024, 768}, {705, 447}, {160, 160}},
                              Centring{{0, 0, 800, 600}, {1117, 919}, {-158, -160}},
                              Centring{{0, 0, 800, 600}, {400, 300}, {200, 150}},
                              // a monitor right of another, or above it
                              Centring{{1920, 0, 1920, 1080}, {443, 421}, {2658, 330}},
                              Centring{{0, -1200, 1600, 1200}, {400, 300}, {600, -750}}}) {
        const WindowPlace place = centredPlace(c.monitor, c.window);
        EXPECT_EQ(place.left, c.place.left) << c.window.width;
        EXPECT_EQ(place.top, c.place.top) << c.window.height;
    }
    EXPECT_EQ(printerEntryToSelect({"A", "B", "A", "Default Printer"}, "A"), 2);
    EXPECT_EQ(printerEntryToSelect({"Office", "Default Printer"}, "office"), -1);
    EXPECT_EQ(printerEntryToSelect({"Office", "Default Printer"}, ""), -1);
    EXPECT_EQ(printerEntryToSelect({}, "Default Printer"), -1);
    EXPECT_EQ(cutFooter(std::string(100, 'a')), std::string(80, 'a'));
    EXPECT_EQ(cutFooter("short"), "short");
}

TEST(OptionSet, SaveThatCannotReachTheFileSaysSo) {
    FakeOptionHolders holders;
    // The tests may run as root, whom permissions do not stop; a regular file where the store's
    // folder belongs stops everyone, on the same path through the store as a read-only folder.
    {
        ScratchFolder scratch;
        ScratchFolder::write(scratch.config() / "Kestrane", "not a folder");
        EXPECT_EQ(save(holders), "Failed to set data for 'Monochrom'");
        EXPECT_EQ(ScratchFolder::read(scratch.config() / "Kestrane"), "not a folder");
    }
    if (::geteuid() != 0) {
        ScratchFolder scratch;
        ScratchFolder::write(scratch.storeFile(), storedKey());
        std::filesystem::permissions(
            scratch.storeFile().parent_path(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_EQ(save(holders), "Failed to set data for 'Monochrom'");
        EXPECT_EQ(ScratchFolder::read(scratch.storeFile()), storedKey());
    }

    // A full disk, as a file size limit: the flush fails, the previous file stays whole and no
    // half-written file is left beside it.
    ScratchFolder scratch;
    ScratchFolder::write(scratch.storeFile(), storedKey());
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 200;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const std::string error = save(holders);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(error, "Failed to save the options in \"" + scratch.storeFile().string() +
                         "\": File too large");
    EXPECT_EQ(ScratchFolder::read(scratch.storeFile()), storedKey());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.storeFile().parent_path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(OptionSet, ClosingAfterABrokenFileLeavesAWholeKeyForTheNextStart) {
    ScratchFolder scratch;
    const std::string broken = storedKey() + "\"FooterString\"=\"C:\\temp\"\n";
    ScratchFolder::write(scratch.storeFile(), broken);
    FakeOptionHolders first;
    EXPECT_NE(load(first), "");  // the broken file is reported, the holders keep their design

    first.setChecked(Check::CheckBox2, true);  // a change made during the run
    first.setNumber(Number::WindowLeft, 33);
    {
        SettingsStore store(SettingsStore::userFile());
        SaveClosingOptions(store, first);
    }
    // The broken file is kept beside the store, byte for byte.
    bool keptAside = false;
    for (const auto& entry :
         std::filesystem::directory_iterator(scratch.storeFile().parent_path())) {
        if (entry.path().filename().string().starts_with("NewVarnoset.reg.broken-")) {
            keptAside = ScratchFolder::read(entry.path()) == broken;
        }
    }
    EXPECT_TRUE(keptAside);

    // The next start reads every option without an error.
    FakeOptionHolders second;
    EXPECT_EQ(load(second), "");
    EXPECT_TRUE(second.checked(Check::CheckBox2));
    EXPECT_EQ(second.number(Number::WindowLeft), 33);
}

// `varnoset --bind-keys` before Varnoset ever started leaves a key with the binding alone: the
// first start still writes the defaults, and keeps the binding.
TEST(OptionSet, ABindingKeptBeforeTheFirstStartStaysThroughIt) {
    ScratchFolder scratch;
    ScratchFolder::write(scratch.storeFile(),
                         "REGEDIT4\n\n[" + kKey + "]\n\"DesktopKeys\"=\"Xfce;44\"\n");
    FakeOptionHolders first;
    ASSERT_EQ(load(first), "");
    EXPECT_EQ(first.text(Text::DesktopKeys), "Xfce;44");
    EXPECT_EQ(*stored(scratch, "Monochrom"), RegValue::dword(0));
    EXPECT_EQ(*stored(scratch, "DesktopKeys"), RegValue::text("Xfce;44"));
}
