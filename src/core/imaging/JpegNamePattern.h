#pragma once
// Which file names count as photos. Two rules, both without regard to case: the folder browser
// lists the names that match "*.jp*g"; files dropped or handed over from outside are taken when
// their last extension is ".jpg" or ".jpeg".

#include <string_view>

namespace vantrel {

// True for names that match "*.jp*g" ignoring case: ".jpg", ".jpeg", ".JPG", "c.jpeg.jpg",
// "x.jpxg"; not "a.jpe", "a.jpgx", "jpg".
bool MatchesJpegPattern(std::string_view name);

// True when the part of `name` from its last full stop on is ".jpg" or ".jpeg", ignoring case:
// "a.JPG", "b.jpeg", ".jpg"; not "a.jpe", "a.jp2g", "a.jpg.png" or a name without a full stop.
bool HasJpegExtension(std::string_view name);

}  // namespace vantrel
