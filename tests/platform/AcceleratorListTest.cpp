#include <gtest/gtest.h>

#include "platform/linux/AcceleratorList.h"
#include "platform/linux/DesktopShortcutsChoice.h"

namespace varnoset {
namespace {

using List = std::vector<std::string>;

const Accelerator kPrint{"Print", 0};
const Accelerator kAltPrint{"Print", Accelerator::Alt};

// A key is taken out of a desktop's accelerator list, then given back: exactly as before while
// the list is untouched, in place among the user's later changes otherwise.
TEST(AcceleratorList, KeysLeaveAndComeBackInPlace) {
    struct Case {
        const char* what;
        List before;
        List freed;    // what binding writes
        List current;  // what the user has when giving back
        List restored;
    };
    const std::vector<Case> cases{
        {"the only entry", {"Print"}, {}, {}, {"Print"}},
        {"other accelerators stay",
         {"<Super>s", "<Alt>Print", "Print"},
         {"<Super>s"},
         {"<Super>s"},
         {"<Super>s", "<Alt>Print", "Print"}},
        {"spelt otherwise",
         {"<Mod1>print", "<Primary>p"},
         {"<Primary>p"},
         {"<Primary>p"},
         {"<Mod1>print", "<Primary>p"}},
        {"with Shift it is another key",
         {"<Shift>Print"},
         {"<Shift>Print"},
         {"<Shift>Print"},
         {"<Shift>Print"}},
        {"the user added one since",
         {"<Super>s", "Print", "<Alt>x"},
         {"<Super>s", "<Alt>x"},
         {"<Super>s", "<Alt>x", "<Super>y"},
         {"<Super>s", "Print", "<Alt>x", "<Super>y"}},
        {"the user removed its neighbour", {"<Super>s", "Print"}, {"<Super>s"}, {}, {"Print"}},
        {"the user put it back already", {"Print", "a"}, {"a"}, {"a", "Print"}, {"a", "Print"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(withoutAccelerators(c.before, {kPrint, kAltPrint}), c.freed) << c.what;
        EXPECT_EQ(restoredList(c.current, c.before, c.freed), c.restored) << c.what;
    }
    // An entry the edit added (a custom shortcut's path) leaves again; the user's stay.
    EXPECT_EQ(restoredList({"/mine/", "/varnoset/", "/new/"}, {"/mine/"}, {"/mine/", "/varnoset/"}),
              (List{"/mine/", "/new/"}));
    EXPECT_FALSE(parseAccelerator("disabled"));
    EXPECT_FALSE(parseAccelerator("<Hyperish>Print"));
    EXPECT_EQ(acceleratorText(acceleratorOf({"Page_Up", 0, true, {}, {}})), "<Alt>Page_Up");
    EXPECT_TRUE(namesAccelerator("<alt>Prior", {"Page_Up", Accelerator::Alt}));
}

TEST(AcceleratorList, DesktopChosenFromTheSessionsNames) {
    const std::vector<std::pair<const char*, ShortcutDesktop>> cases{
        {"GNOME", ShortcutDesktop::Gnome},
        {"ubuntu:GNOME", ShortcutDesktop::Gnome},
        {"Budgie:GNOME", ShortcutDesktop::Gnome},
        {"X-Cinnamon", ShortcutDesktop::Cinnamon},
        {"MATE", ShortcutDesktop::Mate},
        {"XFCE", ShortcutDesktop::Xfce},
        {"KDE", ShortcutDesktop::Kde},
        {"sway", ShortcutDesktop::Wlroots},
        {"Hyprland", ShortcutDesktop::Unknown},
        {"", ShortcutDesktop::Unknown},
    };
    for (const auto& [name, desktop] : cases) {
        EXPECT_EQ(shortcutDesktopFor(name), desktop) << name;
    }
}

}  // namespace
}  // namespace varnoset
