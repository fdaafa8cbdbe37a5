#pragma once
// Red-eye correction: the pixels of an elliptic selection that are clearly red lose their red.

#include <cstdint>
#include <expected>

#include "core/imaging/Bitmap32.h"
#include "core/retouch/RetouchGeometry.h"

namespace vantrel {

enum class RedEyeError {
    OutsidePhoto,    // the selection does not meet the photo (message key SelInImage)
    EmptySelection,  // the selection has no area inside the photo (message key SelNotEmpty)
};

// The language key of the message for an error.
const char* RedEyeMessageKey(RedEyeError error);

// One pixel through the correction formula (single-precision floats, results rounded to the
// nearest integer, halves to even): e = max(G + B, 1); s = sqrt(B / G when G > 1, else B)
// limited to 0.5 .. 1.5; c = R / e x s. A pixel with c <= 0.7 is not red and is returned as it
// is. Otherwise f = max(1.775 - (0.75 c + 0.25), 0), k = f x f, R x= k, B x= 1 - (1 - k) / 2,
// G x= 1 - (1 - k) / 4. Alpha is kept.
std::uint32_t CorrectRedEyePixel(std::uint32_t argb);

// The selection rectangle with its corners put in order: two mouse positions, in any order,
// become (min x, min y, max x, max y).
PixelRect RedEyeSelection(PixelPoint start, PixelPoint end);

// The part of the selection inside a W x H photo, or why there is none: OutsidePhoto when the
// selection lies wholly beside the photo, EmptySelection when what is left has no area.
std::expected<PixelRect, RedEyeError> RedEyeArea(PixelRect selection, int width, int height);

// Whether pixel (x, y) lies inside the ellipse inscribed in `rect` (its centre is tested, so
// the filled ellipse is symmetric and a 1-pixel-wide rectangle still holds a line).
bool InsideEllipse(const PixelRect& rect, int x, int y);

// Corrects the pixels of `photo` that lie inside both the photo and the ellipse inscribed in the
// selection spanned by `start` and `end` (in either order); the ellipse keeps its full shape
// when the selection reaches past the photo. Fails, with the photo unchanged, as RedEyeArea.
std::expected<void, RedEyeError> CorrectRedEye(Bitmap32& photo, PixelPoint start, PixelPoint end);

}  // namespace vantrel
