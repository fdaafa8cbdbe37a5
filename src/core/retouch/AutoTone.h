#pragma once
// Automatic tone: stretches the intensities that the photo really uses to the full range.

#include <optional>

#include "core/retouch/RetouchPixels.h"

namespace vantrel {

// The stretching table for `photo`, or nothing when the photo must stay as it is: an empty
// photo, a photo that already reaches both black and white, or a photo in which no intensity
// occurs more than once (the weights cannot be formed).
//
// Each intensity 0..255 is weighted log2(count) x 255 / the largest log2(count), rounded to the
// nearest integer, so intensities met only once weigh 0 and stray pixels do not hold the range
// open. lo is the first weighted intensity (no further than 254), hi the last (at least lo + 1);
// the table sends i < lo to 0, i >= hi to 255 and between them (i - lo) x 255 div (hi - lo).
std::optional<LookupTable> AutoToneTable(const Bitmap32& photo);

// Maps `photo` through AutoToneTable. Returns false, with the photo untouched, when there is no
// table.
bool ApplyAutoTone(Bitmap32& photo);

}  // namespace vantrel
