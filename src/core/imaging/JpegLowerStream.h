#pragma once
// The lower stream of a cut (see JpegScanCut.h): the photo's headers with the height of the rows
// below the cut, then the entropy-coded data from the cut on, to the end of the bytes given.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/imaging/JpegScanCut.h"

namespace vantrel::scan_detail {

// The offset of the frame header's marker, found by walking the segments from the start of the
// file to the scan header that ends at `dataOffset`; nothing when the walk does not end there
// (the codec tolerated something odd on the way) or the frame's height is not `height`.
std::optional<std::size_t> FrameHeaderOffset(std::span<const std::uint8_t> file, std::size_t dataOffset, int height);

// The next marker in entropy-coded data from `pos` (stuffed zero bytes and fill bytes passed
// over); `pos` is left just after it. Nothing at the end of the data.
std::optional<std::uint8_t> NextMarker(std::span<const std::uint8_t> data, std::size_t& pos);

// The cut whose lower stream starts at MCU row `mcuRow`: the headers with its height, `prefix`
// (the first MCU written anew, or nothing), and the file's bytes from `resume` on.
JpegScanCut CutAt(std::span<const std::uint8_t> file, const JpegScanLayout& layout, std::size_t frameOffset,
                  int rowsPerMcuRow, int mcuRow, std::span<const std::uint8_t> prefix, std::size_t resume);

// Numbers the restart markers of the lower stream's scan, from `dataStart` on, anew from its own
// start, `intervals` restart intervals having been left above the cut.
void RenumberRestarts(std::span<std::uint8_t> stream, std::size_t dataStart, std::int64_t intervals);

}  // namespace vantrel::scan_detail
