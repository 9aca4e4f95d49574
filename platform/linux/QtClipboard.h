#pragma once

#include "platform/Clipboard.h"

namespace varnoset {

// The X11 CLIPBOARD selection through Qt. A copied picture is offered in every image format Qt
// can write (image/png and image/bmp among them); any image another program offers in a format
// Qt can read (png, bmp, jpeg, ...) can be pasted. Qt hands what the program still owns at exit
// to a running clipboard manager (the CLIPBOARD_MANAGER / SAVE_TARGETS protocol).
class QtClipboard final : public Clipboard {
public:
    // Pictures read back take readFormat (a capture reads back in the display's format).
    explicit QtClipboard(PixelFormat readFormat = PixelFormat::Device) : readFormat_(readFormat) {}

    void setPicture(const Picture& picture) override;
    bool hasPicture() const override;
    Picture picture() const override { return picture(readFormat_); }
    Picture picture(PixelFormat format) const;

private:
    PixelFormat readFormat_;
};

}  // namespace varnoset
