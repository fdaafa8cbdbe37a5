#include "core/retouch/AutoTone.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace vantrel {

std::optional<LookupTable> AutoToneTable(const Bitmap32& photo) {
    if (photo.Width() <= 0 || photo.Height() <= 0) return std::nullopt;

    // 64-bit counts: a single level may cover every pixel of a very large photo.
    std::array<std::uint64_t, 256> counts{};
    for (int y = 0; y < photo.Height(); ++y) {
        const std::uint32_t* row = photo.Row(y);
        for (int x = 0; x < photo.Width(); ++x) ++counts[Intensity(row[x])];
    }

    std::array<double, 256> logs{};
    double largest = 0.0;
    for (int i = 0; i < 256; ++i) {
        logs[i] = counts[i] > 0 ? std::log2(double(counts[i])) : 0.0;
        if (logs[i] > largest) largest = logs[i];
    }
    if (largest <= 0.0) return std::nullopt;

    std::array<int, 256> weight{};
    for (int i = 0; i < 256; ++i) weight[i] = int(std::nearbyint(logs[i] * 255.0 / largest));
    if (weight[0] > 0 && weight[255] > 0) return std::nullopt;

    int lo = 0;
    while (weight[lo] == 0 && lo < 254) ++lo;
    int hi = 255;
    while (weight[hi] == 0 && hi >= lo + 2) --hi;

    LookupTable table{};
    for (int i = 0; i < 256; ++i) {
        if (i < lo)
            table[i] = 0;
        else if (i < hi)
            table[i] = std::uint8_t((i - lo) * 255 / (hi - lo));
        else
            table[i] = 255;
    }
    return table;
}

bool ApplyAutoTone(Bitmap32& photo) {
    const auto table = AutoToneTable(photo);
    if (!table) return false;
    ApplyTable(photo, *table);
    return true;
}

}  // namespace vantrel
