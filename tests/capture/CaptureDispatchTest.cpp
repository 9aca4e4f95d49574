#include <gtest/gtest.h>

#include <algorithm>

#include "capture/CaptureDispatch.h"
#include "capture/CaptureModes.h"
#include "capture/HotkeyRegistrar.h"
#include "capture/KeyTable.h"
#include "tests/capture/CaptureFakes.h"

using namespace varnoset;
using namespace capture_fakes;

namespace {

struct Dispatch {
    Log log;
    WindowState state;
    CaptureChecks checks;  // Sound1, Client1, NoDialog1
    FakeHost host{log, state};
    FakeScreen screen{log};
    FakeActiveWindow window;
    FakeSound sound{log};
    FakeClipboard clipboard{log};
    FakeHotkeys hotkeys{log};
    QStringList tips;
    HotkeyRegistrar registrar{hotkeys, [](int) {}, [this](const QString& tip) { tips << tip; }};
    std::optional<CaptureRect> selection;
    std::function<void()> duringSelection;
    CaptureDispatch dispatch{state,
                             host,
                             registrar,
                             {screen, window, sound, clipboard},
                             [this]() -> std::optional<StillSelection> {
                                 Picture still = screen.grab(QRect(QPoint(0, 0), screen.size()));
                                 log.add(QStringLiteral("overlay"));
                                 if (duringSelection) {
                                     duringSelection();
                                 }
                                 if (!selection) {
                                     return std::nullopt;
                                 }
                                 return StillSelection{*selection, std::move(still)};
                             },
                             [this](int ms) { log.add(QStringLiteral("wait %1").arg(ms)); }};

    Dispatch() {
        state.HotkeyArmed = true;
        state.SourcePicture = Picture(3, 2, PixelFormat::Device);
    }

    // The commands as the window gives them, with the menus' checks of the moment; the log notes
    // where each one lets go of the key.
    void hotkey(int id) {
        log.watchArmed(state.HotkeyArmed);
        dispatch.hotkeyMessage(id, checks);
    }
    void capture(CaptureKind kind) {
        log.watchArmed(state.HotkeyArmed);
        dispatch.capture(kind, checks);
    }
    void open() {
        log.watchArmed(state.HotkeyArmed);
        dispatch.Open1Click();
    }
    void printDesktop() {
        log.watchArmed(state.HotkeyArmed);
        dispatch.PrinttheDesktop1Click(checks);
    }
    void rectangle() {
        log.watchArmed(state.HotkeyArmed);
        dispatch.GetRectangulararea1Click();
    }

    QRect lastGrab() const { return screen.grabs.empty() ? QRect() : screen.grabs.back(); }
};

// The pixel of a captured picture at (x, y) came from this screen position.
QPoint screenPositionOf(const Picture& picture, int x, int y) {
    const std::uint8_t* p = picture.scanLine(y) + 4 * x;
    return {p[0], p[1]};
}

// Whether a captured picture holds exactly the screen's pixels of that area.
bool shows(const Picture& picture, const QRect& area) {
    const Picture expected = screenPixels(area);
    return picture.width() == area.width() && picture.height() == area.height() &&
           std::ranges::equal(picture.bits(), expected.bits());
}

}  // namespace

TEST(CaptureDispatch, EachModeAndIdentifierCapturesWhatTheTableSays) {
    enum Kind { Desktop, Window, Rectangle };
    struct Case {
        int mode;
        int id;
        Kind kind;
        bool edits;
    };
    const Case cases[] = {
        {0, kScreenHotkey, Desktop, false},   {0, kWindowHotkey, Window, false},
        {1, kScreenHotkey, Desktop, false},   {1, kWindowHotkey, Window, false},
        {2, kScreenHotkey, Rectangle, false}, {2, kWindowHotkey, Window, false},
        {3, kScreenHotkey, Desktop, true},    {3, kWindowHotkey, Window, true},
    };
    for (const Case& c : cases) {
        Dispatch d;
        d.state.HotkeyFunction = static_cast<std::uint8_t>(c.mode);
        d.selection = CaptureRect{100, 50, 300, 200};
        d.hotkey(c.id);
        const QString what = QStringLiteral("mode %1 id %2").arg(c.mode).arg(c.id);
        EXPECT_EQ(d.log.entries.first(), "disarmed") << what.toStdString();
        EXPECT_EQ(d.log.has("overlay"), c.kind == Rectangle) << what.toStdString();
        const QRect expected = c.kind == Desktop  ? QRect(0, 0, 1024, 768)
                               : c.kind == Window ? QRect(100, 200, 402, 325)
                                                  : QRect(100, 50, 200, 150);
        EXPECT_TRUE(shows(d.state.SourcePicture, expected)) << what.toStdString();
        EXPECT_EQ(d.host.shows, 1) << what.toStdString();
        EXPECT_EQ(d.host.edits, c.edits ? 1 : 0) << what.toStdString();
        EXPECT_FALSE(d.state.HotkeyArmed) << what.toStdString();
        if (c.edits) {
            EXPECT_LT(d.log.indexOf("show"), d.log.indexOf("edit"));
        }
    }
}

TEST(CaptureDispatch, TheCaptureEndsWithWhatTheClipboardGaveBack) {
    Dispatch d;
    d.window.frame = QRect(50, 60, 30, 20);
    d.hotkey(kWindowHotkey);
    const QStringList expected{"disarmed", "grab 50,60 30x20", "clipboard set", "clipboard read",
                               "show"};
    EXPECT_EQ(d.log.entries, expected);
    // Read back from 24-bit rows, stored again in the display's format, pixels unchanged.
    ASSERT_EQ(d.state.SourcePicture.width(), 30);
    ASSERT_EQ(d.state.SourcePicture.height(), 20);
    EXPECT_EQ(d.state.SourcePicture.format(), PixelFormat::Device);
    EXPECT_EQ(screenPositionOf(d.state.SourcePicture, 0, 0), QPoint(50, 60));
    EXPECT_EQ(screenPositionOf(d.state.SourcePicture, 29, 19), QPoint(79, 79));
    ASSERT_TRUE(d.clipboard.held.has_value());
    EXPECT_EQ(d.clipboard.held->width(), 30);
}

TEST(CaptureDispatch, WindowCaptureTakesTheClientAreaOrTheWholeScreenWithoutAWindow) {
    Dispatch d;
    d.checks.client = true;
    d.hotkey(kWindowHotkey);
    EXPECT_EQ(d.lastGrab(), QRect(101, 220, 400, 300));

    Dispatch none;
    none.window.window = 0;
    none.hotkey(kWindowHotkey);
    EXPECT_EQ(none.lastGrab(), QRect(0, 0, 1024, 768));

    // A window hanging off the bottom edge is cut there.
    Dispatch low;
    low.window.frame = QRect(10, 700, 200, 150);
    low.hotkey(kWindowHotkey);
    EXPECT_EQ(low.lastGrab(), QRect(10, 700, 200, 68));
}

TEST(CaptureDispatch, AWindowThatCannotBeLocatedIsDraggedOutAndSaidOnce) {
    Dispatch d;
    d.window.locatable = false;
    d.selection = CaptureRect{10, 20, 110, 220};
    d.hotkey(kWindowHotkey);
    d.state.HotkeyArmed = true;
    d.capture(CaptureKind::Client);
    EXPECT_EQ(d.log.entries.count("notify Varnoset"), 1);
    EXPECT_EQ(d.log.entries.count("overlay"), 2);
    EXPECT_LT(d.log.indexOf("notify Varnoset"), d.log.indexOf("overlay"));
    EXPECT_TRUE(shows(d.state.SourcePicture, QRect(10, 20, 100, 200)));
    EXPECT_EQ(d.screen.grabs.size(), 2u);  // one per capture
}

TEST(CaptureDispatch, TheSoundStartsBeforeThePixelsAreCopiedAndBeepsWhenRefused) {
    Dispatch d;
    d.checks.sound = true;
    d.hotkey(kScreenHotkey);
    EXPECT_EQ(d.log.entries.mid(0, 3), (QStringList{"disarmed", "sound", "grab 0,0 1024x768"}));
    EXPECT_FALSE(d.log.has("beep"));

    Dispatch refused;
    refused.checks.sound = true;
    refused.sound.playable = false;
    refused.hotkey(kWindowHotkey);
    EXPECT_EQ(refused.log.entries.mid(0, 3), (QStringList{"disarmed", "sound", "beep"}));
    EXPECT_EQ(refused.host.shows, 1);

    Dispatch silent;
    silent.hotkey(kScreenHotkey);
    EXPECT_FALSE(silent.log.has("sound"));
    EXPECT_FALSE(silent.log.has("beep"));
}

TEST(CaptureDispatch, NothingHappensWhileDisarmedOrInsideARunningCapture) {
    Dispatch d;
    d.state.HotkeyArmed = false;
    for (const int id : {kScreenHotkey, kWindowHotkey, 0, 1, 12345}) {
        d.hotkey(id);
    }
    EXPECT_TRUE(d.log.entries.isEmpty());

    // A key pressed while the overlay is open reaches the dispatch again, and is ignored.
    Dispatch nested;
    nested.state.HotkeyFunction = kRectangleMode;
    nested.selection = CaptureRect{10, 10, 100, 100};
    nested.duringSelection = [&nested] {
        nested.hotkey(kScreenHotkey);
        nested.hotkey(kWindowHotkey);
    };
    nested.hotkey(kScreenHotkey);
    EXPECT_EQ(nested.log.entries.count("overlay"), 1);
    EXPECT_EQ(nested.screen.grabs.size(), 1u);
    EXPECT_EQ(nested.host.shows, 1);

    // Identifiers other than the two do nothing, armed or not.
    Dispatch other;
    other.hotkey(1);
    EXPECT_TRUE(other.log.entries.isEmpty());
    EXPECT_TRUE(other.state.HotkeyArmed);
}

TEST(CaptureDispatch, DirectPrintsWithoutShowingOrEditing) {
    Dispatch d;
    d.checks.direct = true;
    d.state.HotkeyFunction = kEditMode;
    d.hotkey(kScreenHotkey);
    // The options pass and the print run with processing on, and it is off again afterwards.
    const int pass = d.log.indexOf("image options");
    EXPECT_GE(pass, 0);
    EXPECT_EQ(d.log.entries.mid(pass), (QStringList{"image options", "print"}));
    EXPECT_EQ(d.host.processingWhilePrinting, std::optional<bool>(true));
    EXPECT_FALSE(d.state.ProcessingEnabled);
    EXPECT_EQ(d.host.shows, 0);
    EXPECT_EQ(d.host.edits, 0);
    EXPECT_FALSE(d.state.HotkeyArmed);  // only the print command's minimise re-arms
}

TEST(CaptureDispatch, ACaptureThatEndsWithTheWindowHiddenLeavesTheKeyWorking) {
    // A direct print that returns without printing (no printer) never hides the window, which
    // is what arms the key again.
    Dispatch direct;
    direct.checks.direct = true;
    direct.host.visible = false;
    direct.hotkey(kScreenHotkey);
    EXPECT_EQ(direct.host.prints, 1);
    EXPECT_TRUE(direct.state.HotkeyArmed);
    direct.hotkey(kWindowHotkey);
    EXPECT_EQ(direct.host.prints, 2);

    // A print that fails.
    Dispatch failing;
    failing.checks.direct = true;
    failing.host.visible = false;
    failing.host.onPrint = [] { throw Error("The printer \"FILE\" is not available"); };
    EXPECT_THROW(failing.hotkey(kScreenHotkey), Error);
    EXPECT_TRUE(failing.state.HotkeyArmed);

    // A capture whose picture does not come back from the clipboard.
    Dispatch lost;
    lost.clipboard.failRead = true;
    lost.host.visible = false;
    EXPECT_THROW(lost.hotkey(kScreenHotkey), Error);
    EXPECT_TRUE(lost.state.HotkeyArmed);

    // Suspended, the key stays off; shown, the window's own hiding arms it later.
    Dispatch suspended;
    suspended.checks.direct = true;
    suspended.host.visible = false;
    suspended.host.suspended = true;
    suspended.hotkey(kScreenHotkey);
    EXPECT_FALSE(suspended.state.HotkeyArmed);
    Dispatch shown;
    shown.hotkey(kScreenHotkey);
    EXPECT_EQ(shown.host.shows, 1);
    EXPECT_FALSE(shown.state.HotkeyArmed);
}

TEST(CaptureDispatch, ARectangleIsCutFromTheStillPictureAndNoneDeliversNothing) {
    struct Case {
        const char* what;
        std::optional<CaptureRect> selection;
        std::optional<QRect> grabbed;
    };
    const Case cases[] = {
        {"cancelled", std::nullopt, std::nullopt},
        {"click without drag", CaptureRect{}, std::nullopt},
        {"15 wide", CaptureRect{100, 100, 115, 140}, std::nullopt},
        {"15 high", CaptureRect{100, 100, 140, 115}, std::nullopt},
        {"16 x 16", CaptureRect{100, 100, 116, 116}, QRect(100, 100, 16, 16)},
        {"reaching off screen", CaptureRect{200, 700, 300, 800}, QRect(200, 700, 100, 68)},
    };
    for (const bool direct : {false, true}) {
        for (const Case& c : cases) {
            Dispatch d;
            d.state.HotkeyFunction = kRectangleMode;
            d.checks.direct = direct;
            d.host.visible = false;
            d.selection = c.selection;
            const Picture before = d.state.SourcePicture;
            d.hotkey(kScreenHotkey);
            const std::string what = std::string(c.what) + (direct ? " direct" : "");
            // The screen is read once, for the overlay's still picture.
            EXPECT_EQ(d.screen.grabs.size(), 1u) << what;
            if (c.grabbed) {
                EXPECT_TRUE(shows(d.state.SourcePicture, *c.grabbed)) << what;
                EXPECT_EQ(d.host.shows, direct ? 0 : 1) << what;
                EXPECT_EQ(d.host.prints, direct ? 1 : 0) << what;
            } else {
                // Nothing printed, nothing shown, the clipboard untouched, the key armed again.
                EXPECT_FALSE(d.clipboard.held.has_value()) << what;
                EXPECT_EQ(d.state.SourcePicture.width(), before.width()) << what;
                EXPECT_EQ(d.host.shows + d.host.prints, 0) << what;
                EXPECT_TRUE(d.state.HotkeyArmed) << what;
            }
            EXPECT_EQ(d.host.edits, 0) << what;
        }
    }
}

TEST(CaptureDispatch, AClipboardThatGivesNothingBackEndsTheCapture) {
    Dispatch d;
    d.clipboard.failRead = true;
    d.checks.direct = true;
    try {
        d.hotkey(kScreenHotkey);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Unsupported clipboard format");
    }
    EXPECT_EQ(d.host.prints, 0);
    EXPECT_EQ(d.host.shows, 0);
    EXPECT_FALSE(d.state.HotkeyArmed);
}

TEST(CaptureDispatch, OpenCapturesTheScreenAfterTheMenuHasGone) {
    Dispatch d;
    d.checks.sound = true;
    d.checks.direct = true;
    d.open();
    EXPECT_EQ(d.log.entries, (QStringList{"wait 400", "disarmed", "grab 0,0 1024x768",
                                          "clipboard set", "clipboard read", "show"}));
    EXPECT_EQ(d.host.prints, 0);
}

TEST(CaptureDispatch, PrintTheDesktopPrintsWhateverTheOptionsSayAndLeavesThem) {
    for (const bool suspended : {false, true}) {
        for (const int mode : {kRectangleMode, kEditMode}) {
            Dispatch d;
            d.state.HotkeyFunction = static_cast<std::uint8_t>(mode);
            d.checks.direct = false;
            d.state.HotkeyArmed = !suspended;
            d.host.suspended = suspended;
            d.printDesktop();
            const std::string what =
                "mode " + std::to_string(mode) + (suspended ? " suspended" : "");
            EXPECT_EQ(d.log.entries.first(), "wait 400") << what;
            EXPECT_EQ(d.lastGrab(), QRect(0, 0, 1024, 768)) << what;
            EXPECT_FALSE(d.log.has("overlay")) << what;
            EXPECT_EQ(d.host.prints, 1) << what;
            EXPECT_EQ(d.host.processingWhilePrinting, std::optional<bool>(true)) << what;
            EXPECT_EQ(d.host.shows, 0) << what;
            EXPECT_EQ(d.host.edits, 0) << what;
            EXPECT_EQ(d.state.HotkeyFunction, mode) << what;
        }
    }

    // Also when the capture ends in an error, the stored mode is left as it was.
    Dispatch failing;
    failing.state.HotkeyFunction = kRectangleMode;
    failing.clipboard.failRead = true;
    EXPECT_THROW(failing.printDesktop(), Error);
    EXPECT_EQ(failing.state.HotkeyFunction, kRectangleMode);
}

TEST(CaptureDispatch, TheRectangleCommandHidesPlainlyAndShowsAgain) {
    Dispatch d;
    d.checks.sound = true;
    d.state.HotkeyArmed = false;
    d.state.ProcessingEnabled = true;
    d.selection = CaptureRect{300, 200, 500, 400};
    d.rectangle();
    EXPECT_EQ(d.log.entries, (QStringList{"hide", "wait 500", "grab 0,0 1024x768", "overlay",
                                          "clipboard set", "clipboard read", "show"}));
    EXPECT_TRUE(shows(d.state.SourcePicture, QRect(300, 200, 200, 200)));
    EXPECT_FALSE(d.state.HotkeyArmed);
    EXPECT_TRUE(d.state.ProcessingEnabled);

    Dispatch cancelled;
    cancelled.rectangle();
    EXPECT_EQ(cancelled.log.entries,
              (QStringList{"hide", "wait 500", "grab 0,0 1024x768", "overlay", "show"}));

    // A capture that fails shows the window again; had it stayed hidden, the key works again.
    for (const bool showingFails : {false, true}) {
        Dispatch failing;
        failing.state.HotkeyArmed = false;
        failing.selection = CaptureRect{300, 200, 500, 400};
        failing.clipboard.failRead = true;
        if (showingFails) {
            failing.host.onShow = [] { throw Error("no window"); };
        }
        EXPECT_THROW(failing.rectangle(), Error);
        EXPECT_EQ(failing.log.entries.last(), "show");
        EXPECT_EQ(failing.state.HotkeyArmed, showingFails);
    }
    Dispatch open;
    open.host.visible = false;
    open.clipboard.failRead = true;
    EXPECT_THROW(open.open(), Error);
    EXPECT_TRUE(open.state.HotkeyArmed);
}

TEST(CaptureDispatch, CommandsCaptureWhereTheKeyWouldNotAndSayWhyNot) {
    // The window shown: it steps aside for the grab and comes back with the new picture, also
    // with "No Dialog" on; "Print the Desktop" prints, and says so when it cannot.
    Dispatch shown;
    shown.checks.direct = true;
    shown.state.HotkeyArmed = false;
    EXPECT_EQ(shown.dispatch.commandCapture(CaptureKind::Desktop, shown.checks, Delivery::AsHotkey),
              CommandResult::Done);
    EXPECT_EQ(shown.log.entries, (QStringList{"hide", "wait 500", "grab 0,0 1024x768",
                                              "clipboard set", "clipboard read", "show"}));
    shown.host.printer = false;
    EXPECT_EQ(shown.dispatch.commandCapture(CaptureKind::Desktop, shown.checks, Delivery::Printer),
              CommandResult::NoPrinter);

    // Suspended and hidden: a fixed kind captures, the key's command does not, and the key
    // stays off.
    Dispatch suspended;
    suspended.host.visible = false;
    suspended.host.suspended = true;
    suspended.dispatch.setSuspended(true);
    EXPECT_EQ(suspended.dispatch.hotkeyCommand(false, suspended.checks), CommandResult::Suspended);
    EXPECT_TRUE(suspended.screen.grabs.empty());
    EXPECT_EQ(suspended.dispatch.commandCapture(CaptureKind::Window, suspended.checks,
                                                Delivery::AsHotkey),
              CommandResult::Done);
    EXPECT_EQ(suspended.host.shows, 1);

    // Never inside a running capture.
    Dispatch busy;
    busy.state.HotkeyFunction = kRectangleMode;
    busy.host.visible = false;
    busy.selection = CaptureRect{10, 10, 100, 100};
    std::optional<CommandResult> inside;
    busy.duringSelection = [&busy, &inside] {
        inside = busy.dispatch.commandCapture(CaptureKind::Desktop, busy.checks, Delivery::Window);
    };
    busy.hotkey(kScreenHotkey);
    EXPECT_EQ(inside, CommandResult::Busy);
}

TEST(CaptureDispatch, SuspendAndResume) {
    for (const std::uint8_t key : {kPrintScreenKey, std::uint8_t{119}}) {
        Dispatch d;
        d.state.Hotkey = key;
        d.dispatch.RegisterHotkeys();
        d.dispatch.setSuspended(true);
        EXPECT_FALSE(d.state.HotkeyArmed);
        EXPECT_EQ(d.tips.back(), QStringLiteral("Varnoset\u00AE v3.00  [ - Suspended - ]"));
        EXPECT_EQ(d.hotkeys.registered.size(), key == kPrintScreenKey ? 0u : 2u);

        d.hotkey(kScreenHotkey);
        EXPECT_TRUE(d.screen.grabs.empty());

        d.dispatch.setSuspended(false);
        EXPECT_TRUE(d.state.HotkeyArmed);
        EXPECT_EQ(d.hotkeys.registered.size(), 2u);
        EXPECT_EQ(d.tips.back(), key == kPrintScreenKey
                                     ? QStringLiteral("Varnoset\u00AE v3.00  [ Press PrintScreen ]")
                                     : QStringLiteral("Varnoset\u00AE v3.00  [ Press F8 ]"));
    }
}

TEST(CaptureDispatch, KeyAndModeClicksRegisterAgain) {
    Dispatch d;
    d.dispatch.actionClick(1);
    d.dispatch.keyClick(5);  // F5
    EXPECT_EQ(d.state.Hotkey, 116);
    EXPECT_EQ(d.state.HotkeyFunction, 1);
    // Mode 1: F5 alone is the window capture, Alt+F5 the desktop.
    const auto* window = d.hotkeys.find(kWindowHotkey);
    const auto* screen = d.hotkeys.find(kScreenHotkey);
    ASSERT_TRUE(window && screen);
    EXPECT_EQ(window->modifier, Hotkeys::Modifier::None);
    EXPECT_EQ(screen->modifier, Hotkeys::Modifier::Alt);
    EXPECT_EQ(window->keySymbol, 0xffc2u);
    EXPECT_EQ(d.tips.back(), QStringLiteral("Varnoset\u00AE v3.00  [ Press F5 ]"));

    d.dispatch.keyClick(17);  // no such row
    EXPECT_EQ(d.state.Hotkey, 116);
}
