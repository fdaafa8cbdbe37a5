#include "core/imaging/SrgbConversion.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <list>
#include <mutex>
#include <utility>

#include <lcms2.h>

#include "core/imaging/FileDigest.h"
#include "core/imaging/IccProfile.h"

namespace vantrel {
namespace {

constexpr std::size_t kKeptProfiles = 16;
constexpr std::size_t kMaxNameLength = 80;
// A transform that moves no sampled colour by more than this is taken for sRGB itself (sRGB
// profiles from different makers differ by rounding).
constexpr int kSameAsSrgb = 2;

struct ProfileHandle {
    cmsHPROFILE handle;
    explicit ProfileHandle(cmsHPROFILE h) : handle(h) {}
    ~ProfileHandle() {
        if (handle != nullptr) cmsCloseProfile(handle);
    }
    ProfileHandle(const ProfileHandle&) = delete;
    ProfileHandle& operator=(const ProfileHandle&) = delete;
};

std::string DescriptionOf(cmsHPROFILE profile) {
    char text[256] = {};
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text, sizeof text);
    std::string name(text, ::strnlen(text, kMaxNameLength));
    std::replace_if(name.begin(), name.end(), [](char c) { return c < 0x20 || c >= 0x7F; }, '?');
    return name.empty() ? std::string(1, '?') : name;  // a profile without a description still counts
}

// Whether the transform leaves a grid over the colour cube and the grey and primary ramps
// where they are, within kSameAsSrgb.
bool KeepsColours(cmsHTRANSFORM transform) {
    std::vector<std::uint8_t> samples;
    for (int r = 0; r <= 255; r += 15)
        for (int g = 0; g <= 255; g += 15)
            for (int b = 0; b <= 255; b += 15) samples.insert(samples.end(), {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)});
    for (int v = 0; v <= 255; ++v) {
        const auto u = std::uint8_t(v);
        samples.insert(samples.end(), {u, u, u, u, 0, 0, 0, u, 0, 0, 0, u});
    }
    std::vector<std::uint8_t> out(samples.size());
    cmsDoTransform(transform, samples.data(), out.data(), static_cast<cmsUInt32Number>(samples.size() / 3));
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (std::abs(int(samples[i]) - int(out[i])) > kSameAsSrgb) return false;
    return true;
}

ColourProfileInfo ReadProfile(const std::string& bytes) {
    ColourProfileInfo info;
    if (bytes.empty() || bytes.size() > kMaxIccProfileBytes) return info;
    const ProfileHandle profile(cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
    if (profile.handle == nullptr) return info;
    info.name = DescriptionOf(profile.handle);
    if (cmsGetColorSpace(profile.handle) != cmsSigRgbData) return info;
    const ProfileHandle srgb(cmsCreate_sRGBProfile());
    if (srgb.handle == nullptr) return info;
    // Without the one-pixel cache the transform holds no state while it runs: threads share it.
    cmsHTRANSFORM transform = cmsCreateTransform(profile.handle, TYPE_RGB_8, srgb.handle, TYPE_RGB_8,
                                                 INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
    if (transform == nullptr) return info;
    if (KeepsColours(transform)) {
        cmsDeleteTransform(transform);
        return info;
    }
    info.toSrgb = std::make_shared<const SrgbTransform>(transform);
    return info;
}

}  // namespace

SrgbTransform::~SrgbTransform() { cmsDeleteTransform(static_cast<cmsHTRANSFORM>(transform_)); }

void SrgbTransform::Apply(std::uint8_t* rgb, std::size_t pixels) const {
    constexpr std::size_t kBatch = std::size_t(1) << 30;  // the codec counts pixels in 32 bits
    for (std::size_t done = 0; done < pixels; done += kBatch) {
        const std::size_t n = std::min(kBatch, pixels - done);
        std::uint8_t* at = rgb + 3 * done;
        cmsDoTransform(static_cast<cmsHTRANSFORM>(transform_), at, at, static_cast<cmsUInt32Number>(n));
    }
}

ColourProfileInfo DescribeColourProfile(const std::string& profile) {
    static std::mutex mutex;
    static std::list<std::pair<Md5Digest, ColourProfileInfo>> kept;  // the last used first
    const Md5Digest key = DigestBytes(profile);
    const std::scoped_lock lock(mutex);
    const auto found = std::find_if(kept.begin(), kept.end(), [&](const auto& entry) { return entry.first == key; });
    if (found != kept.end()) {
        kept.splice(kept.begin(), kept, found);
        return kept.front().second;
    }
    kept.emplace_front(key, ReadProfile(profile));
    if (kept.size() > kKeptProfiles) kept.pop_back();
    return kept.front().second;
}

std::optional<ColourProfileInfo> PhotoColourProfile(const ImageParams& params) {
    const auto profile = EmbeddedIccProfile(params.metadata);
    if (!profile) return std::nullopt;
    ColourProfileInfo info = DescribeColourProfile(*profile);
    if (info.name.empty()) return std::nullopt;
    return info;
}

std::shared_ptr<const SrgbTransform> SrgbTransformOf(const ImageParams& params) {
    if (params.colourModel != ColourModel::YCbCr && params.colourModel != ColourModel::RGB) return nullptr;
    const auto info = PhotoColourProfile(params);
    return info ? info->toSrgb : nullptr;
}

void ConvertToSrgb(const ImageParams& params, RgbBitmap& bitmap, const std::vector<bool>* rows) {
    const auto transform = SrgbTransformOf(params);
    if (transform == nullptr || bitmap.Empty()) return;
    if (rows == nullptr) {
        transform->Apply(bitmap.Data(), std::size_t(bitmap.Width()) * std::size_t(bitmap.Height()));
        return;
    }
    for (int y = 0; y < bitmap.Height(); ++y)
        if (std::size_t(y) >= rows->size() || (*rows)[std::size_t(y)]) transform->Apply(bitmap.Row(y), std::size_t(bitmap.Width()));
}

void ConvertFromSrgb(const ImageParams& params, RgbBitmap& bitmap) {
    if (SrgbTransformOf(params) == nullptr || bitmap.Empty()) return;
    const auto bytes = EmbeddedIccProfile(params.metadata);
    if (!bytes) return;
    const ProfileHandle profile(cmsOpenProfileFromMem(bytes->data(), static_cast<cmsUInt32Number>(bytes->size())));
    const ProfileHandle srgb(cmsCreate_sRGBProfile());
    if (profile.handle == nullptr || srgb.handle == nullptr) return;
    cmsHTRANSFORM transform = cmsCreateTransform(srgb.handle, TYPE_RGB_8, profile.handle, TYPE_RGB_8,
                                                 INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
    if (transform == nullptr) return;
    SrgbTransform(transform).Apply(bitmap.Data(), std::size_t(bitmap.Width()) * std::size_t(bitmap.Height()));
}

}  // namespace vantrel
