#pragma once

#include "imaging/Picture.h"

namespace varnoset {

// The desktop's clipboard as a store of one picture.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Empties the clipboard and offers the picture to every program.
    virtual void setPicture(const Picture& picture) = 0;
    // True when some program offers a picture in a format that can be read.
    virtual bool hasPicture() const = 0;
    // The offered picture; throws varnoset::Error("Unsupported clipboard format") when no picture
    // can be read back.
    virtual Picture picture() const = 0;
};

}  // namespace varnoset
