#pragma once
// What the photo reader knows about the last file it read: size, colour model and the segments
// that a re-encode carries over. How a decode went is its DecodeResult.

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

// The colour space the codec reports for a file. Unknown marks a file whose header could not
// be read; it never counts as four-component.
enum class ColourModel { RGB, Grey, YCbCr, CMYK, YCCK, Unknown };

// "RGB", "grey", "YCbCr", "CMYK", "YCCK" or "unknown".
const char* ColourModelName(ColourModel model);

inline bool IsFourComponent(ColourModel model) {
    return model == ColourModel::CMYK || model == ColourModel::YCCK;
}

// A comment (COM) or application (APP0..APP15) segment of a JPEG file, without its marker and
// length bytes; at most 65,533 bytes of data are kept, as the codec saves them.
struct MetadataSegment {
    int marker = 0;  // 0xFE for COM, 0xE0 + n for APPn
    std::string data;
};

struct ImageParams {
    std::int32_t width = 0;
    std::int32_t height = 0;
    ColourModel colourModel = ColourModel::YCbCr;
    // Quality of the next working-copy encode; StoreWorkingCopy sets it.
    int quality = 80;
    // The source was progressive; a working-copy encode is progressive too.
    bool progressive = false;
    // COM and APPn segments in file order, without the file's first APP0 segment.
    std::vector<MetadataSegment> metadata;
};

}  // namespace vantrel
