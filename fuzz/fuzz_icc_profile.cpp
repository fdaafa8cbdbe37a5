// libFuzzer entry: arbitrary bytes as a photo's APP2 segments (each a two-byte length, then its
// data), reassembled into a profile that Little CMS then reads and, when it can, applies.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/imaging/IccProfile.h"
#include "core/imaging/SrgbConversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<vantrel::MetadataSegment> segments;
    for (std::size_t at = 0; at + 2 <= size;) {
        const std::size_t length = std::min<std::size_t>((std::size_t(data[at]) << 8) | data[at + 1], size - at - 2);
        segments.push_back({0xE2, std::string(reinterpret_cast<const char*>(data + at + 2), length)});
        at += 2 + length;
    }
    const auto profile = vantrel::EmbeddedIccProfile(segments);
    if (!profile) return 0;
    const vantrel::ColourProfileInfo info = vantrel::DescribeColourProfile(*profile);
    if (info.toSrgb != nullptr) {
        std::uint8_t pixels[3 * 64];
        for (std::size_t i = 0; i < sizeof pixels; ++i) pixels[i] = static_cast<std::uint8_t>(i * 37);
        info.toSrgb->Apply(pixels, 64);
    }
    return 0;
}
