#include "core/retouch/Convolution.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

namespace vantrel {

namespace {

// One output row, worked on bytes: the same channel of the next pixel is 4 bytes on, so the
// loop treats the four channels alike and vectorises; the alpha lanes are put back afterwards.
// `up`, `mid`, `down` and `out` point at the first byte of pixel 1; `n` counts bytes.
template <typename Sum, typename Kernel>
void FilterRow(const std::uint8_t* __restrict up, const std::uint8_t* __restrict mid,
               const std::uint8_t* __restrict down, std::uint8_t* __restrict out, int n, Kernel k) {
    for (int i = 0; i < n; ++i) {
        // With a 16-bit Sum (the kernels of the tools never reach past it) the compiler works on
        // eight channels at a time.
        Sum s = Sum(k.w(0) * up[i - 4] + k.w(1) * up[i] + k.w(2) * up[i + 4] +
                    k.w(3) * mid[i - 4] + k.w(4) * mid[i] + k.w(5) * mid[i + 4] +
                    k.w(6) * down[i - 4] + k.w(7) * down[i] + k.w(8) * down[i + 4]);
        if (k.divisor() != 1) s = Sum(s / k.divisor());
        out[i] = std::uint8_t(s < 0 ? 0 : (s > 255 ? 255 : s));
    }
}

// A kernel whose weights the compiler sees, so zero weights vanish and products become shifts.
template <Kernel3x3 K>
struct FixedKernel {
    // The largest sum the kernel can reach decides whether 16 bits hold it.
    static constexpr bool kFitsShort = [] {
        int positive = 0, negative = 0;
        for (int w : K.weight) (w > 0 ? positive : negative) += w * 255;
        return positive <= 32767 && negative >= -32768;
    }();
    static constexpr int w(int i) { return K.weight[i]; }
    static constexpr int divisor() { return K.divisor; }
};

template <typename Kernel>
void Convolve(Bitmap32& photo, Kernel kernel) {
    const int w = photo.Width(), h = photo.Height();
    if (w < 3 || h < 3) return;
    // The original rows y - 1 and y; row y + 1 is still untouched in the photo itself.
    std::vector<std::uint32_t> prev(photo.Row(0), photo.Row(0) + w);
    std::vector<std::uint32_t> cur(w);
    const int n = (w - 2) * 4;
    using Sum = std::conditional_t<Kernel::kFitsShort, std::int16_t, int>;
    for (int y = 1; y < h - 1; ++y) {
        std::uint32_t* row = photo.Row(y);
        std::memcpy(cur.data(), row, std::size_t(w) * 4);
        FilterRow<Sum>(reinterpret_cast<const std::uint8_t*>(prev.data() + 1),
                       reinterpret_cast<const std::uint8_t*>(cur.data() + 1),
                       reinterpret_cast<const std::uint8_t*>(photo.Row(y + 1) + 1),
                       reinterpret_cast<std::uint8_t*>(row + 1), n, kernel);
        for (int x = 1; x < w - 1; ++x) row[x] = (row[x] & 0x00FFFFFFu) | (cur[x] & 0xFF000000u);
        std::swap(prev, cur);
    }
}

}  // namespace

void SoftenPhoto(Bitmap32& photo) { Convolve(photo, FixedKernel<kSoftenKernel>{}); }

void SharpenPhoto(Bitmap32& photo) { Convolve(photo, FixedKernel<kSharpenKernel>{}); }

}  // namespace vantrel
