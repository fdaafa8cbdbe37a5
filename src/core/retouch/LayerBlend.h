#pragma once
// Blending a layer (a title picture, a corrected patch) over the photo by the layer's
// per-pixel alpha.

#include "core/imaging/Bitmap32.h"

namespace vantrel {

// Blends `layer` over `photo` with the layer's top-left corner at (x, y) of the photo; the
// parts outside the photo are left out. The layer's colours are straight (not multiplied by
// alpha). Each colour channel becomes P + (L - P) x A / 255, rounded to the nearest integer,
// where A is the layer pixel's alpha: alpha 255 replaces the photo's pixel, alpha 0 leaves it.
// The photo's alpha is kept.
void BlendLayer(Bitmap32& photo, const Bitmap32& layer, int x, int y);

}  // namespace vantrel
