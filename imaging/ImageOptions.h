#pragma once

#include "imaging/ColorValue.h"

namespace varnoset {

// The settings of one image options pass, as the main window's controls hold them.
struct ImageOptions {
    bool red = true;  // channel switches "R", "G", "B"
    bool green = true;
    bool blue = true;
    bool swap = false;             // exchange color1 and color2
    ColorValue color1 = 0x000000;  // 0x00BBGGRR
    ColorValue color2 = 0xFFFFFF;
    int brightness = 0;  // -127 .. 127
    int contrast = 0;    // -127 .. 127
    bool invert = false;
    bool mirror = false;
    bool grey = false;
    bool frame = false;
    int frameSize = 1;  // pen width in dots; see FramePainter
};

}  // namespace varnoset
