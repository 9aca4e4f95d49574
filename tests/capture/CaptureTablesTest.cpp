#include <gtest/gtest.h>

#include <set>

#include "capture/CaptureModes.h"
#include "capture/CaptureRect.h"
#include "capture/KeyTable.h"

using namespace varnoset;

TEST(KeyTable, EveryKeyIsFoundByItsCodeAndGrabsItsOwnSymbol) {
    std::set<std::uint8_t> codes;
    std::set<std::uint32_t> symbols;
    for (std::size_t row = 0; row < KeyTable.size(); ++row) {
        const KeyTableRow& key = KeyTable[row];
        EXPECT_EQ(keyTableRowOf(key.virtualKey), static_cast<int>(row)) << key.caption;
        EXPECT_TRUE(key.prompt.starts_with("Press ")) << key.caption;
        codes.insert(key.virtualKey);
        symbols.insert(key.keySymbol);
    }
    EXPECT_EQ(codes.size(), 17u);
    EXPECT_EQ(symbols.size(), 17u);

    // The rows where a slip is easy: the stored codes and the X names differ most here.
    struct Expect {
        int row;
        std::uint8_t code;
        std::uint32_t keysym;
        std::string_view menuItem;
    };
    for (const Expect& e : {Expect{0, 44, 0xff61, "key0"}, Expect{1, 112, 0xffbe, "key1"},
                            Expect{12, 123, 0xffc9, "key12"}, Expect{13, 33, 0xff55, "key13"},
                            Expect{14, 34, 0xff56, "key14"}, Expect{15, 145, 0xff14, "Key15"},
                            Expect{16, 19, 0xff13, "Key16"}}) {
        const KeyTableRow& key = KeyTable[static_cast<std::size_t>(e.row)];
        EXPECT_EQ(key.virtualKey, e.code) << e.row;
        EXPECT_EQ(key.keySymbol, e.keysym) << e.row;
        EXPECT_EQ(key.menuItem, e.menuItem) << e.row;
    }
    // F1..F12 keep the order of their codes and symbols.
    for (int f = 1; f <= 12; ++f) {
        const KeyTableRow& key = KeyTable[static_cast<std::size_t>(f)];
        EXPECT_EQ(key.virtualKey, 111 + f);
        EXPECT_EQ(key.keySymbol, 0xffbdu + static_cast<std::uint32_t>(f));
        EXPECT_EQ(key.prompt, "Press F" + std::to_string(f));
    }

    for (const int outside : {0, 45, 65, 111, 124, 146, 255}) {
        EXPECT_FALSE(keyTableRowOf(static_cast<std::uint8_t>(outside)).has_value()) << outside;
    }
}

TEST(CaptureModes, EachModePutsAltOnTheRightIdentifier) {
    // Which identifier takes Alt decides what the key alone captures.
    struct Expect {
        int mode;
        int altId;
        int firstId;
    };
    for (const Expect& e :
         {Expect{0, kWindowHotkey, kWindowHotkey}, Expect{1, kScreenHotkey, kScreenHotkey},
          Expect{2, kWindowHotkey, kScreenHotkey}, Expect{3, kWindowHotkey, kWindowHotkey}}) {
        const CaptureMode* mode = captureModeFor(e.mode);
        ASSERT_NE(mode, nullptr);
        EXPECT_EQ(mode->bindings[0].id, e.firstId) << e.mode;
        EXPECT_NE(mode->bindings[0].id, mode->bindings[1].id) << e.mode;
        for (const HotkeyBinding& b : mode->bindings) {
            EXPECT_EQ(b.withAlt, b.id == e.altId) << "mode " << e.mode << " id " << b.id;
        }
        EXPECT_EQ(mode->menuItem, "Action" + std::to_string(e.mode + 1));
    }
    EXPECT_EQ(captureModeFor(-1), nullptr);
    EXPECT_EQ(captureModeFor(4), nullptr);
    EXPECT_EQ(captureModeFor(7), nullptr);

    // The captions line up with runs of spaces; the last one ends with a space.
    EXPECT_EQ(CaptureModes[0].caption,
              "Hotkey = ( Desktop )                         Alt+Hotkey = ( Active Window )");
    EXPECT_EQ(CaptureModes[3].caption.back(), ' ');
    for (const CaptureMode& mode : CaptureModes) {
        EXPECT_EQ(mode.caption.find('&'), std::string_view::npos);
        EXPECT_NE(mode.caption.find("    Alt+Hotkey = ("), std::string_view::npos);
    }
}

TEST(CaptureRect, ClampingFollowsTheStepsInOrder) {
    struct Case {
        const char* what;
        CaptureRect in;
        CaptureRect out;
    };
    const QSize screen(1024, 768);
    const Case cases[] = {
        {"inside stays", {10, 20, 110, 220}, {10, 20, 110, 220}},
        {"negative corner", {-10, -10, 50, 40}, {0, 0, 50, 40}},
        {"left beyond the edge goes to 0, not to the edge",
         {1100, 100, 1200, 200},
         {0, 100, 1024, 200}},
        {"top beyond the edge goes to 0", {100, 800, 200, 900}, {100, 0, 200, 768}},
        {"cut at the bottom", {100, 700, 300, 900}, {100, 700, 300, 768}},
        {"cut at the right", {900, 10, 1100, 50}, {900, 10, 1024, 50}},
        {"whole screen", {0, 0, 1024, 768}, {0, 0, 1024, 768}},
        {"zeros are the whole screen", {0, 0, 0, 0}, {0, 0, 1024, 768}},
        {"left on the edge is empty", {1024, 10, 1030, 20}, {0, 10, 1024, 20}},
        {"wholly off to the left", {-500, 10, -100, 20}, {0, 10, 1024, 20}},
        {"wholly off above", {10, -300, 20, -100}, {10, 0, 20, 768}},
        {"hidden window far off screen", {-32000, -32000, -31840, -31976}, {0, 0, 1024, 768}},
        {"reversed", {300, 200, 100, 50}, {0, 0, 1024, 768}},
        {"one pixel", {5, 6, 6, 7}, {5, 6, 6, 7}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clampToScreen(c.in, screen), c.out) << c.what;
    }
    // Every clamped rectangle lies on the screen and is not empty.
    for (const Case& c : cases) {
        const QRect r = clampToScreen(c.in, screen).toQRect();
        EXPECT_TRUE(QRect(QPoint(0, 0), screen).contains(r)) << c.what;
        EXPECT_FALSE(r.isEmpty()) << c.what;
    }
    EXPECT_EQ(CaptureRect::fromQRect(QRect(101, 220, 400, 300)), (CaptureRect{101, 220, 501, 520}));
    EXPECT_EQ(CaptureRect::fromQRect(QRect()), (CaptureRect{0, 0, 0, 0}));
}
