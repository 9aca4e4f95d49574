#pragma once

#include <optional>

#include "imaging/Picture.h"
#include "platform/Clipboard.h"
#include "tests/support/FakeLog.h"

namespace varnoset::test {

// Holds one picture and gives it back in one pixel format, as a clipboard hands back its own
// format whatever was put on it: 24-bit rows unless told otherwise (the window's tests read it
// back in the display's format, as the desktop's clipboard does after a capture). With failRead
// the picture cannot be read back, as when another program offers a format no one reads.
class FakeClipboard final : public Clipboard {
public:
    explicit FakeClipboard(Log& log, PixelFormat readBack = PixelFormat::Rgb24)
        : log_(log), readBack_(readBack) {}
    void setPicture(const Picture& picture) override;
    bool hasPicture() const override { return held.has_value() && !failRead; }
    Picture picture() const override;

    std::optional<Picture> held;  // empty: nothing on the clipboard
    bool failRead = false;
    int pictureSets = 0;

private:
    Log& log_;
    PixelFormat readBack_;
};

}  // namespace varnoset::test
