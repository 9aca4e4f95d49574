#include <gtest/gtest.h>

#include "core/Error.h"
#include "imaging/Picture.h"

using namespace varnoset;

TEST(Picture, StrideAndLimits) {
    EXPECT_EQ(Picture::strideFor(1, PixelFormat::Rgb24), 4);
    EXPECT_EQ(Picture::strideFor(5, PixelFormat::Rgb24), 16);
    EXPECT_EQ(Picture::strideFor(9, PixelFormat::Indexed4), 8);
    EXPECT_EQ(Picture::strideFor(33, PixelFormat::Indexed1), 8);
    EXPECT_EQ(PixelRows::strideFor(3), 12);
    EXPECT_THROW(Picture(32768, 1, PixelFormat::Rgb24), Error);
    EXPECT_THROW(Picture(20000, 20000, PixelFormat::Rgb32), Error);
    EXPECT_TRUE(Picture().isEmpty());
}
