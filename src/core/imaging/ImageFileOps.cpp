#include "core/imaging/ImageFileOps.h"

#include "core/base/CommaText.h"
#include "core/imaging/ExifOrientation.h"
#include "core/imaging/FileBytes.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/JpegEncoder.h"
#include "core/imaging/QuarterTurn.h"
#include "core/imaging/Stretch.h"
#include "core/imaging/Tiles.h"

namespace vantrel {
namespace {

struct Rgb3 {
    std::uint8_t c[3];
};
static_assert(sizeof(Rgb3) == 3);

// Encodes the work bitmap with the plain encoder, replaces the file, and leaves the tile.
std::expected<void, ImageFileError> SaveWorkBitmapAsEdited(ImageWorkspace& ws, const std::string& path, int quality) {
    auto encoded = EncodeBaselineJpeg(ws.workBitmap, quality);
    if (!encoded) return std::unexpected(encoded.error());
    if (auto written = ReplaceFileBytes(path, encoded->Bytes()); !written) return written;
    MakeThumbTile(ws);
    return {};
}

}  // namespace

namespace {

// The size of the copy whose longer side is `size` (a square counts as portrait); 0 x 0 when
// there is nothing to scale.
PictureSize FittedSize(const RgbBitmap& bitmap, int size) {
    const std::int64_t w = bitmap.Width(), h = bitmap.Height();
    if (w <= 0 || h <= 0 || size <= 0) return {};
    if (w > h) return {size, static_cast<int>(h * size / w)};
    return {static_cast<int>(w * size / h), size};
}

}  // namespace

std::vector<bool> RowsSampledByCopies(int width, int height, int orientation, std::initializer_list<int> sizes) {
    if (width <= 0 || height <= 0 || SwapsSides(orientation)) return {};
    const bool flipped = orientation == 3 || orientation == 4;  // upside down as stored
    std::vector<bool> needed(static_cast<std::size_t>(height), false);
    for (int size : sizes) {
        const std::int64_t w = width, h = height;
        if (size <= 0) continue;
        const int rows = w > h ? static_cast<int>(h * size / w) : size;
        for (int y = 0; y < rows; ++y) {
            const int upright = SourceIndex(y, height, rows);
            needed[static_cast<std::size_t>(flipped ? height - 1 - upright : upright)] = true;
        }
    }
    return needed;
}

namespace {

// ScaledCopyOf; false, with the target untouched, when there is nothing to scale or no memory.
bool ScaleInto(const RgbBitmap& source, RgbBitmap& target, int size) {
    const PictureSize fitted = FittedSize(source, size);
    if (fitted.width == 0 && fitted.height == 0) return false;
    if (!target.Resize(fitted.width, fitted.height)) return false;
    if (!StretchInto(source, target, {0, 0, fitted.width, fitted.height})) target.Fill(kTileSilver);
    return true;
}

}  // namespace

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
    ScaledCopyOf(source, target, size);
    if (target.Empty()) return std::string();
    auto encoded = EncodeBaselineJpeg(target, quality);
    if (!encoded) return std::unexpected(encoded.error());
    return std::string(encoded->Bytes());
}

std::expected<void, ImageFileError> SaveScaledJpeg(ImageWorkspace& ws, const std::string& photoPath,
                                                   const std::string& outputPath, int size, int quality) {
    ReadImageHeader(ws, photoPath);
    // Only the rows the copy samples are decoded in full.
    const std::vector<bool> rows =
        RowsSampledByCopies(ws.params.width, ws.params.height, ExifOrientation(ws.params.metadata), {size});
    if (auto loaded = LoadImage(ws, photoPath, rows.empty() ? nullptr : &rows); !loaded)
        return std::unexpected(loaded.error());
    if (ws.params.failed) DrawBadImageTile(ws, ws.workBitmap);
    else TurnUpright(ws);  // copies carry no metadata: they are made upright
    ScaleToFit(ws.workBitmap, ws.scratch, size);
    if (ws.workBitmap.Empty()) return WriteFileBytes(outputPath, {});
    auto encoded = EncodeBaselineJpeg(ws.workBitmap, quality);
    if (!encoded) return std::unexpected(encoded.error());
    return WriteFileBytes(outputPath, encoded->Bytes());
}

std::expected<bool, ImageFileError> IsRejectedImage(ImageWorkspace& ws, const std::string& path,
                                                    std::string_view codeList) {
    auto code = LoadImage(ws, path);
    if (!code) return std::unexpected(code.error());
    return IsRejectedDecode(ws, *code, codeList);
}

std::expected<bool, ImageFileError> IsRejectedDecode(const ImageWorkspace& ws, std::int32_t lastCode,
                                                     std::string_view codeList) {
    const std::vector<std::string> entries = SplitCommaText(codeList);
    if (ws.params.failed) return true;
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

std::expected<PictureSize, ImageFileError> RotateImageFile(ImageWorkspace& ws, const std::string& path,
                                                           TurnDirection direction, int quality) {
    ReadImageHeader(ws, path);
    if (auto loaded = LoadImage(ws, path); !loaded) return std::unexpected(loaded.error());
    if (ws.params.failed) {
        // Writing the placeholder over the photo would destroy it: the file stays as it is.
        DrawBadImageTile(ws, ws.workBitmap);
        return std::unexpected(ImageFileError{ImageFileError::Kind::Undecodable, 0, "cannot decode '" + path + "'"});
    }
    // The rewritten file has no metadata: the turn starts from the picture as the user saw it.
    TurnUpright(ws);
    const int w = ws.workBitmap.Width(), h = ws.workBitmap.Height();
    // Without memory for the turned copy the picture is saved unturned.
    if (ws.scratch.Resize(h, w)) {
        TurnPixels(reinterpret_cast<const Rgb3*>(ws.workBitmap.Data()), w, h, reinterpret_cast<Rgb3*>(ws.scratch.Data()),
                   direction == TurnDirection::Clockwise);
        ws.workBitmap.Swap(ws.scratch);
    }
    const PictureSize size{ws.workBitmap.Width(), ws.workBitmap.Height()};
    if (auto saved = SaveWorkBitmapAsEdited(ws, path, quality); !saved) return std::unexpected(saved.error());
    return size;
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
