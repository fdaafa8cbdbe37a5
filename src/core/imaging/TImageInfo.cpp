#include "core/imaging/TImageInfo.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/base/AsciiText.h"
#include "core/imaging/ExifTagTables.h"
#include "core/imaging/ExifValueText.h"
#include "core/imaging/TmsInfo.h"

namespace vantrel {
namespace {

// Rounds half to even, as the fields have always been rounded, and keeps the result in range.
int RoundToInt(double value) {
    if (!std::isfinite(value)) return 0;
    double rounded = std::nearbyint(value);
    rounded = std::clamp(rounded, double(std::numeric_limits<int>::min()), double(std::numeric_limits<int>::max()));
    return static_cast<int>(rounded);
}

}  // namespace

TImageInfo::TImageInfo(std::string segmentBytes, std::uint16_t lengthField, std::string* errorText)
    : bytes_(std::move(segmentBytes)), lengthField_(lengthField), errorText_(errorText) {}

void TImageInfo::Decode() {
    if (bytes_.size() < 7 || bytes_.compare(2, 5, std::string_view("Exif\0", 5)) != 0) {
        *errorText_ = "Incorrect Exif header";
        return;
    }
    const std::string_view mark = bytes_.size() >= kTiffHeader + 2 ? std::string_view(bytes_).substr(kTiffHeader, 2) : "";
    if (mark != "II" && mark != "MM") {
        *errorText_ = "Invalid Exif alignment marker";
        return;
    }
    motorola_ = mark == "MM";
    if (bytes_.size() >= kTiffHeader + 8) {
        std::uint32_t offset = ExifReadUnsigned(reinterpret_cast<const unsigned char*>(bytes_.data()) + kTiffHeader + 4, 4, motorola_);
        if (offset == 0) offset = 8;
        decodedDirectories_.insert(kTiffHeader + std::size_t(offset));
        DecodeDirectory(kTiffHeader + std::size_t(offset), false);
    }
    AddFocalLength35mm();
}

void TImageInfo::DecodeDirectory(std::size_t start, bool gps) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes_.data());
    if (start + 2 > bytes_.size()) return;  // a directory outside the segment is skipped
    const std::size_t count = ExifReadUnsigned(data + start, 2, motorola_);
    if (12 * count > std::size_t(lengthField_) + 1) {
        *errorText_ = "Illegally sized directory";
        return;
    }
    activeDirectories_.emplace_back(start, start + 2 + 12 * count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = start + 2 + 12 * i;
        if (at + 12 > bytes_.size() || !SpendEntry()) break;  // the rest lies outside the segment too
        DecodeEntry(at, gps);
    }
    activeDirectories_.pop_back();
}

void TImageInfo::FollowLink(std::uint32_t offset, bool gps) {
    const std::size_t target = kTiffHeader + std::size_t(offset);
    for (const auto& [from, to] : activeDirectories_)
        if (target >= from && target < to) return;  // leads back into a directory being decoded
    if (!decodedDirectories_.insert(target).second) return;  // each directory is decoded once
    DecodeDirectory(target, gps);
}

void TImageInfo::DecodeEntry(std::size_t at, bool gps) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes_.data());
    const auto tag = static_cast<std::uint16_t>(ExifReadUnsigned(data + at, 2, motorola_));
    const auto format = static_cast<std::uint16_t>(ExifReadUnsigned(data + at + 2, 2, motorola_));
    const std::uint64_t components = ExifReadUnsigned(data + at + 4, 4, motorola_);
    const std::uint64_t size = components * std::uint64_t(ExifComponentSize(format));
    if (size == 0) return;

    const std::size_t position =
        size <= 4 ? at + 8 : kTiffHeader + std::size_t(ExifReadUnsigned(data + at + 8, 4, motorola_));
    std::string_view raw;
    if (position < bytes_.size())
        raw = std::string_view(bytes_).substr(position, std::size_t(std::min<std::uint64_t>(size, bytes_.size() - position)));

    const TagRow& row = gps ? ExifGpsRow(tag) : ExifMainRow(tag);
    TagEntry entry = TagEntry::FromRow(row);
    entry.format = format;
    entry.valueSize = static_cast<std::uint32_t>(size);
    entry.valuePosition = static_cast<std::uint32_t>(position);
    entry.displayText = ExifDisplayText(entry, raw, motorola_, /*quoteAscii=*/false);

    if (tag == 0x9286) {
        std::string_view text = raw.size() > 8 ? raw.substr(8, raw.size() - 9) : std::string_view();
        entry.displayText = userComment_ = ExifTrim(text);
    }
    KeepWithinBudget(entry, raw);

    switch (tag) {
        case 0x0100: case 0xA002: width_ = RoundToInt(EntryNumber(entry)); break;
        case 0x0101: case 0xA003: height_ = RoundToInt(EntryNumber(entry)); break;
        case 0x010F: cameraMake_ = entry.displayText.substr(0, 32); break;
        case 0x0110: cameraModel_ = entry.displayText.substr(0, 40); break;
        case 0x0132: case 0x9003: dateText_ = entry.displayText.substr(0, 20); break;
        case 0x9000: exifVersion_ = std::string(raw.substr(0, 6)); break;
        case 0x927C:
            makerNote_ = std::string(raw);
            makerNotePosition_ = entry.valuePosition;
            makerNoteDecoded_ = DecodeMakerNote(*this);
            break;
        case 0x014A: case 0x8769: case 0xA005: case 0x8825: {
            // The first offset of the value; a link of any format other than an integer leads nowhere.
            const int componentSize = ExifComponentSize(format);
            if (raw.size() >= std::size_t(componentSize) && (componentSize == 1 || componentSize == 2 || componentSize == 4) &&
                format != kExifAscii && format != kExifFloat) {
                const auto offset =
                    ExifReadUnsigned(reinterpret_cast<const unsigned char*>(raw.data()), componentSize, motorola_);
                FollowLink(offset, tag == 0x8825);
            }
            break;
        }
        default: break;
    }

    if (row.tag != 0) tagList_.push_back(std::move(entry));
}

void TImageInfo::KeepWithinBudget(TagEntry& entry, std::string_view raw) {
    if (bytesKept_ + raw.size() + entry.displayText.size() > kKeptBytesBudget) {
        entry.displayText = ExifPrintableCut(entry.displayText);
        raw = {};
    }
    entry.rawValue = std::string(raw);
    bytesKept_ += raw.size() + entry.displayText.size();
}

double TImageInfo::EntryNumber(const TagEntry& entry) const {
    return ExifValueNumber(entry.rawValue, entry.format, motorola_);
}

int TImageInfo::FindTag(std::string_view name) const {
    const std::string wanted = ToUpperAscii(name);
    for (std::size_t i = 0; i < tagList_.size(); ++i)
        if (ToUpperAscii(tagList_[i].name) == wanted) return static_cast<int>(i);
    return -1;
}

std::string TImageInfo::TagText(std::string_view name) const {
    const int index = FindTag(name);
    return index < 0 ? std::string() : tagList_[index].displayText;
}

double TImageInfo::NumberOf(std::string_view name) const {
    const int index = FindTag(name);
    return index < 0 ? 0.0 : EntryNumber(tagList_[index]);
}

void TImageInfo::AddFocalLength35mm() {
    if (FindTag("FocalLengthin35mmFilm") >= 0) return;
    int unit = FindTag("FocalPlaneResolutionUnit") >= 0 ? RoundToInt(NumberOf("FocalPlaneResolutionUnit")) : 0;
    if (unit <= 0) unit = RoundToInt(NumberOf("ResolutionUnit"));
    const double millimetresPerUnit = unit == 2 ? 25.4 : unit == 3 ? 10.0 : 0.0;
    const double focalLength = NumberOf("FocalLength");
    if (millimetresPerUnit == 0 || focalLength == 0) return;

    double sensorWidth = 0, sensorHeight = 0;
    if (const int xResolution = RoundToInt(NumberOf("FocalPlaneXResolution")); xResolution > 0)
        sensorWidth = width_ * millimetresPerUnit / xResolution;
    if (const int yResolution = RoundToInt(NumberOf("FocalPlaneYResolution")); yResolution > 0)
        sensorHeight = height_ * millimetresPerUnit / yResolution;
    if (!(sensorWidth * sensorHeight > 0)) return;

    const double factor = 43.26661531 / std::sqrt(sensorWidth * sensorWidth + sensorHeight * sensorHeight);
    const TagRow* row = FindTagRow(ExifMainTable(), 0xA405);
    TagEntry entry = TagEntry::FromRow(*row);
    entry.displayText = ExifFormatFixed(focalLength * factor, 2, 5);
    tagList_.push_back(std::move(entry));
}

}  // namespace vantrel
