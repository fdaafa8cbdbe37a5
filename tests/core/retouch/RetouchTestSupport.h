#pragma once
// Small photos built in the tests of the retouch operations.

#include <cstdint>
#include <initializer_list>
#include <random>

#include "core/imaging/Bitmap32.h"
#include "core/retouch/RetouchPixels.h"

namespace vantrel::test {

inline std::uint32_t Rgb(int r, int g, int b) { return MakeArgb(255, r, g, b); }
inline std::uint32_t Grey(int v) { return MakeArgb(255, v, v, v); }

// A photo of the given width whose pixels are listed row by row.
inline Bitmap32 PhotoOf(int width, std::initializer_list<std::uint32_t> pixels) {
    const int height = int(pixels.size()) / width;
    Bitmap32 photo(width, height);
    int i = 0;
    for (std::uint32_t p : pixels) {
        photo.SetPixel(i % width, i / width, p);
        ++i;
    }
    return photo;
}

// A photo of random pixels (alpha random too when `randomAlpha`).
inline Bitmap32 NoisePhoto(int width, int height, unsigned seed, bool randomAlpha = false) {
    std::mt19937 rng(seed);
    Bitmap32 photo(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = rng();
            photo.SetPixel(x, y, randomAlpha ? v : (v | 0xFF000000u));
        }
    return photo;
}

inline bool SamePixels(const Bitmap32& a, const Bitmap32& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    return true;
}

}  // namespace vantrel::test
