#include "core/albums/PrintAdviceText.h"

#include "core/app/FormatPattern.h"

namespace vantrel {

std::string PrintFormatName(PrintFormatSize format) {
    return std::to_string(format.shortCm) + "x" + std::to_string(format.longCm) + " cm";
}

std::string PrintAdviceText(const PrintSizeAdvice& advice, const TextLookup& text) {
    if (advice.small) return FormatPattern(text("PrintSmall"), {std::int64_t{advice.dpiAt10x15}});
    if (advice.largestGood) return FormatPattern(text("PrintGood"), {PrintFormatName(*advice.largestGood)});
    return FormatPattern(text("PrintFair"), {std::int64_t{advice.dpiAt10x15}});
}

}  // namespace vantrel
