#include "ClipboardRoundTrip.h"

#include "Clipboard.h"
#include "PixelConversion.h"

namespace varnoset {

Picture ClipboardRoundTrip(Clipboard& clipboard, const Picture& picture) {
    clipboard.setPicture(picture);
    Picture back = clipboard.picture();
    convertPixelFormat(back, PixelFormat::Device);
    return back;
}

}  // namespace varnoset
