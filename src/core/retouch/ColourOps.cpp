#include "core/retouch/ColourOps.h"

#include <algorithm>

namespace vantrel {

void MakeNegative(Bitmap32& photo) {
    const int w = photo.Width();
    for (int y = 0; y < photo.Height(); ++y) {
        std::uint32_t* row = photo.Row(y);
        for (int x = 0; x < w; ++x) row[x] ^= 0x00FFFFFFu;
    }
}

void MakeBlackAndWhite(Bitmap32& photo) { ConvertToGrey(photo); }

static LookupTable TintTable(int channel) {
    const float factor = float(channel) / 255.0f;
    LookupTable t{};
    for (int i = 0; i < 256; ++i) {
        const float v = float(i) * factor;
        t[i] = std::uint8_t(std::clamp(int(v), 0, 255));
    }
    return t;
}

TintTables BuildTintTables(std::uint32_t colour) {
    return {TintTable(RedOf(colour)), TintTable(GreenOf(colour)), TintTable(BlueOf(colour))};
}

void ApplyTint(Bitmap32& photo, std::uint32_t colour) {
    const TintTables t = BuildTintTables(colour);
    const int w = photo.Width();
    for (int y = 0; y < photo.Height(); ++y) {
        std::uint32_t* row = photo.Row(y);
        for (int x = 0; x < w; ++x) {
            // Grey first: the pixel's intensity goes through each channel's table.
            const int v = Intensity(row[x]);
            row[x] = kOpaque | (std::uint32_t(t.red[v]) << 16) | (std::uint32_t(t.green[v]) << 8) | t.blue[v];
        }
    }
}

void TurnPhotoClockwise(Bitmap32& photo) { photo = photo.TurnedClockwise(); }

void TurnPhotoCounterClockwise(Bitmap32& photo) { photo = photo.TurnedCounterClockwise(); }

}  // namespace vantrel
