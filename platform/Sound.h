#pragma once

namespace varnoset {

// The capture click and the default beep.
class Sound {
public:
    virtual ~Sound() = default;
    // Starts the capture sound in the background and returns at once; false when the desktop
    // refused to play it (no sound server, no device).
    virtual bool playCaptureSound() = 0;
    // The desktop's default beep.
    virtual void beep() = 0;
};

}  // namespace varnoset
