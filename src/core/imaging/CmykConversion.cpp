#include "core/imaging/CmykConversion.h"

#include <algorithm>

namespace vantrel {
namespace {

// a * b / 255, rounded, for a, b in 0..255.
inline std::uint8_t MulDiv255(unsigned a, unsigned b) {
    const unsigned t = a * b + 128;
    return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

}  // namespace

void CmykRowToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb, std::size_t count, bool adobeInverted) {
    if (adobeInverted) {
        // Stored values are 255 - ink: red = (255 - c)(255 - k) / 255 = C * K / 255.
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned k = cmyk[4 * i + 3];
            rgb[3 * i] = MulDiv255(cmyk[4 * i], k);
            rgb[3 * i + 1] = MulDiv255(cmyk[4 * i + 1], k);
            rgb[3 * i + 2] = MulDiv255(cmyk[4 * i + 2], k);
        }
    } else {
        for (std::size_t i = 0; i < count; ++i) {
            const unsigned k = 255u - cmyk[4 * i + 3];
            rgb[3 * i] = MulDiv255(255u - cmyk[4 * i], k);
            rgb[3 * i + 1] = MulDiv255(255u - cmyk[4 * i + 1], k);
            rgb[3 * i + 2] = MulDiv255(255u - cmyk[4 * i + 2], k);
        }
    }
}

void RgbRowToInvertedCmyk(const std::uint8_t* rgb, std::uint8_t* cmyk, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned r = rgb[3 * i], g = rgb[3 * i + 1], b = rgb[3 * i + 2];
        const unsigned m = std::max({r, g, b});  // 255 - k, the inverted black
        if (m == 0) {
            cmyk[4 * i] = cmyk[4 * i + 1] = cmyk[4 * i + 2] = 255;
            cmyk[4 * i + 3] = 0;
            continue;
        }
        // Inverted ink of a channel: 255 - c = x * 255 / (255 - k), rounded.
        cmyk[4 * i] = static_cast<std::uint8_t>((r * 255 + m / 2) / m);
        cmyk[4 * i + 1] = static_cast<std::uint8_t>((g * 255 + m / 2) / m);
        cmyk[4 * i + 2] = static_cast<std::uint8_t>((b * 255 + m / 2) / m);
        cmyk[4 * i + 3] = static_cast<std::uint8_t>(m);
    }
}

}  // namespace vantrel
