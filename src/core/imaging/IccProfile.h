#pragma once
// The ICC colour profile a JPEG carries in its APP2 "ICC_PROFILE" segments.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/imaging/ImageParams.h"

namespace vantrel {

// The largest profile taken from a photo; a larger one counts as no profile.
inline constexpr std::size_t kMaxIccProfileBytes = std::size_t(4) << 20;

// The profile reassembled from the photo's APP2 chunks ("ICC_PROFILE\0", then the chunk's
// number from 1 and the number of chunks), in the order of their numbers. Any inconsistency
// (numbers out of range, missing or repeated chunks, counts that disagree, an empty or too large
// profile) gives no profile: a damaged profile never stops the photo from being shown.
std::optional<std::string> EmbeddedIccProfile(const std::vector<MetadataSegment>& segments);

}  // namespace vantrel
