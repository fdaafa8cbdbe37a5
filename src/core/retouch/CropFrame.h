#pragma once
// The frame of the crop tool: a rectangle of a print format (3:2 or 4:3, landscape or
// portrait) that never leaves the photo. The dialog feeds it mouse positions in photo pixels
// and shows Frame(); applying the crop takes CropRect().

#include <utility>

#include "core/imaging/Bitmap32.h"
#include "core/retouch/RetouchGeometry.h"

namespace vantrel {

enum class PrintFormat { ThreeByTwo, FourByThree };

// The format of an item of the format list: item 0 is 3:2, every other state (no item chosen
// included) is 4:3.
PrintFormat PrintFormatOfItem(int itemIndex);

// Long side over short side: 1.5, or 4/3 as a single-precision value.
double FormatRatio(PrintFormat format);

enum class CropHandle { None, Move, TopLeft, TopRight, BottomLeft, BottomRight };

class CropFrame {
public:
    // A frame over a W x H photo: portrait when the photo is narrower than high, else landscape,
    // fitted from the whole photo (the largest frame of the format at the top-left corner).
    CropFrame(int photoWidth, int photoHeight, PrintFormat format = PrintFormat::FourByThree);

    int PhotoWidth() const { return width_; }
    int PhotoHeight() const { return height_; }
    PrintFormat Format() const { return format_; }
    bool Landscape() const { return landscape_; }
    const FrameBounds& Frame() const { return frame_; }

    // Width over height of the frame (p) and its inverse (q).
    double WidthFactor() const;
    double HeightFactor() const { return 1.0 / WidthFactor(); }

    // A new format or orientation fits the frame again from its current rectangle.
    void SetFormat(PrintFormat format);
    void SetLandscape(bool landscape);

    // Fits the current frame to the format: the new short side is taken from the current long
    // side, then the frame shrinks to fit the photo and is pushed back inside it.
    void Fit();

    // The rectangle the frame takes when the user proposes `proposed` by the given handle: a
    // move keeps the size and stops at the photo's edges; a corner drag keeps the opposite
    // corner, lets the proposed height decide the size and the width follow the format, and
    // stops at the photo's edges; a corner proposed past the opposite one leaves a frame of
    // one pixel each way.
    FrameBounds Correct(CropHandle handle, FrameBounds proposed) const;
    void Propose(CropHandle handle, const FrameBounds& proposed) { frame_ = Correct(handle, proposed); }

    // Mouse handling in photo pixels. HitTest names the corner within `tolerance` of the point,
    // else Move inside the frame, else None (the press then pans the view). BeginDrag remembers
    // the grab and returns false on None; DragTo moves the grabbed corner (or the whole frame)
    // by the distance from the press and corrects the result. A corner dragged past the opposite
    // one stops short of it, so the frame keeps at least one pixel each way.
    CropHandle HitTest(double x, double y, double tolerance) const;
    bool BeginDrag(double x, double y, double tolerance);
    void DragTo(double x, double y);
    void EndDrag() { drag_ = CropHandle::None; }
    CropHandle Dragging() const { return drag_; }

    // The frame's size rounded (halves to even), as the size label shows it.
    std::pair<int, int> RoundedSize() const;

    // The photo pixels the crop keeps: the rounded size, from the rounded top-left corner, moved
    // back inside the photo when rounding would reach past its edge.
    PixelRect CropRect() const;

private:
    int width_;
    int height_;
    PrintFormat format_;
    bool landscape_;
    FrameBounds frame_;
    CropHandle drag_ = CropHandle::None;
    FrameBounds dragStartFrame_;
    double dragStartX_ = 0, dragStartY_ = 0;
};

// The photo cut to `rect` (clipped to the photo; an empty rectangle gives an empty bitmap).
Bitmap32 CropPhoto(const Bitmap32& photo, const PixelRect& rect);

}  // namespace vantrel
