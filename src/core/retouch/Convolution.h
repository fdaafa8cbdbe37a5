#pragma once
// Soften and sharpen: 3 x 3 convolutions of the colour channels. The outer rows and columns of
// the photo are left as they are, and alpha is kept.

#include "core/retouch/RetouchPixels.h"

namespace vantrel {

// A 3 x 3 kernel, rows top to bottom (row 0 against the row above the pixel), and its divisor.
struct Kernel3x3 {
    int weight[9];
    int divisor;
};

// "Moins net": each pixel becomes the average of its eight neighbours (the centre weighs 0).
inline constexpr Kernel3x3 kSoftenKernel{{2, 2, 2, 2, 0, 2, 2, 2, 2}, 16};
// "Plus net".
inline constexpr Kernel3x3 kSharpenKernel{{0, -1, 0, -1, 12, -1, 0, -1, 0}, 8};

// For every pixel with 1 <= x <= W - 2 and 1 <= y <= H - 2 and each of red, green and blue:
// the weighted sum of the original channel values of the pixel and its eight neighbours,
// divided by the divisor with truncation toward zero (no division when it is 1), limited to
// 0..255. Photos narrower or lower than 3 pixels are unchanged. Works in place with two rows of
// scratch memory instead of a copy of the photo.
void SoftenPhoto(Bitmap32& photo);
void SharpenPhoto(Bitmap32& photo);

}  // namespace vantrel
