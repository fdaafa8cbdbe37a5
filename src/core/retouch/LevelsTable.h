#pragma once
// The levels function behind the brightness and contrast tool: a 256-entry table built from
// input black, middle and white points, output limits, a gamma and the two slider values.

#include "core/retouch/RetouchPixels.h"

namespace vantrel {

struct ToneLevels {
    int brightness = 0;    // -100 .. 100: shifts the result by brightness / 100 of the range
    int contrast = 0;      // -100 .. 100: scales the distance from the middle by 1 + contrast / 100
    int gamma = 0;         // the curve's exponent is 10 ^ (gamma / 200)
    int inputBlack = 0;
    int inputMiddle = 127;
    int inputWhite = 255;
    int outputBlack = 0;
    int outputWhite = 255;
};

// The table of the levels function. Every intermediate value is a single-precision float and
// each entry is value x 255 rounded to the nearest integer, halves to even. With the default
// points the input is split at 127: 0 -> 0, 127 -> 0.5 (entry 128), 255 -> 1. Degenerate
// points (white equal to middle, middle equal to black) give the nearer end of the range
// instead of a division by zero.
LookupTable BuildLevelsTable(const ToneLevels& levels);

// The table of the light tool for the two slider positions, each limited to -100 .. 100.
// (0, 0) is the identity except 127 -> 128.
LookupTable BrightnessContrastTable(int brightness, int contrast);

}  // namespace vantrel
