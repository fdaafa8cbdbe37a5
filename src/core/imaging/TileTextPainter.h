#pragma once
// Core has no fonts: the program supplies the one thing the placeholder tile needs from a
// font engine, measuring and drawing a short text in black type of a given point size.

#include <string>

#include "core/imaging/RgbBitmap.h"

namespace vantrel {

struct TextExtent {
    int width = 0;
    int height = 0;
};

class TileTextPainter {
public:
    virtual ~TileTextPainter() = default;
    // The size in pixels that `text` takes in `pointSize`-point type.
    virtual TextExtent MeasureText(const std::string& text, int pointSize) const = 0;
    // Draws `text` in black `pointSize`-point type with its top-left corner at (left, top);
    // whatever falls outside the bitmap is clipped.
    virtual void DrawText(RgbBitmap& bitmap, int left, int top, const std::string& text, int pointSize) const = 0;
};

}  // namespace vantrel
