#pragma once

#include "capture/CaptureRect.h"
#include "imaging/Picture.h"

namespace varnoset {

// A rectangle the user chose over a still picture of the whole screen, with that picture: the
// capture is cut from what the user saw, not read from the screen again.
struct StillSelection {
    CaptureRect rect;  // normalised, in screen pixels; all zero after a click without a drag
    Picture still;     // the whole screen as it was when the overlay appeared
};

}  // namespace varnoset
