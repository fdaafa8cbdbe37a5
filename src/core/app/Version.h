#pragma once
// Version strings built into the program (what the version resource holds on other platforms).

namespace vantrel {
inline constexpr const char* kProductVersion = "3.2.5";
inline constexpr const char* kFileVersion = "3.2.5.98";
inline constexpr const char* kApplicationTitle = "Vantrel";
}  // namespace vantrel
