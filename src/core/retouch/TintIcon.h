#pragma once
// The tint command's icon shows the current tint colour: the patch of colour around its centre
// is repainted with the tint, and its outer background with magenta, which the tool bar's
// picture list treats as transparent.

#include <cstdint>

#include "core/imaging/Bitmap32.h"

namespace vantrel {

inline constexpr std::uint32_t kIconTransparentColour = 0xFFFF00FFu;

// Fills with `colour` the area of pixels that have the colour of (x, y) and are connected to it
// through their four sides. A point outside the bitmap changes nothing.
void FloodFill(Bitmap32& bitmap, int x, int y, std::uint32_t colour);

// Repaints a tool-bar picture: the area connected to its pixel (15, 15) takes the tint colour
// (0x00RRGGBB, made opaque), then the area connected to (0, 0) takes magenta.
void PaintTintIcon(Bitmap32& icon, std::uint32_t tintColour);

}  // namespace vantrel
