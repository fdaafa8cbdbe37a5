#include "core/imaging/ImageFileOps.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/base/CommaText.h"
#include "core/imaging/BrowserThumb.h"
#include "core/imaging/ExifOrientation.h"
#include "core/imaging/SrgbConversion.h"
#include "core/imaging/ExifRewrite.h"
#include "core/imaging/FileBytes.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/JpegEncoder.h"
#include "core/imaging/JpegMemoryBudget.h"
#include "core/imaging/LosslessTurn.h"
#include "core/imaging/QuarterTurn.h"
#include "core/imaging/RegularFile.h"
#include "core/imaging/Stretch.h"
#include "core/imaging/Tiles.h"

namespace vantrel {
namespace {

struct Rgb3 {
    std::uint8_t c[3];
};
static_assert(sizeof(Rgb3) == 3);

// Encodes the work bitmap with the plain encoder and `segments`, replaces the file, and leaves
// the tile.
std::expected<void, ImageFileError> SaveWorkBitmapAsEdited(ImageWorkspace& ws, const std::string& path, int quality,
                                                           const std::vector<MetadataSegment>* segments = nullptr) {
    auto encoded = EncodeBaselineJpeg(ws.workBitmap, quality, segments);
    if (!encoded) return std::unexpected(encoded.error());
    if (auto written = ReplaceFileBytes(path, encoded->Bytes()); !written) return written;
    MakeThumbTile(ws);
    return {};
}

}  // namespace

namespace {

// The shorter side of a copy whose longer side is `size`: in proportion, truncated, but at least
// one pixel, so that a long panorama still has a thumbnail.
std::int64_t ShorterSide(std::int64_t shorter, std::int64_t longer, int size) {
    return std::max<std::int64_t>(1, shorter * size / longer);
}

// The size of the copy whose longer side is `size` (a square counts as portrait); 0 x 0 when
// there is nothing to scale.
PictureSize FittedSize(const RgbBitmap& bitmap, int size) {
    const std::int64_t w = bitmap.Width(), h = bitmap.Height();
    if (w <= 0 || h <= 0 || size <= 0) return {};
    if (w > h) return {size, static_cast<int>(ShorterSide(h, w, size))};
    return {static_cast<int>(ShorterSide(w, h, size)), size};
}

}  // namespace

std::vector<bool> RowsSampledByCopies(int width, int height, int orientation, std::initializer_list<int> sizes) {
    if (width <= 0 || height <= 0 || SwapsSides(orientation)) return {};
    const bool flipped = orientation == 3 || orientation == 4;  // upside down as stored
    std::vector<bool> needed(static_cast<std::size_t>(height), false);
    for (int size : sizes) {
        const std::int64_t w = width, h = height;
        if (size <= 0) continue;
        const std::int64_t rows = w > h ? ShorterSide(h, w, size) : size;
        if (rows >= h) return {};  // an enlargement reads every row
        for (int y = 0; y < rows; ++y) {
            const int upright = SourceIndex(y, height, static_cast<int>(rows));
            needed[static_cast<std::size_t>(flipped ? height - 1 - upright : upright)] = true;
        }
    }
    return needed;
}

namespace {

ImageFileError NoCopy(std::string message) { return {ImageFileError::Kind::NoCopy, 0, std::move(message)}; }

// ScaledCopyOf; the reason, with the target untouched, when there is nothing to scale or no memory.
std::expected<void, ImageFileError> ScaleInto(const RgbBitmap& source, RgbBitmap& target, int size) {
    const PictureSize fitted = FittedSize(source, size);
    if (fitted.width == 0 || fitted.height == 0) return std::unexpected(NoCopy("the picture has no pixels to copy"));
    if (!target.Resize(fitted.width, fitted.height))
        return std::unexpected(NoCopy("not enough memory for a copy of " + std::to_string(fitted.width) + " x " +
                                      std::to_string(fitted.height) + " pixels"));
    if (!StretchInto(source, target, {0, 0, fitted.width, fitted.height})) target.Fill(kTileSilver);
    return {};
}

// The copy of the work bitmap `picture` encoded, or why it could not be made.
std::expected<EncodedJpeg, ImageFileError> EncodeCopy(const RgbBitmap& picture, int quality) {
    auto encoded = EncodeBaselineJpeg(picture, quality);
    if (encoded && encoded->Bytes().empty()) return std::unexpected(NoCopy("the JPEG encoder wrote nothing"));
    return encoded;
}

}  // namespace

bool IsCopySizeAllowed(int size) { return size >= 1 && size <= kMaxCopySize; }

ImageFileError CopySizeRefused(int size) {
    return NoCopy("the copy size " + std::to_string(size) + " is outside 1.." + std::to_string(kMaxCopySize) +
                  " pixels");
}

void ScaledCopyOf(const RgbBitmap& source, RgbBitmap& target, int size) {
    if (!ScaleInto(source, target, size)) target.Resize(0, 0);
}

void ScaleToFit(RgbBitmap& bitmap, RgbBitmap& scratch, int size) {
    if (!ScaleInto(bitmap, scratch, size)) {
        bitmap.Resize(0, 0);
        return;
    }
    bitmap.Swap(scratch);
}

std::expected<std::string, ImageFileError> EncodeScaledCopy(const RgbBitmap& source, RgbBitmap& target, int size,
                                                            int quality) {
    if (!IsCopySizeAllowed(size)) return std::unexpected(CopySizeRefused(size));
    if (auto scaled = ScaleInto(source, target, size); !scaled) return std::unexpected(scaled.error());
    auto encoded = EncodeCopy(target, quality);
    if (!encoded) return std::unexpected(encoded.error());
    return std::string(encoded->Bytes());
}

std::expected<DecodeOutcome, ImageFileError> SaveScaledJpeg(ImageWorkspace& ws, const std::string& photoPath,
                                                            const std::string& outputPath, int size, int quality) {
    if (!IsCopySizeAllowed(size)) return std::unexpected(CopySizeRefused(size));
    ReadImageHeader(ws, photoPath);
    // Only the rows the copy samples are decoded in full.
    const std::vector<bool> rows =
        RowsSampledByCopies(ws.params.width, ws.params.height, ExifOrientation(ws.params.metadata), {size});
    const DecodeResult loaded = LoadImage(ws, photoPath, rows.empty() ? nullptr : &rows);
    if (loaded.outcome == DecodeOutcome::Unreadable) return std::unexpected(loaded.error);
    if (!loaded.HasPicture()) DrawBadImageTile(ws, ws.workBitmap);
    else TurnUpright(ws);  // copies carry no metadata: they are made upright
    if (auto scaled = ScaleInto(ws.workBitmap, ws.scratch, size); !scaled) return std::unexpected(scaled.error());
    ws.workBitmap.Swap(ws.scratch);
    auto encoded = EncodeCopy(ws.workBitmap, quality);
    if (!encoded) return std::unexpected(encoded.error());
    if (auto written = WriteFileBytes(outputPath, encoded->Bytes()); !written) return std::unexpected(written.error());
    return loaded.outcome;
}

std::expected<bool, ImageFileError> IsRejectedImage(ImageWorkspace& ws, const std::string& path,
                                                    std::string_view codeList) {
    const DecodeResult loaded = LoadImage(ws, path);
    if (loaded.outcome == DecodeOutcome::Unreadable) return std::unexpected(loaded.error);
    return IsRejectedDecode(loaded, codeList);
}

std::expected<bool, ImageFileError> IsRejectedDecode(const DecodeResult& decode, std::string_view codeList) {
    const std::vector<std::string> entries = SplitCommaText(codeList);
    if (!decode.HasPicture()) return true;
    const std::int32_t lastCode = decode.messageCode;
    if (lastCode == 0) return false;
    for (const std::string& entry : entries) {
        const auto value = ParseWholeNumber(entry);
        if (!value)
            return std::unexpected(ImageFileError{ImageFileError::Kind::BadCodeList, 0,
                                                  "'" + entry + "' is not a valid integer value"});
        if (*value == lastCode) return true;
    }
    return false;
}

std::expected<void, ImageFileError> SaveEditedJpeg(ImageWorkspace& ws, const Bitmap32& picture,
                                                   const std::string& path, int quality) {
    if (!picture.ToRgb(ws.workBitmap))
        return std::unexpected(ImageFileError{ImageFileError::Kind::Encoder, 0, "out of memory"});
    return SaveWorkBitmapAsEdited(ws, path, quality);
}

std::expected<void, ImageFileError> SaveEditedJpegKeepingMetadata(ImageWorkspace& ws, const Bitmap32& picture,
                                                                  const std::string& path, int quality) {
    std::vector<MetadataSegment> segments;
    ImageParams stored;
    if (ReadImageHeader(ws, path)) {
        segments = UprightMetadata(ws.params.metadata, picture.Width(), picture.Height());
        stored = ws.params;
    }
    if (!picture.ToRgb(ws.workBitmap))
        return std::unexpected(ImageFileError{ImageFileError::Kind::Encoder, 0, "out of memory"});
    // The picture was edited as shown, in sRGB; the file keeps its own profile, so its pixels go
    // back to that profile, and the tile the save leaves is shown in sRGB again.
    if (ws.convertToSrgb) ConvertFromSrgb(stored, ws.workBitmap);
    if (auto saved = SaveWorkBitmapAsEdited(ws, path, quality, &segments); !saved) return saved;
    if (ws.convertToSrgb) ConvertToSrgb(stored, ws.workBitmap);
    return {};
}

namespace {

// The whole file, when it is a regular file no larger than a decode may take.
std::optional<std::string> ReadPhotoBytes(const std::string& path) {
    auto file = RegularFile::Open(path);
    if (!file || file->SizeAtOpen() > DecodeMemoryBudget()) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(file->SizeAtOpen()), '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const long n = file->Read(bytes.data() + filled, bytes.size() - filled);
        if (n <= 0) break;
        filled += static_cast<std::size_t>(n);
    }
    bytes.resize(filled);
    return bytes;
}

// The turn of the blocks, written over the file; the error says why it was not done.
std::expected<TurnOutcome, std::string> TurnLosslessly(ImageWorkspace& ws, const std::string& path,
                                                       TurnDirection direction) {
    if (!ReadImageHeader(ws, path)) return std::unexpected(std::string("the header cannot be read"));
    const auto bytes = ReadPhotoBytes(path);
    if (!bytes) return std::unexpected(std::string("the file cannot be read whole"));
    auto turned = TurnJpegLosslessly(*bytes, ExifOrientation(ws.params.metadata), direction == TurnDirection::Clockwise);
    if (!turned) return std::unexpected(turned.error());
    if (auto written = ReplaceFileBytes(path, turned->jpeg); !written) return std::unexpected(written.error().message);
    // The tile of the turned file, decoded at the scale a tile needs.
    if (MakeBrowserThumb(ws, path) != BrowserThumbResult::Tile) DrawBadImageTile(ws, ws.workBitmap);
    return TurnOutcome{{turned->width, turned->height}, true, {}};
}

}  // namespace

std::expected<TurnOutcome, ImageFileError> RotateImageFile(ImageWorkspace& ws, const std::string& path,
                                                           TurnDirection direction, int quality) {
    auto lossless = TurnLosslessly(ws, path, direction);
    if (lossless) return *lossless;
    ReadImageHeader(ws, path);
    // The file keeps its own profile: its pixels are turned as stored, and shown converted after.
    const bool shownInSrgb = std::exchange(ws.convertToSrgb, false);
    const DecodeResult loaded = LoadImage(ws, path);
    ws.convertToSrgb = shownInSrgb;
    if (loaded.outcome == DecodeOutcome::Unreadable) return std::unexpected(loaded.error);
    if (!loaded.HasPicture()) {
        // Writing the placeholder over the photo would destroy it: the file stays as it is.
        DrawBadImageTile(ws, ws.workBitmap);
        return std::unexpected(ImageFileError{ImageFileError::Kind::Undecodable, 0, "cannot decode '" + path + "'"});
    }
    // The rewritten file says Orientation 1: the turn starts from the picture as the user saw it.
    TurnUpright(ws);
    const int w = ws.workBitmap.Width(), h = ws.workBitmap.Height();
    // Without memory for the turned copy the picture is saved unturned.
    if (ws.scratch.Resize(h, w)) {
        TurnPixels(reinterpret_cast<const Rgb3*>(ws.workBitmap.Data()), w, h, reinterpret_cast<Rgb3*>(ws.scratch.Data()),
                   direction == TurnDirection::Clockwise);
        ws.workBitmap.Swap(ws.scratch);
    }
    const PictureSize size{ws.workBitmap.Width(), ws.workBitmap.Height()};
    const std::vector<MetadataSegment> segments = UprightMetadata(ws.params.metadata, size.width, size.height);
    const ImageParams turned = ws.params;
    if (auto saved = SaveWorkBitmapAsEdited(ws, path, std::max(kTurnReencodeQuality, quality), &segments); !saved)
        return std::unexpected(saved.error());
    if (shownInSrgb) ConvertToSrgb(turned, ws.workBitmap);  // the tile the save leaves
    return TurnOutcome{size, false, lossless.error()};
}

std::expected<void, ImageFileError> StoreWorkingCopy(ImageWorkspace& ws, const std::string& source,
                                                     const std::string& destination, int quality) {
    if (!IsFourComponent(ws.params.colourModel)) return CopyFileBytes(source, destination);
    ws.params.quality = quality;
    auto encoded = EncodeWorkingCopyJpeg(ws.workBitmap, ws.params);
    if (!encoded) return std::unexpected(encoded.error());
    return ReplaceFileBytes(destination, encoded->Bytes());
}

}  // namespace vantrel
