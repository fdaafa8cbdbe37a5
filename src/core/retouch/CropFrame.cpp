#include "core/retouch/CropFrame.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

PrintFormat PrintFormatOfItem(int itemIndex) {
    return itemIndex == 0 ? PrintFormat::ThreeByTwo : PrintFormat::FourByThree;
}

double FormatRatio(PrintFormat format) {
    return format == PrintFormat::ThreeByTwo ? 1.5 : double(4.0f / 3.0f);
}

CropFrame::CropFrame(int photoWidth, int photoHeight, PrintFormat format)
    : width_(std::max(photoWidth, 0)),
      height_(std::max(photoHeight, 0)),
      format_(format),
      landscape_(!(photoWidth < photoHeight)),
      frame_{0, 0, double(width_), double(height_)} {
    Fit();
}

double CropFrame::WidthFactor() const {
    const double r = FormatRatio(format_);
    return landscape_ ? r : 1.0 / r;
}

void CropFrame::SetFormat(PrintFormat format) {
    format_ = format;
    Fit();
}

void CropFrame::SetLandscape(bool landscape) {
    landscape_ = landscape;
    Fit();
}

void CropFrame::Fit() {
    const double r = FormatRatio(format_);
    const double W = width_, H = height_;
    double w, h;
    if (landscape_) {
        h = frame_.right - frame_.left;
        w = h * r;
    } else {
        w = frame_.bottom - frame_.top;
        h = w * r;
    }
    if (w > W) {
        h = W * h / w;
        w = W;
    }
    if (h > H) {
        w = H * w / h;
        h = H;
    }
    if (!(w > 0 && h > 0)) w = h = 0;  // an empty photo: nothing to frame
    frame_.right = frame_.left + w;
    if (frame_.right > W) {
        frame_.right = W;
        frame_.left = W - w;
    }
    frame_.bottom = frame_.top + h;
    if (frame_.bottom > H) {
        frame_.bottom = H;
        frame_.top = H - h;
    }
}

FrameBounds CropFrame::Correct(CropHandle handle, FrameBounds f) const {
    const double p = WidthFactor(), q = HeightFactor();
    const double W = width_, H = height_;
    double &L = f.left, &T = f.top, &R = f.right, &B = f.bottom;
    // A corner proposed past the opposite one would turn the frame inside out and crop the
    // photo to nothing: the dragged edge stops where the frame keeps one pixel each way.
    const double minHeight = std::max(1.0, q);
    if (handle == CropHandle::TopLeft || handle == CropHandle::TopRight) T = std::min(T, B - minHeight);
    if (handle == CropHandle::BottomLeft || handle == CropHandle::BottomRight) B = std::max(B, T + minHeight);
    switch (handle) {
        case CropHandle::Move:
            if (L < 0) { L = 0; R = (B - T) * p; }
            if (T < 0) { T = 0; B = (R - L) * q; }
            if (R > W) { R = W; L = W - (B - T) * p; }
            if (B > H) { B = H; T = H - (R - L) * q; }
            break;
        case CropHandle::TopLeft:
            L = R - (B - T) * p;
            T = B - (R - L) * q;
            if (L < 0) { L = 0; T = B - R * q; }
            if (T < 0) { T = 0; L = R - B * p; }
            break;
        case CropHandle::TopRight:
            R = L + (B - T) * p;
            T = B - (R - L) * q;
            if (R > W) { R = W; T = B - (W - L) * q; }
            if (T < 0) { T = 0; R = B * p + L; }
            break;
        case CropHandle::BottomLeft:
            L = R - (B - T) * p;
            B = T + (R - L) * q;
            if (L < 0) { L = 0; B = T + R * q; }
            if (B > H) { B = H; L = R - (H - T) * p; }
            break;
        case CropHandle::BottomRight:
            R = L + (B - T) * p;
            B = T + (R - L) * q;
            if (R > W) { R = W; B = T + (W - L) * q; }
            if (B > H) { B = H; R = (H - T) * p + L; }
            break;
        case CropHandle::None:
            return frame_;
    }
    return f;
}

CropHandle CropFrame::HitTest(double x, double y, double tolerance) const {
    auto near = [&](double cx, double cy) { return std::abs(x - cx) <= tolerance && std::abs(y - cy) <= tolerance; };
    if (near(frame_.left, frame_.top)) return CropHandle::TopLeft;
    if (near(frame_.right, frame_.top)) return CropHandle::TopRight;
    if (near(frame_.left, frame_.bottom)) return CropHandle::BottomLeft;
    if (near(frame_.right, frame_.bottom)) return CropHandle::BottomRight;
    if (x >= frame_.left && x <= frame_.right && y >= frame_.top && y <= frame_.bottom) return CropHandle::Move;
    return CropHandle::None;
}

bool CropFrame::BeginDrag(double x, double y, double tolerance) {
    drag_ = HitTest(x, y, tolerance);
    dragStartFrame_ = frame_;
    dragStartX_ = x;
    dragStartY_ = y;
    return drag_ != CropHandle::None;
}

void CropFrame::DragTo(double x, double y) {
    if (drag_ == CropHandle::None) return;
    const double dx = x - dragStartX_, dy = y - dragStartY_;
    FrameBounds f = dragStartFrame_;
    // The height decides the size; keep at least one pixel on the short side so a corner
    // dragged over the opposite one cannot turn the frame inside out.
    const double minHeight = std::max(1.0, HeightFactor());
    switch (drag_) {
        case CropHandle::Move:
            f.left += dx; f.right += dx; f.top += dy; f.bottom += dy;
            break;
        case CropHandle::TopLeft:
            f.left += dx; f.top = std::min(f.top + dy, f.bottom - minHeight);
            break;
        case CropHandle::TopRight:
            f.right += dx; f.top = std::min(f.top + dy, f.bottom - minHeight);
            break;
        case CropHandle::BottomLeft:
            f.left += dx; f.bottom = std::max(f.bottom + dy, f.top + minHeight);
            break;
        case CropHandle::BottomRight:
            f.right += dx; f.bottom = std::max(f.bottom + dy, f.top + minHeight);
            break;
        case CropHandle::None:
            return;
    }
    Propose(drag_, f);
}

std::pair<int, int> CropFrame::RoundedSize() const {
    return {RoundHalfEven(frame_.Width()), RoundHalfEven(frame_.Height())};
}

PixelRect CropFrame::CropRect() const {
    const auto [w0, h0] = RoundedSize();
    const int w = std::clamp(w0, 0, width_), h = std::clamp(h0, 0, height_);
    const int left = std::clamp(RoundHalfEven(frame_.left), 0, width_ - w);
    const int top = std::clamp(RoundHalfEven(frame_.top), 0, height_ - h);
    return {left, top, left + w, top + h};
}

Bitmap32 CropPhoto(const Bitmap32& photo, const PixelRect& rect) {
    const int left = std::max(rect.left, 0), top = std::max(rect.top, 0);
    const int right = std::min(rect.right, photo.Width()), bottom = std::min(rect.bottom, photo.Height());
    Bitmap32 out;
    if (right <= left || bottom <= top) return out;
    out.Resize(right - left, bottom - top);
    out.CopyRect(photo, left, top, right - left, bottom - top, 0, 0);
    return out;
}

}  // namespace vantrel
