#pragma once
// Where the title tool puts its text: the text picture, the frame the user moves, and the
// position at which the text finally lands in the photo. The text itself is drawn by the
// window layer (core has no fonts); this holds the geometry and the blending.

#include "core/imaging/Bitmap32.h"
#include "core/retouch/RetouchGeometry.h"

namespace vantrel {

// The text is drawn this far from the top-left corner of its picture.
inline constexpr int kTitleTextMargin = 5;

// The size of the text picture for a text measuring textWidth x textHeight: 10 pixels more
// each way, the text drawn at (5, 5) on a transparent background.
PixelPoint TitlePictureSize(int textWidth, int textHeight);

// The move frame around the text picture: top-left at (left, top), (text width + 20) x
// (text height + 20).
FrameBounds TitleFrame(double left, double top, int textWidth, int textHeight);

// Where the text's own top-left lands in the photo: (frame left + 5, frame top + 5), each
// rounded to the nearest integer (halves to even).
PixelPoint TitleTextOrigin(const FrameBounds& frame);

// Blends the text picture (text at (5, 5), straight alpha) into the photo so that its text
// lands at TitleTextOrigin(frame). Parts beyond the photo are left out.
void ApplyTitle(Bitmap32& photo, const Bitmap32& textPicture, const FrameBounds& frame);

}  // namespace vantrel
