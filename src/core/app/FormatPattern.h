#pragma once
// Formatting of the language files' patterns ("%d %s", "%f Mb"). The patterns come from a text
// file, so they are interpreted here rather than handed to printf: a pattern whose
// placeholders do not match the arguments prints what it can and never reads past them.
// "%f" prints two decimals, with the user's decimal separator, as the language files expect.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <variant>

namespace vantrel {

using FormatArg = std::variant<std::int64_t, double, std::string>;

// Conversions: %s %d %u %x %f %e %g %n %m %% with optional "-", width and ".precision"
// (also "*" for either, taken from an integer argument). A missing argument prints nothing;
// an argument of another type is converted.
std::string FormatPattern(const std::string& pattern, std::initializer_list<FormatArg> args,
                          char decimalSeparator = '.');

}  // namespace vantrel
