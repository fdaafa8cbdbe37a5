#pragma once
// The two JPEG encoders of the program. Both encode into memory; the callers write the result
// to disk in one step.

#include <cstdlib>
#include <expected>
#include <memory>
#include <string_view>
#include <vector>

#include "core/imaging/ImageFileError.h"
#include "core/imaging/ImageParams.h"
#include "core/imaging/RgbBitmap.h"

namespace vantrel {

// The bytes of an encoded file (allocated by the codec).
class EncodedJpeg {
public:
    EncodedJpeg(unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    std::string_view Bytes() const { return {reinterpret_cast<const char*>(data_.get()), size_}; }

private:
    struct Free {
        void operator()(unsigned char* p) const { std::free(p); }
    };
    std::unique_ptr<unsigned char, Free> data_;
    std::size_t size_;
};

// The plain encoder of scaled copies and edited photos: YCbCr with 2 x 2 chroma subsampling,
// the standard Huffman tables, a JFIF header, baseline coding, quantisation tables for
// `quality` (1..100) limited to baseline values, and no other segment than `segments` (when
// given: written in order after the JFIF header, every APP14 left out). Fails with Encoder for
// an empty bitmap or a codec error.
std::expected<EncodedJpeg, ImageFileError> EncodeBaselineJpeg(const RgbBitmap& picture, int quality,
                                                              const std::vector<MetadataSegment>* segments = nullptr);

// The working-copy encoder: keeps the colour model of `params` (a four-component photo is
// written as CMYK or YCCK with Adobe's inverted values and an Adobe segment, no JFIF header),
// is progressive when params.progressive, uses params.quality, and carries params.metadata over
// in order except every APP14 segment.
std::expected<EncodedJpeg, ImageFileError> EncodeWorkingCopyJpeg(const RgbBitmap& picture, const ImageParams& params);

}  // namespace vantrel
