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

namespace {

class TestLoan final : public PixelLoan {
public:
    TestLoan(std::vector<std::uint8_t>& bytes, bool& returned)
        : bytes_(bytes), returned_(returned) {}
    ~TestLoan() override { returned_ = true; }
    std::span<std::uint8_t> bytes() override { return bytes_; }

private:
    std::vector<std::uint8_t>& bytes_;
    bool& returned_;
};

}  // namespace

TEST(Picture, LentPixelsAreUsedInPlaceCopiedOnCopyAndGivenBackOnce) {
    std::vector<std::uint8_t> lent(2 * 4 * 2, 7);
    bool returned = false;
    EXPECT_THROW(Picture(3, 2, PixelFormat::Device, std::make_unique<TestLoan>(lent, returned)),
                 Error);
    returned = false;
    {
        Picture picture(2, 2, PixelFormat::Device, std::make_unique<TestLoan>(lent, returned));
        picture.scanLine(1)[0] = 42;
        EXPECT_EQ(lent[8], 42);
        Picture copy = picture;
        copy.scanLine(0)[0] = 1;
        EXPECT_EQ(lent[0], 7);
        EXPECT_EQ(copy.scanLine(1)[0], 42);
        Picture moved = std::move(picture);
        EXPECT_TRUE(picture.isEmpty());
        EXPECT_EQ(moved.scanLine(1)[0], 42);
        EXPECT_FALSE(returned);
    }
    EXPECT_TRUE(returned);
}
