#pragma once
// What a photo's pixels are good for on paper: the largest common print format it fills at
// 200 dpi or more, and whether even a 10x15 cm print would come out under 150 dpi. The
// orientation does not matter: the long side of the photo goes to the long side of the print.

#include <optional>
#include <span>

namespace vantrel {

// A print format in centimetres, short side first ("10x15").
struct PrintFormatSize {
    int shortCm;
    int longCm;
};

// 9x13, 10x15, 13x18, 15x20, 20x30, 30x45, 40x60 cm, smallest first.
std::span<const PrintFormatSize> CommonPrintFormats();

inline constexpr double kGoodPrintDpi = 200.0;
inline constexpr double kSmallPrintDpi = 150.0;

// The resolution a W x H pixel photo (or crop frame) gives when it fills `format`: the lower
// of its two sides' dots per inch. Zero for an empty photo.
double PrintDpi(double width, double height, PrintFormatSize format);

struct PrintSizeAdvice {
    std::optional<PrintFormatSize> largestGood;  // none when it fills not even 9x13 at 200 dpi
    int dpiAt10x15 = 0;                          // rounded down
    bool small = false;                          // under 150 dpi at 10x15 cm
};

PrintSizeAdvice AdvisePrintSize(int width, int height);

}  // namespace vantrel
