#pragma once
// The one-step colour operations of the retouch dialog: negative, black and white, tint.

#include <cstdint>

#include "core/retouch/RetouchPixels.h"

namespace vantrel {

// The tint colour as 0x00RRGGBB; the first tint is a sepia tone.
inline constexpr std::uint32_t kInitialTintColour = 0xFFCA95u;  // red 255, green 202, blue 149

// Each of R, G, B becomes 255 minus itself; alpha is kept.
void MakeNegative(Bitmap32& photo);

// The grey conversion: R = G = B = intensity, alpha 255.
void MakeBlackAndWhite(Bitmap32& photo);

// The three tables of a tint: T[i] = i x (channel / 255), the factor a single-precision float,
// truncated toward zero. Returned in the order red, green, blue.
struct TintTables {
    LookupTable red, green, blue;
};
TintTables BuildTintTables(std::uint32_t colour);

// Grey conversion, then R = TR[R], G = TG[G], B = TB[B] with the tables of `colour`
// (0x00RRGGBB; the top byte is ignored). White becomes the colour itself, black stays black.
void ApplyTint(Bitmap32& photo, std::uint32_t colour);

// Quarter turns of the photo in place: W x H becomes H x W. Clockwise, (x, y) goes to
// (H - 1 - y, x); counter-clockwise, to (y, W - 1 - x).
void TurnPhotoClockwise(Bitmap32& photo);
void TurnPhotoCounterClockwise(Bitmap32& photo);

}  // namespace vantrel
