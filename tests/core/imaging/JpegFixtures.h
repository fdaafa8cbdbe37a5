#pragma once
// Small JPEG files made in the tests with libjpeg itself, so that the decoder is checked
// against the codec's own encoder rather than against ours.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/TempFolder.h"

namespace vantrel::test {

enum class FixtureColour { YCbCr, Grey, CMYK, YCCK };

struct FixtureOptions {
    FixtureColour colour = FixtureColour::YCbCr;
    bool progressive = false;
    bool adobeMarker = true;  // four-component only: false writes plain (not inverted) CMYK
    int quality = 90;
    std::vector<std::pair<int, std::string>> segments;  // written after the codec's own headers
    int lumaH = 2, lumaV = 2;  // sampling factors of the first component (the codec's default 2 x 2)
    int restartRows = 0;       // a restart marker every this many MCU rows
    int restartMcus = 0;       // or every this many MCUs
    bool optimiseTables = false;
};

inline FixtureOptions Options(FixtureColour colour, bool progressive = false, bool adobeMarker = true) {
    FixtureOptions options;
    options.colour = colour;
    options.progressive = progressive;
    options.adobeMarker = adobeMarker;
    return options;
}

// The colour of pixel (x, y) as 0xRRGGBB.
using PixelSource = std::function<std::uint32_t(int x, int y)>;

// Camera-like content: smooth gradients with noise (up to `noise` in each channel), so that every
// row and column differs.
PixelSource Noisy(unsigned seed, std::uint8_t noise = 0x1F);

// A JPEG of width x height; four-component files hold the CMYK of the RGB colours.
std::string MakeJpeg(int width, int height, const PixelSource& pixels, const FixtureOptions& options = {});
inline std::string MakeSolidJpeg(int width, int height, std::uint32_t rgb, const FixtureOptions& options = {}) {
    return MakeJpeg(width, height, [rgb](int, int) { return rgb; }, options);
}

// The same file with the frame header declaring width x height instead: a few hundred bytes
// that claim a picture of any size.
std::string DeclareSize(std::string jpeg, int width, int height);

std::string ReadFile(const std::string& path);

// Colour channels of 0xRRGGBB.
inline int Red(std::uint32_t c) { return int(c >> 16) & 255; }
inline int Green(std::uint32_t c) { return int(c >> 8) & 255; }
inline int Blue(std::uint32_t c) { return int(c) & 255; }
// True when every channel of a differs from b by at most `tolerance`.
bool Near(std::uint32_t a, std::uint32_t b, int tolerance);

}  // namespace vantrel::test
