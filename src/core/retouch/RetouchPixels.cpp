#include "core/retouch/RetouchPixels.h"

namespace vantrel {

void ConvertToGrey(Bitmap32& photo) {
    for (int y = 0; y < photo.Height(); ++y) {
        std::uint32_t* row = photo.Row(y);
        const int w = photo.Width();
        for (int x = 0; x < w; ++x) {
            const std::uint32_t v = std::uint32_t(Intensity(row[x]));
            row[x] = kOpaque | (v << 16) | (v << 8) | v;
        }
    }
}

void ApplyTable(const Bitmap32& source, const LookupTable& table, Bitmap32& target) {
    if (&source != &target && (target.Width() != source.Width() || target.Height() != source.Height()))
        target.Resize(source.Width(), source.Height());
    const int w = source.Width();
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint32_t* in = source.Row(y);
        std::uint32_t* out = target.Row(y);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = in[x];
            out[x] = kOpaque | (std::uint32_t(table[(p >> 16) & 0xFF]) << 16) |
                     (std::uint32_t(table[(p >> 8) & 0xFF]) << 8) | table[p & 0xFF];
        }
    }
}

void ApplyTable(Bitmap32& photo, const LookupTable& table) { ApplyTable(photo, table, photo); }

LookupTable IdentityTable() {
    LookupTable t{};
    for (int i = 0; i < 256; ++i) t[i] = std::uint8_t(i);
    return t;
}

}  // namespace vantrel
