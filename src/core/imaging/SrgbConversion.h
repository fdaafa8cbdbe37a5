#pragma once
// Photos shown and copied in sRGB: pixels decoded from a photo with another RGB colour profile
// are converted (Little CMS), so that screens and the service's lab read them as they are meant.
// Untagged and sRGB photos are left exactly as decoded.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/imaging/ImageParams.h"
#include "core/imaging/RgbBitmap.h"

namespace vantrel {

// One transform from a profile to sRGB, 8-bit RGB in place. Built once per profile and shared:
// Apply may run on several threads at once.
class SrgbTransform {
public:
    explicit SrgbTransform(void* transform) : transform_(transform) {}
    ~SrgbTransform();
    SrgbTransform(const SrgbTransform&) = delete;
    SrgbTransform& operator=(const SrgbTransform&) = delete;

    void Apply(std::uint8_t* rgb, std::size_t pixels) const;

private:
    void* transform_;  // cmsHTRANSFORM, built without the codec's one-pixel cache
};

struct ColourProfileInfo {
    // The profile's description ("Adobe RGB (1998)"), printable ASCII; empty when the profile
    // cannot be read.
    std::string name;
    // Null when there is nothing to convert: a profile that cannot be read, is not RGB, or
    // gives the colours of sRGB already.
    std::shared_ptr<const SrgbTransform> toSrgb;
};

// What a profile's bytes are; the answers for the last few profiles are kept, so that the tiles
// of a folder of photos from one camera open the profile once.
ColourProfileInfo DescribeColourProfile(const std::string& profile);

// The photo's profile (from its kept segments), when it has one that can be read.
std::optional<ColourProfileInfo> PhotoColourProfile(const ImageParams& params);

// The transform that brings the decoded pixels of this photo to sRGB; null for an untagged or
// sRGB photo, and for grey and four-component photos, whose pixels are left as they are.
std::shared_ptr<const SrgbTransform> SrgbTransformOf(const ImageParams& params);

// Converts the rows of `bitmap` to sRGB with the transform of `params` (every row, or those
// `rows` marks).
void ConvertToSrgb(const ImageParams& params, RgbBitmap& bitmap, const std::vector<bool>* rows = nullptr);

// The way back, for a photo edited as shown and saved with its own profile: converts `bitmap`
// from sRGB to the profile of `params`. Nothing happens where ConvertToSrgb would do nothing.
void ConvertFromSrgb(const ImageParams& params, RgbBitmap& bitmap);

}  // namespace vantrel
