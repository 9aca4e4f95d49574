#pragma once

#include <png.h>

#include <array>
#include <string>

namespace varnoset {

// libpng reports a failure through an error function that must not return. This one keeps the
// library's message and jumps back to the setjmp of the guarded call that is running (png_jmpbuf),
// which holds no object with a destructor, so the jump skips none. Warnings are dropped: nothing
// is printed.
struct PngErrorTrap {
    std::array<char, 128> message{};

    static void fail(png_structp png, png_const_charp message);
    static void warn(png_structp png, png_const_charp message);

    std::string text() const { return std::string(message.data()); }
};

}  // namespace varnoset
