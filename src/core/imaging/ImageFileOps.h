#pragma once
// The operations that turn one photo file into another: scaled copies for the upload, edited
// and turned photos, the working copy of a photo entering an album, and the upload's judgement
// of a photo by its decoder warnings.

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>
#include <initializer_list>
#include <vector>

#include "core/imaging/Bitmap32.h"
#include "core/imaging/DecodeResult.h"
#include "core/imaging/ImageFileError.h"
#include "core/imaging/ImageWorkspace.h"

namespace vantrel {

// Quality of the upload's scaled copy and thumbnail.
inline constexpr int kDerivedCopyQuality = 90;
// The longest side a scaled copy may have: a 10000 x 10000 copy takes 300 MB as a bitmap; larger
// sizes come only from a mistaken or hostile setting.
inline constexpr int kMaxCopySize = 10000;

// Whether `size` is a side a scaled copy may have: 1..kMaxCopySize.
bool IsCopySizeAllowed(int size);
// The NoCopy error of a size that IsCopySizeAllowed refuses.
ImageFileError CopySizeRefused(int size);

// Replaces the bitmap by a point-sampled copy whose longer side is `size` (the other side
// keeps the proportion, integer division truncating, but is at least one pixel); a square
// picture counts as portrait.
// Enlarges as readily as it reduces. A size of 0 or less, or an empty bitmap, gives 0 x 0.
// If the new bitmap cannot be filled from the old one it is plain silver.
void ScaleToFit(RgbBitmap& bitmap, RgbBitmap& scratch, int size);
// ScaleToFit of `source` into `target`, leaving the source as it is.
void ScaledCopyOf(const RgbBitmap& source, RgbBitmap& target, int size);

// The rows of a stored picture of width x height that point-sampled copies of the given sizes
// read once the picture is turned upright by `orientation`. Empty, meaning every row, when the
// orientation turns the picture by a quarter (the turn reads the whole picture).
std::vector<bool> RowsSampledByCopies(int width, int height, int orientation, std::initializer_list<int> sizes);

// The upload's copy of the work bitmap: ScaledCopyOf into `target`, encoded with the plain
// encoder at `quality`. A copy that cannot be made (a size IsCopySizeAllowed refuses, an empty
// source, no memory for the copy) is a NoCopy error; the result is never empty.
std::expected<std::string, ImageFileError> EncodeScaledCopy(const RgbBitmap& source, RgbBitmap& target, int size,
                                                            int quality = kDerivedCopyQuality);

// Decodes the photo in full, scales it to `size` (ScaleToFit) and writes it to `outputPath`
// with the plain encoder at `quality` (the upload's 90), replacing any file there. An undecodable photo gives
// the placeholder tile scaled. The work bitmap holds the scaled picture afterwards. Returns the
// outcome of the photo's decode (Failed: the copy is the placeholder). A size that
// IsCopySizeAllowed refuses is refused before anything is read; a copy that cannot be made
// (NoCopy), a photo that cannot be opened, an output that cannot be written or an encoder
// failure is returned as the error, and no file is written: never an empty one.
std::expected<DecodeOutcome, ImageFileError> SaveScaledJpeg(ImageWorkspace& ws, const std::string& photoPath,
                                                   const std::string& outputPath, int size,
                                                   int quality = kDerivedCopyQuality);

// Whether the upload must refuse the photo because of its decoding: true when it does not
// decode; false when the decoder issued no warning; otherwise true when the last message code
// is one of the entries of the comma-text `codeList`, taken in order up to the first match.
// Errors: the photo cannot be opened (FileError); an entry that is reached and is not a whole
// number (BadCodeList).
std::expected<bool, ImageFileError> IsRejectedImage(ImageWorkspace& ws, const std::string& path,
                                                    std::string_view codeList);
// The same judgement of a decode already made (not an Unreadable one).
std::expected<bool, ImageFileError> IsRejectedDecode(const DecodeResult& decode, std::string_view codeList);

// Writes the picture (alpha ignored) as a JPEG with the plain encoder at `quality`, replacing
// the file in one step, so that a failed write keeps the old file. No metadata is written.
// The work bitmap holds the picture's tile afterwards.
std::expected<void, ImageFileError> SaveEditedJpeg(ImageWorkspace& ws, const Bitmap32& picture,
                                                   const std::string& path, int quality);

// SaveEditedJpeg of an upright picture that replaces the photo at `path`, keeping that photo's
// metadata segments in order with its EXIF block made upright (UprightMetadata). A file that
// cannot be read there gives a photo without metadata.
std::expected<void, ImageFileError> SaveEditedJpegKeepingMetadata(ImageWorkspace& ws, const Bitmap32& picture,
                                                                  const std::string& path, int quality);

enum class TurnDirection { Clockwise, CounterClockwise };

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

// The quality of a turn that has to re-encode: never lower than this, nor than the caller's.
inline constexpr int kTurnReencodeQuality = 95;

struct TurnOutcome {
    PictureSize size;  // the new width and height
    bool lossless = false;
    // Why the turn re-encoded (empty when lossless), e.g. "the size is not a multiple of the
    // 16x16 blocks".
    std::string reencodedBecause;
};

// Turns the photo file by a quarter turn, as the user sees it (upright by its EXIF
// orientation), rewriting the file in one step. The DCT blocks are turned without re-encoding
// when they can be exactly (TurnJpegLosslessly); otherwise the photo is decoded, turned and
// encoded at max(kTurnReencodeQuality, quality), so that no pixel is lost. Both keep the
// metadata segments in order, the EXIF block made upright (UprightMetadata). The work bitmap
// holds the new tile. A photo that cannot be decoded is left unchanged and gives Undecodable
// (the work bitmap holds the placeholder tile); open and write failures give FileError.
std::expected<TurnOutcome, ImageFileError> RotateImageFile(ImageWorkspace& ws, const std::string& path,
                                                           TurnDirection direction, int quality);

// Makes the album's working copy of a photo, right after ReadImageHeader and LoadImage of
// `source` succeeded on the same workspace. A four-component photo is re-encoded from the work
// bitmap with the working-copy encoder at `quality` (colour model, progressive coding and
// metadata kept); any other photo is copied byte for byte.
std::expected<void, ImageFileError> StoreWorkingCopy(ImageWorkspace& ws, const std::string& source,
                                                     const std::string& destination, int quality);

}  // namespace vantrel
