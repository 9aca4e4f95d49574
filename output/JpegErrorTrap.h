#pragma once

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

namespace varnoset {

// libjpeg reports a failure by calling error_exit, which must not return. This error manager
// jumps back to the setjmp of the guarded call that is running and keeps the codec's message
// number. Guarded calls hold no object with a destructor, so the jump skips none. A warning that
// the data is damaged (premature end, bad entropy code) counts as a failure too; other warnings
// and trace messages are dropped, nothing is printed.
struct JpegErrorTrap {
    jpeg_error_mgr manager{};  // first member: the codec's err pointer points at the whole trap
    std::jmp_buf jump{};
    int messageCode = 0;

    JpegErrorTrap();
    JpegErrorTrap(const JpegErrorTrap&) = delete;
    JpegErrorTrap& operator=(const JpegErrorTrap&) = delete;
};

// The text of a codec failure: "JPEG error #" and the message number.
std::string jpegErrorText(int messageCode);

}  // namespace varnoset
