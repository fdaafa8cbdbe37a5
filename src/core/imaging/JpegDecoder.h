#pragma once
// Reading JPEG headers and decoding whole photos into the work bitmap as 24-bit RGB.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/imaging/DecodeResult.h"
#include "core/imaging/ImageWorkspace.h"

namespace vantrel {

// Fills width, height, colour model, progressive flag and metadata segments of `ws.params`
// without decoding the picture. Never fails loudly: a file that cannot be opened or whose
// header cannot be read gives 0 x 0, colour model Unknown and false. Only regular files are
// opened (see RegularFile.h). The stream variant reads from the stream's current position.
bool ReadImageHeader(ImageWorkspace& ws, const std::string& path);
bool ReadImageHeaderFromStream(ImageWorkspace& ws, std::FILE* file);
bool ReadImageHeaderFromMemory(ImageWorkspace& ws, const std::uint8_t* data, std::size_t size);

// Decodes the whole photo at full scale into `ws.workBitmap` as RGB: grey becomes grey RGB,
// CMYK and YCCK (inverted Adobe CMYK included) are converted; an RGB picture with an embedded
// colour profile other than sRGB is brought to sRGB unless ws.convertToSrgb is off (see
// SrgbConversion.h). The header fields of ws.params are refreshed too. The result says how it went (see DecodeResult.h): warnings never fail the
// load (Warning, with the codec's message code current at the end of the read); a photo that
// cannot be decoded (not a JPEG, damaged beyond recovery, larger than DecodeMemoryBudget allows)
// is Failed; a file that cannot be opened is Unreadable, with its FileError. A path that names
// no regular file is a file that cannot be opened.
// With `rowsNeeded` (one entry per row of the stored picture), only those rows are sure to hold
// the picture afterwards: runs of other rows are skipped where the codec can skip them without
// changing the rows kept or the warnings (single component sets of three, Huffman coding), and
// the stream is still read to its end. Every other outcome is that of the whole decode.
// A second thread runs only then, with `rowsNeeded`, for a baseline photo of one scan of one or
// three components, of 2 megapixels or more, from a stream that can be rewound, unless the split
// decode is turned off (VANTREL_SPLIT_DECODE, see SplitDecodeEnabled): it reads the file itself,
// up to the photo's end, and decodes the rows below a cut while this thread decodes those above
// (see JpegSplitDecode.h). It is joined before LoadImage returns. When it cannot finish cleanly,
// or the two decodes of the row above the cut differ, the stream is rewound to where it started
// and the photo is decoded once more as one, so that the outcome is always that of one decode.
DecodeResult LoadImage(ImageWorkspace& ws, const std::string& path, const std::vector<bool>* rowsNeeded = nullptr);
// The same from an open stream or from memory: never Unreadable.
DecodeResult LoadImageFromStream(ImageWorkspace& ws, std::FILE* file, const std::vector<bool>* rowsNeeded = nullptr);
DecodeResult LoadImageFromMemory(ImageWorkspace& ws, const std::uint8_t* data, std::size_t size);

}  // namespace vantrel
