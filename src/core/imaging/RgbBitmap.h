#pragma once
// The 24-bit work bitmap: rows of R,G,B bytes, top row first, no padding. Its pixel buffer
// only grows, so that decoding one large photo after another reuses the same memory instead
// of paying for a fresh allocation (and its page faults) every time.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vantrel {

class RgbBitmap {
public:
    RgbBitmap() = default;
    RgbBitmap(int width, int height) { Resize(width, height); }
    RgbBitmap(const RgbBitmap& other);
    RgbBitmap& operator=(const RgbBitmap& other);
    RgbBitmap(RgbBitmap&&) noexcept = default;
    RgbBitmap& operator=(RgbBitmap&&) noexcept = default;

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }
    std::size_t Stride() const { return static_cast<std::size_t>(width_) * 3; }
    std::size_t ByteSize() const { return Stride() * static_cast<std::size_t>(height_); }

    std::uint8_t* Row(int y) { return data_.get() + Stride() * static_cast<std::size_t>(y); }
    const std::uint8_t* Row(int y) const { return data_.get() + Stride() * static_cast<std::size_t>(y); }
    std::uint8_t* Data() { return data_.get(); }
    const std::uint8_t* Data() const { return data_.get(); }

    // Gives the bitmap a new size; the content is then undefined. Keeps the buffer when it is
    // large enough. Returns false (and leaves the bitmap 0 x 0) when memory runs out or a side
    // is negative; never throws.
    bool Resize(int width, int height);

    // Fills the whole bitmap with one colour given as 0xRRGGBB.
    void Fill(std::uint32_t rgb);

    // 0xRRGGBB of one pixel; no bounds check.
    std::uint32_t Pixel(int x, int y) const {
        const std::uint8_t* p = Row(y) + 3 * static_cast<std::size_t>(x);
        return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
    }
    void SetPixel(int x, int y, std::uint32_t rgb) {
        std::uint8_t* p = Row(y) + 3 * static_cast<std::size_t>(x);
        p[0] = std::uint8_t(rgb >> 16);
        p[1] = std::uint8_t(rgb >> 8);
        p[2] = std::uint8_t(rgb);
    }

    // Exchanges size and buffer with another bitmap (no copy).
    void Swap(RgbBitmap& other) noexcept;

    // Frees the buffer; the bitmap becomes 0 x 0.
    void ReleaseMemory();

private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::size_t capacity_ = 0;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace vantrel
