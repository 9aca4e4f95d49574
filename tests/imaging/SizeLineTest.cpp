#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/Picture.h"
#include "imaging/SizeLine.h"

using namespace varnoset;

TEST(SizeLine, ReadsSizeKilobytesAndColours) {
    struct Case {
        int width, height;
        PixelFormat format;
        int displayBits;
        std::string line;
    };
    const std::vector<Case> cases = {
        {1024, 768, PixelFormat::Rgb24, 32, "Size 1024 X 768  = 2304 KB with 16M Colors"},
        {800, 600, PixelFormat::Rgb24, 32, "Size 800 X 600  = 1406 KB with 16M Colors"},
        {640, 480, PixelFormat::Rgb32, 16, "Size 640 X 480  = 1200 KB with 64M Colors"},
        {1024, 1, PixelFormat::Indexed4, 32, "Size 1024 X 1  = 0 KB with 16 Colors"},
        {3072, 1, PixelFormat::Indexed4, 32, "Size 3072 X 1  = 2 KB with 16 Colors"},
        {1024, 768, PixelFormat::Indexed4, 32, "Size 1024 X 768  = 384 KB with 16 Colors"},
        {1024, 768, PixelFormat::Rgb555, 32, "Size 1024 X 768  = 1440 KB with 32K Colors"},
        {1024, 768, PixelFormat::Rgb565, 32, "Size 1024 X 768  = 1536 KB with 64K Colors"},
        {64, 64, PixelFormat::Indexed8, 32, "Size 64 X 64  = 4 KB with 256 Colors"},
        {64, 128, PixelFormat::Indexed1, 32, "Size 64 X 128  = 1 KB with 2 Colors"},
        // A capture in the display's own format reads the display's depth.
        {1920, 1080, PixelFormat::Device, 32, "Size 1920 X 1080  = 8100 KB with 64M Colors"},
        {1920, 1080, PixelFormat::Device, 16, "Size 1920 X 1080  = 4050 KB with 64K Colors"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SizeLine(Picture(c.width, c.height, c.format), c.displayBits).toStdString(),
                  c.line);
    }
    EXPECT_EQ(SizeLine(Picture(), 32).toStdString(), "Size 0 X 0  = 0 KB with 64M Colors");
    EXPECT_EQ(SizeLine(Picture(0, 0, PixelFormat::Indexed4), 24).toStdString(),
              "Size 0 X 0  = 0 KB with 16M Colors");
    EXPECT_EQ(colorCountText(12).toStdString(), "64M Colors");
}

TEST(SizeLine, KilobytesRoundHalvesToEvenWithoutOverflow) {
    EXPECT_EQ(sizeInKilobytes(1, 4096, 1), 0);  // 0.5
    EXPECT_EQ(sizeInKilobytes(3, 4096, 1), 2);  // 1.5
    EXPECT_EQ(sizeInKilobytes(5, 4096, 1), 2);  // 2.5
    EXPECT_EQ(sizeInKilobytes(4097, 1, 1), 1);  // just over a half
    EXPECT_EQ(sizeInKilobytes(4095, 1, 1), 0);
    // 32767 x 32767 x 32 bits is far past 32 bits: 4194048.004 KB.
    EXPECT_EQ(sizeInKilobytes(32767, 32767, 32), 4194048);
}
