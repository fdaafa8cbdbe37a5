#include "core/imaging/IccProfile.h"

#include <array>
#include <string_view>

namespace vantrel {
namespace {

constexpr int kApp2 = 0xE2;
constexpr std::string_view kSignature{"ICC_PROFILE\0", 12};
constexpr std::size_t kChunkHeader = kSignature.size() + 2;  // signature, number, count

}  // namespace

std::optional<std::string> EmbeddedIccProfile(const std::vector<MetadataSegment>& segments) {
    // Chunk numbers are one byte, so at most 255 chunks: where each one is, by its number.
    std::array<const MetadataSegment*, 256> chunks{};
    int count = 0;
    std::size_t total = 0;
    for (const MetadataSegment& segment : segments) {
        if (segment.marker != kApp2 || !segment.data.starts_with(kSignature)) continue;
        if (segment.data.size() <= kChunkHeader) return std::nullopt;
        const int number = static_cast<unsigned char>(segment.data[kSignature.size()]);
        const int declared = static_cast<unsigned char>(segment.data[kSignature.size() + 1]);
        if (declared == 0 || (count != 0 && declared != count)) return std::nullopt;
        count = declared;
        if (number == 0 || number > count || chunks[number] != nullptr) return std::nullopt;
        chunks[number] = &segment;
        total += segment.data.size() - kChunkHeader;
        if (total > kMaxIccProfileBytes) return std::nullopt;
    }
    if (count == 0) return std::nullopt;
    std::string profile;
    profile.reserve(total);
    for (int number = 1; number <= count; ++number) {
        if (chunks[number] == nullptr) return std::nullopt;
        profile.append(chunks[number]->data, kChunkHeader);
    }
    return profile;
}

}  // namespace vantrel
