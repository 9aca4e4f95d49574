#include "capture/ClipboardRoundTrip.h"

#include "imaging/PixelConversion.h"
#include "platform/Clipboard.h"

namespace varnoset {

Picture ClipboardRoundTrip(Clipboard& clipboard, const Picture& picture) {
    clipboard.setPicture(picture);
    Picture back = clipboard.picture();
    convertPixelFormat(back, PixelFormat::Device);
    return back;
}

}  // namespace varnoset
