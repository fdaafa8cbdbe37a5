#pragma once
// The print-size advice of a photo in the user's words, as the information panel, the tiles'
// tooltips and "vantrel-cli info" show it.

#include <functional>
#include <string>
#include <string_view>

#include "core/imaging/PrintSizeAdvice.h"

namespace vantrel {

using TextLookup = std::function<std::string(std::string_view key)>;

// "20x30 cm".
std::string PrintFormatName(PrintFormatSize format);

// One sentence: the largest format filled at 200 dpi (PrintGood), else the dpi at 10x15 cm,
// as a warning when under 150 dpi (PrintSmall) or a note otherwise (PrintFair).
std::string PrintAdviceText(const PrintSizeAdvice& advice, const TextLookup& text);

}  // namespace vantrel
