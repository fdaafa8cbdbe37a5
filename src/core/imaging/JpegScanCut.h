#pragma once
// Cutting the entropy-coded data of a baseline JPEG at the start of an MCU row, so that a second
// decoder can decode the rows below the cut from a stream of its own while a first decoder
// decodes the rows above it.
//
// The lower stream is the photo's own header, with the height of the lower part, followed by the
// data from the cut on, to the end of the bytes given (read from a file, they end with the photo's
// end-of-image marker: see ImageEndFinder.h). Without restart markers, finding the cut means reading
// every code before it (Huffman coding is sequential); the codes are only measured (see
// JpegHuffmanMeasure.h), which is much cheaper than decoding them. A new scan predicts DC values
// from zero, so the first MCU's DC values are written again as absolute values
// (JpegFirstMcuRewrite.h), and the cut is placed where that rewrite ends on the original's byte
// grid: everything after it is the original's bytes (JpegLowerStream.h). With
// restart markers the cut is at a marker, where the prediction starts at zero anyway; the markers
// are only counted, and numbered anew in the lower stream. Either way the decoder of the lower
// stream sees the same coefficients, the same end of scan and the same segments up to the end of
// the image as a decoder of the whole file.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace vantrel {

// A Huffman table as a DHT segment gives it.
struct HuffmanSpec {
    std::array<std::uint8_t, 17> counts{};  // counts[l]: how many codes have length l (1..16)
    std::array<std::uint8_t, 256> symbols{};
};

// What the cut needs to know of a photo with one interleaved baseline scan (or one component),
// all of it read from the header.
struct JpegScanLayout {
    struct Component {
        int h = 1, v = 1;  // sampling factors
        int dcTable = 0, acTable = 0;
    };
    int width = 0, height = 0;
    std::vector<Component> components;  // in scan order
    std::array<std::optional<HuffmanSpec>, 4> dcTables, acTables;
    int restartInterval = 0;     // MCUs from one restart marker to the next; 0: none
    std::size_t dataOffset = 0;  // the first byte of entropy-coded data, right after the scan header
};

struct JpegScanCut {
    int firstRow = 0;        // the first picture row taken from the lower stream
    int streamFirstRow = 0;  // the picture row that is the lower stream's row 0 (one MCU row above)
    std::vector<std::uint8_t> lowerStream;
};

// The rows of the picture that one MCU row covers.
int RowsPerMcuRow(const JpegScanLayout& layout);

// Cuts the scan at the first suitable MCU row whose rows begin at or after `earliestRow`: with
// restart markers at the first restart that begins an MCU row (the markers are counted, no code
// is read), else where a rewrite of the first MCU fits the byte grid (the codes are measured from
// the start). Once a place is found, `claim(firstRow)` decides whether it is taken (the
// upper decoder may already be past it). No cut when the data is damaged before the cut, holds a
// marker, has no suitable place in the rows left, or the claim is refused.
std::optional<JpegScanCut> CutScan(std::span<const std::uint8_t> file, const JpegScanLayout& layout, int earliestRow,
                                   const std::function<bool(int)>& claim);

}  // namespace vantrel
