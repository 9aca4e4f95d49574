#pragma once

#include <gtest/gtest.h>

#include <QImage>

#include "imaging/Picture.h"

// Picture comparisons for test expectations; each says in its name what it compares.
namespace varnoset::test {

// Same size and the same colour in every pixel, alpha aside; on failure the message names the
// first pixel that differs.
::testing::AssertionResult samePixels(const QImage& actual, const QImage& expected);

// Same size, pixel depth, palette and pixels. Blind to what is no pixel: the padding at the end
// of each row and the unused fourth byte of a 32-bit pixel, which writers and readers may fill
// as they like.
bool samePixels(const Picture& a, const Picture& b);

// Same size, pixel format, palette and every stored byte, the row padding included.
bool sameFormatAndBytes(const Picture& a, const Picture& b);

}  // namespace varnoset::test
