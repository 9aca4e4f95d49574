#pragma once

#include <cstdint>

#include "imaging/ImageOptions.h"

namespace varnoset::test {

// The colour options done the slow, obvious way: one sweep per step, in order, each written as
// plainly as it reads. The fast ApplyImageOptions must match it bit for bit.
void referenceImageOptions(std::uint8_t* rows, int width, int height, int stride,
                           const ImageOptions& options);

}  // namespace varnoset::test
