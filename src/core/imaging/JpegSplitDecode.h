#pragma once
// Decoding the sampled rows of a large photo with two decoders at once. Huffman decoding cannot
// be shared out, but the rows below a cut can be decoded from a stream of their own (see
// JpegScanCut.h): while the calling thread decodes the rows above the cut, a second thread finds
// the cut, which needs at most the codes measured, and decodes the rows below it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/imaging/JpegDecodeJob.h"

namespace vantrel::jpeg_detail {

// Whether the two-part decode may be used: built in (the CMake option VANTREL_SPLIT_DECODE) and
// not turned off by the environment variable VANTREL_SPLIT_DECODE=0, read at every call.
bool SplitDecodeEnabled();

// Below this size a second thread gains too little to pay for itself.
constexpr std::size_t kSplitMinPixels = 2'000'000;

enum class SplitOutcome {
    TwoParts,     // decoded in two parts at once
    OnePart,      // no cut was found in time: the upper decoder decoded the whole photo
    DecodeAsOne,  // not done: the caller decodes the photo as one (only the target may have changed)
};

// Runs `job`, whose rows wanted are given, in two parts at once when the photo allows it: one
// baseline Huffman scan (or one component), at least `minPixels`. A stream (a regular file, from
// its current position) is decoded from the stream above the cut while the second thread reads
// the file itself, up to the photo's end-of-image marker (never what follows it). It gives up (DecodeAsOne, the stream moved) on any other photo and whenever a
// decode warns or fails, so that what it does finish has exactly the rows and the clean outcome
// of one decode.
// Both decoders decode the row just above the cut; when the two differ in any byte the photo is
// decoded as one (DecodeAsOne), so that a fault of the cut can never reach the picture.
// `upperWaits`: see RowCut. `alterLowerStream`, for tests: changes the lower stream before it is
// decoded, as a fault of the cut would.
SplitOutcome RunSplitDecode(DecodeJob& job, std::size_t minPixels = kSplitMinPixels, bool upperWaits = false,
                            const std::function<void(std::vector<std::uint8_t>&)>& alterLowerStream = {});

}  // namespace vantrel::jpeg_detail
