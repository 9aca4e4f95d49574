#pragma once

#include "output/FooterLines.h"
#include "output/PageLayout.h"

namespace varnoset {

// The print options as the main window's controls hold them when Print is pressed.
struct PrintOptions {
    bool portrait = true;  // "Portrait Mode"; landscape otherwise
    PictureSize size = PictureSize::Normal;
    bool keepProportions = false;
    bool centred = false;
    int copiesIndex = 0;  // the selected entry of the copies list
    FooterContent footer;
};

}  // namespace varnoset
