#include "tests/support/FakeClipboard.h"

#include "core/Error.h"
#include "imaging/PixelConversion.h"

namespace varnoset::test {

void FakeClipboard::setPicture(const Picture& picture) {
    log_.add(QStringLiteral("clipboard set"));
    ++pictureSets;
    held = picture;
}

Picture FakeClipboard::picture() const {
    log_.add(QStringLiteral("clipboard read"));
    if (failRead || !held) {
        throw Error("Unsupported clipboard format");
    }
    Picture copy = *held;
    convertPixelFormat(copy, readBack_);
    return copy;
}

}  // namespace varnoset::test
