#include "core/imaging/PrintSizeAdvice.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vantrel {

namespace {
constexpr std::array<PrintFormatSize, 7> kFormats{{{9, 13}, {10, 15}, {13, 18}, {15, 20}, {20, 30}, {30, 45}, {40, 60}}};
constexpr PrintFormatSize kTenByFifteen{10, 15};
constexpr double kCmPerInch = 2.54;
// A size given in whole pixels that meets a threshold exactly must not miss it by a rounding.
constexpr double kDpiSlack = 1e-9;
}  // namespace

std::span<const PrintFormatSize> CommonPrintFormats() { return kFormats; }

double PrintDpi(double width, double height, PrintFormatSize format) {
    if (width <= 0 || height <= 0) return 0.0;
    const double longPx = std::max(width, height);
    const double shortPx = std::min(width, height);
    return std::min(longPx * kCmPerInch / format.longCm, shortPx * kCmPerInch / format.shortCm);
}

PrintSizeAdvice AdvisePrintSize(int width, int height) {
    PrintSizeAdvice advice;
    for (const PrintFormatSize& format : kFormats)
        if (PrintDpi(width, height, format) + kDpiSlack >= kGoodPrintDpi) advice.largestGood = format;
    const double dpi = PrintDpi(width, height, kTenByFifteen);
    advice.dpiAt10x15 = static_cast<int>(std::floor(dpi + kDpiSlack));
    advice.small = dpi + kDpiSlack < kSmallPrintDpi;
    return advice;
}

}  // namespace vantrel
