#pragma once
// The pixel formulas that the retouch operations share: the intensity of a pixel, the grey
// conversion and the mapping of the colour channels through a 256-entry table.

#include <array>
#include <cstdint>

#include "core/imaging/Bitmap32.h"

namespace vantrel {

// A table of 256 output levels, indexed by an input level.
using LookupTable = std::array<std::uint8_t, 256>;

inline constexpr std::uint32_t kOpaque = 0xFF000000u;

inline constexpr int RedOf(std::uint32_t argb) { return int((argb >> 16) & 0xFF); }
inline constexpr int GreenOf(std::uint32_t argb) { return int((argb >> 8) & 0xFF); }
inline constexpr int BlueOf(std::uint32_t argb) { return int(argb & 0xFF); }
inline constexpr int AlphaOf(std::uint32_t argb) { return int(argb >> 24); }
inline constexpr std::uint32_t MakeArgb(int a, int r, int g, int b) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
}

// The intensity of a pixel, 0 to 255: (R x 61 + G x 174 + B x 21) >> 8. The weights add up to
// 256, so white stays 255 and a grey pixel keeps its level.
inline constexpr int Intensity(std::uint32_t argb) {
    return (RedOf(argb) * 61 + GreenOf(argb) * 174 + BlueOf(argb) * 21) >> 8;
}

// Every pixel becomes R = G = B = its intensity, with alpha 255.
void ConvertToGrey(Bitmap32& photo);

// Every pixel becomes R = T[R], G = T[G], B = T[B], with alpha 255.
void ApplyTable(Bitmap32& photo, const LookupTable& table);

// As above, reading `source` and writing `target`, which takes the size of `source` (its
// storage is reused when the size is the same, so the light tool can map the untouched copy
// on every slider move without allocating).
void ApplyTable(const Bitmap32& source, const LookupTable& table, Bitmap32& target);

// The identity table.
LookupTable IdentityTable();

}  // namespace vantrel
