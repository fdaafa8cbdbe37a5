#pragma once
// Conversion between the four-component pixels of CMYK and YCCK photos and RGB. The codec
// turns YCCK into CMYK itself, so only CMYK rows reach these functions. Adobe's writers (the
// files with an Adobe APP14 segment) store the four values inverted, 255 meaning no ink.

#include <cstddef>
#include <cstdint>

namespace vantrel {

// `count` CMYK pixels (4 bytes each) to RGB (3 bytes each). `adobeInverted`: the values are
// stored inverted, as files with an Adobe segment hold them.
void CmykRowToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb, std::size_t count, bool adobeInverted);

// `count` RGB pixels to CMYK with full black generation, stored inverted (Adobe's convention,
// which is what the working-copy encoder declares with its Adobe segment).
void RgbRowToInvertedCmyk(const std::uint8_t* rgb, std::uint8_t* cmyk, std::size_t count);

}  // namespace vantrel
