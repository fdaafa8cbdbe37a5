#include "core/imaging/Stretch.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vantrel {

bool StretchInto(const RgbBitmap& source, RgbBitmap& target, const PixelArea& rect) {
    if (source.Empty()) return false;
    if (rect.width <= 0 || rect.height <= 0) return true;
    const int x0 = std::max(rect.left, 0), x1 = std::min(rect.left + rect.width, target.Width());
    const int y0 = std::max(rect.top, 0), y1 = std::min(rect.top + rect.height, target.Height());
    if (x0 >= x1 || y0 >= y1) return true;
    // Byte offset of the source pixel of every target column.
    std::vector<std::uint32_t> columnOffset(static_cast<std::size_t>(x1 - x0));
    for (int x = x0; x < x1; ++x)
        columnOffset[x - x0] = 3u * static_cast<std::uint32_t>(SourceIndex(x - rect.left, source.Width(), rect.width));
    int previousSourceRow = -1;
    std::uint8_t* previousTargetRow = nullptr;
    const std::size_t rowBytes = 3 * static_cast<std::size_t>(x1 - x0);
    for (int y = y0; y < y1; ++y) {
        const int sy = SourceIndex(y - rect.top, source.Height(), rect.height);
        std::uint8_t* out = target.Row(y) + 3 * static_cast<std::size_t>(x0);
        if (sy == previousSourceRow) {
            // An enlarged picture repeats rows: copy the row already made.
            std::memcpy(out, previousTargetRow, rowBytes);
            continue;
        }
        const std::uint8_t* in = source.Row(sy);
        const std::uint32_t* offsets = columnOffset.data();
        const int n = x1 - x0;
        for (int i = 0; i < n; ++i) {
            const std::uint8_t* p = in + offsets[i];
            out[3 * i] = p[0];
            out[3 * i + 1] = p[1];
            out[3 * i + 2] = p[2];
        }
        previousSourceRow = sy;
        previousTargetRow = out;
    }
    return true;
}

}  // namespace vantrel
