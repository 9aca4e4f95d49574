#include <gtest/gtest.h>

#include "app/settings/DesktopBinding.h"

namespace varnoset {
namespace {

// What the desktop held survives the options file whole, whatever its text holds.
TEST(DesktopBinding, SavedValuesReadBackAsWritten) {
    const DesktopBinding binding{
        "GNOME",
        44,
        {{"org.gnome.shell.keybindings show-screenshot-ui", {"['Print']", false}, "@as []"},
         {"x:/a/ command", {}, "varnoset --hotkey alt; echo 100%=>"},
         {"/commands/custom/<Alt>Print", {"xfce4-screenshooter -w", true}, "varnoset"}}};
    const std::string text = encodeDesktopBinding(binding);
    EXPECT_EQ(text.find_first_of("\n\r\""), std::string::npos);
    EXPECT_EQ(decodeDesktopBinding(text), binding);
    EXPECT_EQ(decodeDesktopBinding("Xfce;19"), (DesktopBinding{"Xfce", 19, {}}));
    for (const char* broken : {"", "GNOME", ";44", "GNOME;300", "GNOME;44;key", "GNOME;44;k=?a>b",
                               "GNOME;44;k=-a>b", "GNOME;44;k=+%4>b"}) {
        EXPECT_FALSE(decodeDesktopBinding(broken)) << broken;
    }
}

}  // namespace
}  // namespace varnoset
