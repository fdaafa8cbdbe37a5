#pragma once
// Lists written as comma text, such as the service's list of rejected decoder warnings:
// entries separated by commas or blanks, an entry optionally in double quotes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// Splits comma text. Blanks (any character up to the space) separate entries like commas;
// blanks around a comma belong to the separator; two commas in a row give an empty entry, as
// does a comma at the end. A quoted entry runs to its closing quote, with "" standing for one
// quote character.
std::vector<std::string> SplitCommaText(std::string_view text);

// A whole number written in decimal with an optional sign, or in hexadecimal after "$" or
// "0x"; leading blanks are allowed. Empty when the text is not such a number or is out of the
// 32-bit range.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);

}  // namespace vantrel
