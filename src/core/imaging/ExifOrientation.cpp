#include "core/imaging/ExifOrientation.h"

#include <algorithm>

#include "core/imaging/QuarterTurn.h"
#include "core/imaging/TimgData.h"

namespace vantrel {
namespace {

struct Rgb3 {
    std::uint8_t c[3];
};
static_assert(sizeof(Rgb3) == 3);

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;

// Reads 16- and 32-bit numbers of the TIFF block in its byte order, bounds checked.
class TiffReader {
public:
    TiffReader(std::string_view tiff, bool motorola) : tiff_(tiff), motorola_(motorola) {}
    bool Fits(std::size_t at, std::size_t count) const { return at <= tiff_.size() && count <= tiff_.size() - at; }
    std::uint32_t Get(std::size_t at, int bytes) const {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const std::uint32_t byte = static_cast<std::uint8_t>(tiff_[at + (motorola_ ? i : bytes - 1 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    }

private:
    std::string_view tiff_;
    bool motorola_;
};

void MirrorRows(RgbBitmap& bitmap) {
    const int w = bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        auto* row = reinterpret_cast<Rgb3*>(bitmap.Row(y));
        std::reverse(row, row + w);
    }
}

void FlipVertically(RgbBitmap& bitmap) {
    const std::size_t stride = bitmap.Stride();
    for (int top = 0, bottom = bitmap.Height() - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(bitmap.Row(top), bitmap.Row(top) + stride, bitmap.Row(bottom));
}

}  // namespace

int ExifOrientationOfSegment(std::string_view app1) {
    constexpr std::string_view kExifHeader("Exif\0\0", 6);
    if (!app1.starts_with(kExifHeader)) return kUpright;
    const std::string_view tiff = app1.substr(kExifHeader.size());
    if (tiff.size() < 8) return kUpright;
    bool motorola;
    if (tiff.starts_with("MM")) motorola = true;
    else if (tiff.starts_with("II")) motorola = false;
    else return kUpright;
    const TiffReader read(tiff, motorola);
    if (read.Get(2, 2) != 42) return kUpright;
    const std::size_t directory = read.Get(4, 4);
    if (!read.Fits(directory, 2)) return kUpright;
    const std::size_t entries = read.Get(directory, 2);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + 12 * i;
        if (!read.Fits(entry, 12)) return kUpright;
        if (read.Get(entry, 2) != kOrientationTag) continue;
        if (read.Get(entry + 2, 2) != kShortType || read.Get(entry + 4, 4) < 1) return kUpright;
        const std::uint32_t value = read.Get(entry + 8, 2);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : kUpright;
    }
    return kUpright;
}

int ExifOrientation(const std::vector<MetadataSegment>& metadata) {
    for (const MetadataSegment& segment : metadata)
        if (segment.marker == 0xE1 && segment.data.starts_with(std::string_view("Exif\0\0", 6)))
            return ExifOrientationOfSegment(segment.data);
    return kUpright;
}

int ExifOrientationOf(const TimgData& scan) {
    if (!scan.HasExifSegment()) return kUpright;
    const std::string& bytes = scan.Segments()[static_cast<std::size_t>(scan.ExifSegment())].bytes;
    return bytes.size() > 2 ? ExifOrientationOfSegment(std::string_view(bytes).substr(2)) : kUpright;
}

int ExifOrientationOfFile(const std::string& path) {
    TimgData scan;
    return scan.ScanFile(path) ? ExifOrientationOf(scan) : kUpright;
}

void OrientUpright(RgbBitmap& bitmap, RgbBitmap& scratch, int orientation) {
    if (bitmap.Empty() || orientation <= kUpright || orientation > 8) return;
    switch (orientation) {
        case 2: MirrorRows(bitmap); return;
        case 3: FlipVertically(bitmap); MirrorRows(bitmap); return;
        case 4: FlipVertically(bitmap); return;
        default: break;
    }
    // 6 and 8 are quarter turns; 5 (transpose) and 7 (transverse) are those turns mirrored.
    const int w = bitmap.Width(), h = bitmap.Height();
    if (!scratch.Resize(h, w)) return;
    const bool clockwise = orientation == 5 || orientation == 6;
    TurnPixels(reinterpret_cast<const Rgb3*>(bitmap.Data()), w, h, reinterpret_cast<Rgb3*>(scratch.Data()), clockwise);
    bitmap.Swap(scratch);
    if (orientation == 5 || orientation == 7) MirrorRows(bitmap);
}

void TurnUpright(ImageWorkspace& ws) {
    OrientUpright(ws.workBitmap, ws.scratch, ExifOrientation(ws.params.metadata));
}

}  // namespace vantrel
