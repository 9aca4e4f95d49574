#include "capture/CaptureModes.h"

namespace varnoset {

const CaptureMode* captureModeFor(int hotkeyFunction) {
    if (hotkeyFunction < 0 || hotkeyFunction >= static_cast<int>(CaptureModes.size())) {
        return nullptr;
    }
    return &CaptureModes[static_cast<std::size_t>(hotkeyFunction)];
}

}  // namespace varnoset
