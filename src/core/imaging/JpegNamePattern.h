#pragma once
// The file names the folder browser lists as photos: "*.jp*g" without regard to case.

#include <string_view>

namespace vantrel {

// True for names that match "*.jp*g" ignoring case: ".jpg", ".jpeg", ".JPG", "a.jp2.png".
bool MatchesJpegPattern(std::string_view name);

}  // namespace vantrel
