#include <gtest/gtest.h>

#include "app/MessageBoxes.h"

using namespace varnoset;

TEST(ErrorBox, AppendsAFullStopOnlyWhenMissing) {
    EXPECT_EQ(errorBoxText("Failed to get data for 'Monochrom'"),
              "Failed to get data for 'Monochrom'.");
    EXPECT_EQ(errorBoxText("Unsupported clipboard format."), "Unsupported clipboard format.");
    EXPECT_EQ(errorBoxText("JPEG error #42\n"), "JPEG error #42.");
}
