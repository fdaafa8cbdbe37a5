#include "core/imaging/RgbBitmap.h"

#include <cstring>
#include <new>
#include <utility>

namespace vantrel {

RgbBitmap::RgbBitmap(const RgbBitmap& other) { *this = other; }

RgbBitmap& RgbBitmap::operator=(const RgbBitmap& other) {
    if (this != &other && Resize(other.width_, other.height_) && other.ByteSize() > 0)
        std::memcpy(data_.get(), other.data_.get(), other.ByteSize());
    return *this;
}

bool RgbBitmap::Resize(int width, int height) {
    if (width < 0 || height < 0) {
        width_ = height_ = 0;
        return false;
    }
    const std::size_t needed = static_cast<std::size_t>(width) * 3 * static_cast<std::size_t>(height);
    if (needed > capacity_) {
        data_.reset();
        capacity_ = 0;
        // Default-initialised: the decoder overwrites every byte, so zeroing would be wasted work.
        data_.reset(new (std::nothrow) std::uint8_t[needed]);
        if (!data_) {
            width_ = height_ = 0;
            return false;
        }
        capacity_ = needed;
    }
    width_ = width;
    height_ = height;
    return true;
}

void RgbBitmap::Fill(std::uint32_t rgb) {
    const std::uint8_t r = std::uint8_t(rgb >> 16), g = std::uint8_t(rgb >> 8), b = std::uint8_t(rgb);
    if (r == g && g == b) {
        if (ByteSize() > 0) std::memset(data_.get(), r, ByteSize());
        return;
    }
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* p = Row(y);
        for (int x = 0; x < width_; ++x, p += 3) {
            p[0] = r;
            p[1] = g;
            p[2] = b;
        }
    }
}

void RgbBitmap::Swap(RgbBitmap& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(capacity_, other.capacity_);
    std::swap(width_, other.width_);
    std::swap(height_, other.height_);
}

void RgbBitmap::ReleaseMemory() {
    data_.reset();
    capacity_ = 0;
    width_ = height_ = 0;
}

}  // namespace vantrel
