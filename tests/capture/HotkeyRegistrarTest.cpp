#include <gtest/gtest.h>

#include "capture/CaptureModes.h"
#include "capture/HotkeyRegistrar.h"
#include "capture/KeyTable.h"
#include "tests/capture/CaptureFakes.h"

using namespace varnoset;
using namespace capture_fakes;

namespace {

struct RegistrarFixture {
    Log log;
    FakeHotkeys hotkeys{log};
    std::vector<int> checkedRows;
    QStringList tips;
    QStringList notices;
    HotkeyRegistrar registrar{
        hotkeys, [this](int row) { checkedRows.push_back(row); },
        [this](const QString& tip) { tips << tip; },
        [this](const QString& title, const QString& text) { notices << title + " | " + text; }};
};

}  // namespace

TEST(HotkeyRegistrar, RegistersBothFormsFromScratchInTheModesOrder) {
    struct Case {
        int mode;
        QStringList calls;
    };
    // F5: keysym ffc2.
    const Case cases[] = {
        {0, {"unregister -1", "unregister -2", "register -1 alt ffc2", "register -2 alone ffc2"}},
        {1, {"unregister -1", "unregister -2", "register -2 alt ffc2", "register -1 alone ffc2"}},
        {2, {"unregister -1", "unregister -2", "register -2 alone ffc2", "register -1 alt ffc2"}},
        {3, {"unregister -1", "unregister -2", "register -1 alt ffc2", "register -2 alone ffc2"}},
        {7, {"unregister -1", "unregister -2"}},
    };
    for (const Case& c : cases) {
        RegistrarFixture f;
        f.registrar.registerHotkeys(116, c.mode);
        EXPECT_EQ(f.log.entries, c.calls) << "mode " << c.mode;
        EXPECT_EQ(f.checkedRows, std::vector<int>{5}) << "mode " << c.mode;
        ASSERT_FALSE(f.tips.isEmpty());
        EXPECT_EQ(f.tips.back(), QStringLiteral("Varnoset\u00AE v3.00  [ Press F5 ]"));
    }
}

TEST(HotkeyRegistrar, ChangingTheKeyReplacesBothRegistrations) {
    RegistrarFixture f;
    f.registrar.registerHotkeys(44, kRectangleMode);
    f.registrar.registerHotkeys(119, kRectangleMode);  // F8
    ASSERT_EQ(f.hotkeys.registered.size(), 2u);
    const auto* screen = f.hotkeys.find(kScreenHotkey);
    const auto* window = f.hotkeys.find(kWindowHotkey);
    ASSERT_TRUE(screen && window);
    EXPECT_EQ(screen->keySymbol, 0xffc5u);
    EXPECT_EQ(screen->modifier, Hotkeys::Modifier::None);
    EXPECT_EQ(window->keySymbol, 0xffc5u);
    EXPECT_EQ(window->modifier, Hotkeys::Modifier::Alt);
    EXPECT_EQ(f.checkedRows, (std::vector<int>{0, 8}));
    EXPECT_EQ(f.registrar.prompt(), "Press F8");

    // The same key and mode again (the stored mode at start-up) replaces without releasing.
    f.log.entries.clear();
    f.registrar.registerHotkeys(119, kRectangleMode);
    EXPECT_EQ(f.log.entries, (QStringList{"register -2 alone ffc5", "register -1 alt ffc5"}));

    // A mode outside 0..3 leaves nothing registered; a real mode registers again.
    f.registrar.registerHotkeys(119, 7);
    EXPECT_TRUE(f.hotkeys.registered.empty());
    f.registrar.registerHotkeys(119, 1);
    EXPECT_EQ(f.hotkeys.registered.size(), 2u);
}

TEST(HotkeyRegistrar, AKeyOutsideTheTableKeepsThePromptAndTheMenuCheck) {
    RegistrarFixture f;
    f.registrar.registerHotkeys(33, 0);  // Page Up
    f.registrar.registerHotkeys(65, 0);  // only reachable through edited stored options
    EXPECT_EQ(f.checkedRows, std::vector<int>{13});
    EXPECT_EQ(f.registrar.prompt(), "Press Page-UP");
    EXPECT_EQ(f.tips.size(), 2);
    EXPECT_EQ(f.tips.back(), QStringLiteral("Varnoset\u00AE v3.00  [ Press Page-UP ]"));
    // Both identifiers are registered anew, with no key symbol to grab.
    ASSERT_EQ(f.hotkeys.registered.size(), 2u);
    EXPECT_EQ(f.hotkeys.registered[0].keySymbol, 0u);
}

TEST(HotkeyRegistrar, SuspendingReleasesOnlyThePrintScreenKey) {
    {
        RegistrarFixture f;
        f.registrar.registerHotkeys(kPrintScreenKey, 0);
        f.registrar.showSuspended(kPrintScreenKey);
        EXPECT_TRUE(f.hotkeys.registered.empty());
        EXPECT_EQ(f.tips.back(), QStringLiteral("Varnoset\u00AE v3.00  [ - Suspended - ]"));
    }
    {
        RegistrarFixture f;
        f.registrar.registerHotkeys(119, 0);
        f.registrar.showSuspended(119);
        EXPECT_EQ(f.hotkeys.registered.size(), 2u);
        EXPECT_EQ(f.registrar.prompt(), "- Suspended -");
    }
}

// Another program holds Print alone and with Alt, as a desktop's own screenshot binding does.
TEST(HotkeyRegistrar, AKeyHeldElsewhereIsSaidOnceAndTakenWhenFree) {
    RegistrarFixture f;
    f.hotkeys.takenElsewhere = {0xff61};
    f.registrar.registerHotkeys(kPrintScreenKey, 0);
    EXPECT_EQ(f.tips.back(),
              QStringLiteral("Varnoset\u00AE v3.00  [ PrintScreen used by another program ]"));
    EXPECT_LE(f.tips.back().size(), 62);
    ASSERT_EQ(f.notices.size(), 1);
    EXPECT_TRUE(f.notices[0].startsWith("PrintScreen is in use | Another program"))
        << f.notices[0].toStdString();
    EXPECT_TRUE(f.notices[0].contains("holds PrintScreen and Alt+PrintScreen"));
    EXPECT_TRUE(f.notices[0].contains("Options \u25B8 Define Hotkey"));
    EXPECT_TRUE(f.notices[0].contains("PrintScreen: varnoset --hotkey;"));
    EXPECT_TRUE(f.notices[0].contains("Alt+PrintScreen: varnoset --hotkey alt"));

    // Start-up registers the stored mode a second time: still one notice.
    f.registrar.registerHotkeys(kPrintScreenKey, 0);
    EXPECT_EQ(f.notices.size(), 1);
    // Retries while the other program holds it change nothing.
    f.registrar.retryRefused();
    EXPECT_EQ(f.hotkeys.retries, 1);
    EXPECT_EQ(f.registrar.refused().size(), 2u);

    // Freed: the next retry takes it and the prompt is back.
    f.hotkeys.takenElsewhere.clear();
    f.registrar.retryRefused();
    EXPECT_TRUE(f.registrar.refused().empty());
    EXPECT_EQ(f.tips.back(), QStringLiteral("Varnoset\u00AE v3.00  [ Press PrintScreen ]"));
    f.registrar.retryRefused();
    EXPECT_EQ(f.hotkeys.retries, 2);  // nothing left to retry

    // Taken again behind our back (a keyboard change re-grabs): said again, once.
    f.hotkeys.takenElsewhere = {0xff61};
    f.hotkeys.heldChanged();
    EXPECT_EQ(f.notices.size(), 2);

    // Suspended, the tooltip says so whoever holds the key; resuming registers anew.
    f.registrar.showSuspended(kPrintScreenKey);
    EXPECT_EQ(f.tips.back(), QStringLiteral("Varnoset\u00AE v3.00  [ - Suspended - ]"));
    f.hotkeys.heldChanged();
    EXPECT_EQ(f.notices.size(), 2);
    f.registrar.registerHotkeys(kPrintScreenKey, kRectangleMode);
    ASSERT_EQ(f.notices.size(), 3);

    // F8 stays registered while suspended; taken meanwhile, it is told on resuming, by name.
    f.registrar.registerHotkeys(119, 0);
    f.registrar.showSuspended(119);
    f.hotkeys.takenElsewhere = {0xffc5};
    f.hotkeys.heldChanged();
    EXPECT_EQ(f.notices.size(), 3);
    f.registrar.registerHotkeys(119, 0);
    ASSERT_EQ(f.notices.size(), 4);
    EXPECT_TRUE(f.notices[3].startsWith("F8 is in use")) << f.notices[3].toStdString();
    f.hotkeys.takenElsewhere.clear();

    // Another key that is free: held, prompt as ever; a key outside the table is never "taken".
    f.registrar.registerHotkeys(119, 0);
    EXPECT_EQ(f.tips.back(), QStringLiteral("Varnoset\u00AE v3.00  [ Press F8 ]"));
    f.registrar.registerHotkeys(65, 0);
    EXPECT_TRUE(f.registrar.refused().empty());
}

TEST(HotkeyRegistrar, WhereTheDesktopBindsTheKeysThePromptNamesTheCommand) {
    struct Case {
        std::uint8_t key;
        int mode;
        QString tip;  // inside the brackets
        QString shortcuts;
    };
    // The same two commands in every mode: the running copy does what the key does.
    const Case cases[] = {
        {kPrintScreenKey, 0, "PrintScreen: varnoset --hotkey",
         "PrintScreen: varnoset --hotkey; Alt+PrintScreen: varnoset --hotkey alt"},
        {116, 1, "F5: varnoset --hotkey", "F5: varnoset --hotkey; Alt+F5: varnoset --hotkey alt"},
    };
    for (const Case& c : cases) {
        RegistrarFixture f;
        f.hotkeys.desktopBinds = true;
        f.registrar.registerHotkeys(c.key, c.mode);
        EXPECT_EQ(f.tips.back(), HotkeyRegistrar::trayTip(c.tip)) << c.mode;
        EXPECT_EQ(f.registrar.desktopShortcuts(), c.shortcuts) << c.mode;
        // The tray icon keeps 62 characters of a tooltip.
        EXPECT_LE(f.tips.back().size(), 62) << c.mode;
    }

    RegistrarFixture suspended;
    suspended.hotkeys.desktopBinds = true;
    suspended.registrar.registerHotkeys(kPrintScreenKey, 0);
    suspended.registrar.showSuspended(kPrintScreenKey);
    EXPECT_EQ(suspended.tips.back(), HotkeyRegistrar::trayTip("- Suspended -"));

    RegistrarFixture grabbing;  // the program takes the keys itself: nothing to bind
    grabbing.registrar.registerHotkeys(kPrintScreenKey, 0);
    EXPECT_TRUE(grabbing.registrar.desktopShortcuts().isEmpty());
    EXPECT_EQ(grabbing.tips.back(), HotkeyRegistrar::trayTip("Press PrintScreen"));
}

// The desktop holds PrintScreen but binds it to `varnoset --hotkey`: no false alarm.
TEST(HotkeyRegistrar, AFormTheDesktopHandsOverIsNoLongerAnAlarmUntilFreeOrAnotherKey) {
    RegistrarFixture f;
    QStringList stored;
    f.registrar.setThroughDesktopChanged([&stored](const QString& forms) { stored << forms; });
    f.hotkeys.takenElsewhere = {0xff61};
    f.registrar.registerHotkeys(kPrintScreenKey, 0);
    f.registrar.deliveredByDesktop(false);
    f.registrar.deliveredByDesktop(false);  // said once
    EXPECT_TRUE(f.tips.back().contains("Alt+PrintScreen used by another program"));
    f.registrar.deliveredByDesktop(true);
    EXPECT_EQ(stored, (QStringList{"PrintScreen", "PrintScreen,Alt+PrintScreen"}));
    EXPECT_EQ(f.tips.back(), HotkeyRegistrar::trayTip("PrintScreen through the desktop"));

    // The next start knows it before it registers: no notice.
    RegistrarFixture next;
    next.hotkeys.takenElsewhere = {0xff61};
    next.registrar.restoreThroughDesktop(kPrintScreenKey, stored.last());
    next.registrar.registerHotkeys(kPrintScreenKey, kRectangleMode);
    EXPECT_TRUE(next.notices.isEmpty());
    EXPECT_EQ(next.tips.back(), f.tips.back());

    // Forgotten once the key is free, or another key is chosen.
    f.hotkeys.takenElsewhere.clear();
    f.registrar.retryRefused();
    EXPECT_EQ(stored.last(), "");
    next.registrar.registerHotkeys(119, 0);
    EXPECT_TRUE(next.registrar.throughDesktop().isEmpty());
}
