#include "core/imaging/ExifRewrite.h"

#include <algorithm>
#include <cstdint>

namespace vantrel {
namespace {

constexpr std::string_view kExifHeader("Exif\0\0", 6);
constexpr std::size_t kEntrySize = 12;

constexpr std::uint16_t kImageWidthTag = 0x0100;
constexpr std::uint16_t kImageLengthTag = 0x0101;
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kExifDirectoryTag = 0x8769;
constexpr std::uint16_t kPixelXDimensionTag = 0xA002;
constexpr std::uint16_t kPixelYDimensionTag = 0xA003;
constexpr std::uint16_t kThumbnailOffsetTag = 0x0201;
constexpr std::uint16_t kThumbnailLengthTag = 0x0202;
constexpr std::uint16_t kShortType = 3;
constexpr std::uint16_t kLongType = 4;

// The TIFF block inside a copy of the segment, read and written in its byte order; every
// access is checked against the block's end by the caller through Fits.
class TiffBlock {
public:
    TiffBlock(std::string& segment, bool motorola) : bytes_(segment), motorola_(motorola) {}

    bool Fits(std::uint64_t at, std::uint64_t count) const {
        const std::uint64_t size = bytes_.size() - kExifHeader.size();
        return at <= size && count <= size - at;
    }
    std::uint32_t Get(std::size_t at, int width) const {
        std::uint32_t value = 0;
        for (int i = 0; i < width; ++i)
            value = (value << 8) | static_cast<std::uint8_t>(bytes_[Index(at, i, width)]);
        return value;
    }
    void Put(std::size_t at, int width, std::uint32_t value) {
        for (int i = width - 1; i >= 0; --i, value >>= 8) bytes_[Index(at, i, width)] = static_cast<char>(value & 0xFF);
    }
    void Blank(std::size_t at, std::size_t count) {
        std::fill_n(bytes_.begin() + static_cast<std::ptrdiff_t>(kExifHeader.size() + at), count, '\0');
    }

    // Sets a one-value SHORT or LONG entry; any other entry is left as it is.
    void SetNumber(std::size_t entry, std::uint32_t value) {
        if (Get(entry + 4, 4) != 1) return;
        const std::uint32_t type = Get(entry + 2, 2);
        if (type == kShortType && value <= 0xFFFF) Put(entry + 8, 2, value);
        else if (type == kLongType) Put(entry + 8, 4, value);
    }

    // The number of entries of the directory at `start`, when its count fits in the block.
    std::optional<std::size_t> Entries(std::uint64_t start) const {
        if (!Fits(start, 2)) return std::nullopt;
        return Get(start, 2);
    }

private:
    // The byte of position `i` (most significant first) of a number of `width` bytes at `at`.
    std::size_t Index(std::size_t at, int i, int width) const {
        return kExifHeader.size() + at + static_cast<std::size_t>(motorola_ ? i : width - 1 - i);
    }

    std::string& bytes_;
    bool motorola_;
};

// Blanks the thumbnail that the second directory at `start` points to, when it lies in the block.
void BlankThumbnail(TiffBlock& tiff, std::uint32_t start) {
    const auto entries = tiff.Entries(start);
    if (!entries) return;
    std::uint32_t offset = 0, length = 0;
    for (std::size_t i = 0; i < *entries; ++i) {
        const std::size_t entry = start + 2 + kEntrySize * i;
        if (!tiff.Fits(entry, kEntrySize)) break;
        const std::uint32_t tag = tiff.Get(entry, 2);
        if (tag == kThumbnailOffsetTag) offset = tiff.Get(entry + 8, 4);
        if (tag == kThumbnailLengthTag) length = tiff.Get(entry + 8, 4);
    }
    if (offset != 0 && tiff.Fits(offset, length)) tiff.Blank(offset, length);
}

void SetExifDimensions(TiffBlock& tiff, std::uint32_t start, int width, int height) {
    const auto entries = tiff.Entries(start);
    if (!entries) return;
    for (std::size_t i = 0; i < *entries; ++i) {
        const std::size_t entry = start + 2 + kEntrySize * i;
        if (!tiff.Fits(entry, kEntrySize)) return;
        const std::uint32_t tag = tiff.Get(entry, 2);
        if (tag == kPixelXDimensionTag) tiff.SetNumber(entry, static_cast<std::uint32_t>(width));
        if (tag == kPixelYDimensionTag) tiff.SetNumber(entry, static_cast<std::uint32_t>(height));
    }
}

}  // namespace

bool IsExifSegment(const MetadataSegment& segment) {
    return segment.marker == 0xE1 && segment.data.starts_with(kExifHeader);
}

std::optional<std::string> UprightExifSegment(std::string_view app1, int width, int height) {
    if (!app1.starts_with(kExifHeader) || app1.size() < kExifHeader.size() + 8) return std::nullopt;
    std::string segment(app1);
    const std::string_view order = app1.substr(kExifHeader.size(), 2);
    if (order != "MM" && order != "II") return std::nullopt;
    TiffBlock tiff(segment, order == "MM");
    if (tiff.Get(2, 2) != 42) return std::nullopt;
    const std::uint32_t first = tiff.Get(4, 4);
    const auto entries = tiff.Entries(first);
    // The whole first directory and its link to the next must lie in the block.
    if (!entries || !tiff.Fits(first + 2, kEntrySize * *entries + 4)) return std::nullopt;
    std::uint32_t exifDirectory = 0;
    for (std::size_t i = 0; i < *entries; ++i) {
        const std::size_t entry = first + 2 + kEntrySize * i;
        switch (tiff.Get(entry, 2)) {
            case kOrientationTag: tiff.SetNumber(entry, 1); break;
            case kImageWidthTag: tiff.SetNumber(entry, static_cast<std::uint32_t>(width)); break;
            case kImageLengthTag: tiff.SetNumber(entry, static_cast<std::uint32_t>(height)); break;
            case kExifDirectoryTag: exifDirectory = tiff.Get(entry + 8, 4); break;
            default: break;
        }
    }
    const std::size_t link = first + 2 + kEntrySize * *entries;
    if (const std::uint32_t thumbnail = tiff.Get(link, 4); thumbnail != 0) {
        BlankThumbnail(tiff, thumbnail);
        tiff.Put(link, 4, 0);
    }
    if (exifDirectory != 0) SetExifDimensions(tiff, exifDirectory, width, height);
    return segment;
}

std::vector<MetadataSegment> UprightMetadata(const std::vector<MetadataSegment>& segments, int width, int height) {
    std::vector<MetadataSegment> kept;
    kept.reserve(segments.size());
    for (const MetadataSegment& segment : segments) {
        if (!IsExifSegment(segment)) {
            kept.push_back(segment);
            continue;
        }
        if (auto rewritten = UprightExifSegment(segment.data, width, height))
            kept.push_back({segment.marker, std::move(*rewritten)});
    }
    return kept;
}

}  // namespace vantrel
