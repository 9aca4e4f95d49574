#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMenu>
#include <vector>

#include "capture/CaptureModes.h"
#include "capture/HotkeyRegistrar.h"
#include "capture/KeyTable.h"
#include "platform/linux/XcbHotkeys.h"
#include "tests/support/CaptureDesktopSupport.h"
#include "tests/support/DesktopSupport.h"
#include "tests/support/WaitUntil.h"

using namespace varnoset;
using namespace capture_desktop;
using varnoset::test::waitUntil;

namespace {

constexpr std::uint32_t kPrint = 0xff61;
constexpr std::uint32_t kF5 = 0xffc2;
constexpr std::uint32_t kF8 = 0xffc5;
constexpr std::uint16_t kAlt = 0x08;       // Mod1
constexpr std::uint16_t kCapsLock = 0x02;  // Lock
constexpr int kBadAccess = 10;

struct Received {
    std::vector<int> ids;
    void attach(Hotkeys& hotkeys) {
        hotkeys.setHandler([this](int id) { ids.push_back(id); });
    }
    // Presses keys and waits until one more identifier has arrived; when none is expected a
    // shorter wait does.
    std::optional<int> press(const QString& keys, int waitMs = 1500) {
        const std::size_t before = ids.size();
        xdotool({"key", keys});
        waitUntil([&] { return ids.size() > before; }, waitMs);
        // Let a second, wrong delivery show itself too.
        waitUntil([] { return false; }, 50);
        if (ids.size() != before + 1) {
            return std::nullopt;
        }
        return ids.back();
    }
    bool ignored(const QString& keys) { return !press(keys, 400).has_value(); }
};

void setLock(const QString& key, const QString& name, bool on) {
    if (lockIsOn(name) != on) {
        xdotool({"key", key});
        waitUntil([&] { return lockIsOn(name) == on; }, 2000);
    }
}

}  // namespace

TEST(XcbHotkeys, PressesArriveAsTheirIdentifiersWhateverLockIsOn) {
    XcbHotkeys hotkeys;
    Received received;
    received.attach(hotkeys);
    hotkeys.registerHotkey(kScreenHotkey, Hotkeys::Modifier::None, kPrint);
    hotkeys.registerHotkey(kWindowHotkey, Hotkeys::Modifier::Alt, kPrint);
    ASSERT_TRUE(hotkeys.isHeld(kScreenHotkey));
    ASSERT_TRUE(hotkeys.isHeld(kWindowHotkey));

    struct Locks {
        bool numLock;
        bool capsLock;
    };
    for (const Locks locks :
         {Locks{false, false}, Locks{true, false}, Locks{false, true}, Locks{true, true}}) {
        setLock("Num_Lock", "Num Lock", locks.numLock);
        setLock("Caps_Lock", "Caps Lock", locks.capsLock);
        const std::string state = std::string("NumLock ") + (locks.numLock ? "on" : "off") +
                                  ", CapsLock " + (locks.capsLock ? "on" : "off");
        ASSERT_EQ(lockIsOn("Num Lock"), locks.numLock) << state;
        EXPECT_EQ(received.press("Print"), std::optional<int>(kScreenHotkey)) << state;
        EXPECT_EQ(received.press("alt+Print"), std::optional<int>(kWindowHotkey)) << state;
        // Other modifiers and other keys are not ours.
        EXPECT_TRUE(received.ignored("ctrl+Print")) << state;
        EXPECT_TRUE(received.ignored("F5")) << state;
    }
    setLock("Num_Lock", "Num Lock", false);
    setLock("Caps_Lock", "Caps Lock", false);

    // While a popup menu holds the keyboard the key is reported to the popup, not to the root.
    QMenu menu;
    menu.addAction(QStringLiteral("Open"));
    menu.popup(QPoint(400, 400));
    ASSERT_TRUE(waitUntil([&] { return menu.isVisible(); }));
    waitUntil([] { return false; }, 200);
    EXPECT_EQ(received.press("Print"), std::optional<int>(kScreenHotkey));
    menu.close();

    hotkeys.unregisterHotkey(kScreenHotkey);
    EXPECT_TRUE(received.ignored("Print"));
    EXPECT_EQ(received.press("alt+Print"), std::optional<int>(kWindowHotkey));
}

TEST(XcbHotkeys, AKeyHeldElsewhereIsNotHalfTaken) {
    OtherClient blocker;
    const std::uint16_t numLock = blocker.numLockMask();
    ASSERT_NE(numLock, 0);
    // Another program holds only Print with NumLock on: the rest of the set must not stay ours.
    ASSERT_EQ(blocker.grabKey(kPrint, numLock), 0);

    XcbHotkeys hotkeys;
    Received received;
    received.attach(hotkeys);
    hotkeys.registerHotkey(kScreenHotkey, Hotkeys::Modifier::None, kPrint);
    EXPECT_FALSE(hotkeys.isHeld(kScreenHotkey));

    OtherClient third;
    EXPECT_EQ(third.grabKey(kPrint, 0), 0) << "the plain Print key was left grabbed";
    third.ungrabKey(kPrint, 0);
    EXPECT_EQ(third.grabKey(kPrint, kCapsLock), 0) << "Print with CapsLock was left grabbed";
    third.ungrabKey(kPrint, kCapsLock);
    EXPECT_TRUE(received.ignored("Print"));

    // Once the other program lets go, registering again takes the whole set.
    blocker.ungrabKey(kPrint, numLock);
    hotkeys.registerHotkey(kScreenHotkey, Hotkeys::Modifier::None, kPrint);
    EXPECT_TRUE(hotkeys.isHeld(kScreenHotkey));
    EXPECT_EQ(third.grabKey(kPrint, numLock), kBadAccess);
    EXPECT_EQ(received.press("Print"), std::optional<int>(kScreenHotkey));
}

TEST(XcbHotkeys, SuspendingWithPrintScreenLetsAnotherProgramTakeTheKey) {
    XcbHotkeys hotkeys;
    Received received;
    received.attach(hotkeys);
    QString tip;
    HotkeyRegistrar registrar(
        hotkeys, [](int) {}, [&tip](const QString& t) { tip = t; });
    OtherClient other;

    registrar.registerHotkeys(kPrintScreenKey, 0);
    EXPECT_EQ(other.grabKey(kPrint, 0), kBadAccess);
    EXPECT_EQ(other.grabKey(kPrint, kAlt), kBadAccess);

    registrar.showSuspended(kPrintScreenKey);
    EXPECT_EQ(tip, QStringLiteral("Varnoset\u00AE v3.00  [ - Suspended - ]"));
    EXPECT_TRUE(received.ignored("Print"));
    EXPECT_EQ(other.grabKey(kPrint, 0), 0);
    EXPECT_EQ(other.grabKey(kPrint, kAlt), 0);
    other.ungrabKey(kPrint, 0);
    other.ungrabKey(kPrint, kAlt);

    registrar.registerHotkeys(kPrintScreenKey, 0);  // resuming
    EXPECT_EQ(other.grabKey(kPrint, 0), kBadAccess);
    EXPECT_EQ(received.press("Print"), std::optional<int>(kScreenHotkey));
    EXPECT_EQ(tip, QStringLiteral("Varnoset\u00AE v3.00  [ Press PrintScreen ]"));

    // Any other key stays taken while suspended.
    registrar.registerHotkeys(119, 0);
    registrar.showSuspended(119);
    EXPECT_EQ(other.grabKey(kF8, 0), kBadAccess);
    EXPECT_EQ(received.press("F8"), std::optional<int>(kScreenHotkey));
}

TEST(XcbHotkeys, TheSameKeyAgainStaysHeldAndAModeThatSwapsTheFormsHoldsBoth) {
    XcbHotkeys hotkeys;
    Received received;
    received.attach(hotkeys);
    HotkeyRegistrar registrar(
        hotkeys, [](int) {}, [](const QString&) {});
    OtherClient other;

    registrar.registerHotkeys(kPrintScreenKey, 0);
    registrar.registerHotkeys(kPrintScreenKey, 0);  // the stored mode, right after start-up
    EXPECT_TRUE(hotkeys.isHeld(kScreenHotkey));
    EXPECT_EQ(other.grabKey(kPrint, 0), kBadAccess);
    EXPECT_EQ(other.grabKey(kPrint, kAlt), kBadAccess);
    EXPECT_EQ(received.press("Print"), std::optional<int>(kScreenHotkey));

    // Mode 1 gives the key alone the window's identifier and Alt+key the screen's.
    registrar.registerHotkeys(kPrintScreenKey, 1);
    EXPECT_EQ(other.grabKey(kPrint, 0), kBadAccess);
    EXPECT_EQ(other.grabKey(kPrint, kAlt), kBadAccess);
    EXPECT_EQ(received.press("Print"), std::optional<int>(kWindowHotkey));
    EXPECT_EQ(received.press("alt+Print"), std::optional<int>(kScreenHotkey));
}

TEST(XcbHotkeys, AKeyMovedToAnotherKeycodeIsGrabbedThere) {
    // A keycode with no symbol, to move F5 to.
    const QStringList lines =
        desktop::run(QStringLiteral("xmodmap"), {"-pke"}).out.split('\n', Qt::SkipEmptyParts);
    int spare = 0;
    int f5 = 0;
    for (const QString& line : lines) {
        const QStringList parts = line.simplified().split(' ');
        if (parts.size() >= 3 && parts[0] == "keycode") {
            const int code = parts[1].toInt();
            if (parts.size() == 3 && spare == 0 && code > 100) {
                spare = code;
            }
            if (parts.size() > 3 && parts[3] == "F5") {
                f5 = code;
            }
        }
    }
    ASSERT_NE(spare, 0);
    ASSERT_NE(f5, 0);

    XcbHotkeys hotkeys;
    Received received;
    received.attach(hotkeys);
    hotkeys.registerHotkey(kScreenHotkey, Hotkeys::Modifier::None, kF5);
    EXPECT_EQ(received.press("F5"), std::optional<int>(kScreenHotkey));

    desktop::run("xmodmap", {"-e", QStringLiteral("keycode %1 = F5").arg(spare), "-e",
                             QStringLiteral("keycode %1 =").arg(f5)});
    waitUntil([] { return false; }, 300);  // the mapping change reaches us
    EXPECT_EQ(received.press("F5"), std::optional<int>(kScreenHotkey));
    EXPECT_TRUE(hotkeys.isHeld(kScreenHotkey));

    desktop::run("xmodmap", {"-e", QStringLiteral("keycode %1 = F5").arg(f5), "-e",
                             QStringLiteral("keycode %1 =").arg(spare)});
    waitUntil([] { return false; }, 300);
    EXPECT_EQ(received.press("F5"), std::optional<int>(kScreenHotkey));
}
