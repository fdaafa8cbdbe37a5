#include "core/retouch/TitlePlacement.h"

#include "core/retouch/LayerBlend.h"

namespace vantrel {

PixelPoint TitlePictureSize(int textWidth, int textHeight) {
    return {textWidth + 2 * kTitleTextMargin, textHeight + 2 * kTitleTextMargin};
}

FrameBounds TitleFrame(double left, double top, int textWidth, int textHeight) {
    return {left, top, left + textWidth + 20, top + textHeight + 20};
}

PixelPoint TitleTextOrigin(const FrameBounds& frame) {
    return {RoundHalfEven(frame.left + kTitleTextMargin), RoundHalfEven(frame.top + kTitleTextMargin)};
}

void ApplyTitle(Bitmap32& photo, const Bitmap32& textPicture, const FrameBounds& frame) {
    const PixelPoint origin = TitleTextOrigin(frame);
    BlendLayer(photo, textPicture, origin.x - kTitleTextMargin, origin.y - kTitleTextMargin);
}

}  // namespace vantrel
