#pragma once

#include "capture/CaptureRect.h"
#include "imaging/Picture.h"

namespace varnoset {

class Screen;

// Clamps the rectangle to the screen as it is now (see clampToScreen) and copies those pixels
// into a new picture in the display's format.
Picture CaptureScreenRect(Screen& screen, CaptureRect rect);

// Clamps the rectangle to a still picture of the whole screen as CaptureScreenRect clamps it to
// the screen, and copies those pixels out of the picture.
Picture CaptureStillRect(const Picture& still, CaptureRect rect);

}  // namespace varnoset
