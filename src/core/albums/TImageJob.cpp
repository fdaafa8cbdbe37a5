#include "core/albums/TImageJob.h"

#include <algorithm>
#include <limits>

namespace vantrel {

std::int32_t DivideRoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) {  // floor division so that the rule below works for negative sizes too
        remainder += denominator;
        --quotient;
    }
    if (2 * remainder > denominator || (2 * remainder == denominator && (quotient & 1) != 0)) ++quotient;
    return static_cast<std::int32_t>(quotient);
}

TImageJob::TImageJob(TJobList* owner, std::string sourcePath, std::string workPath, std::string caption,
                     std::string fileName, std::int32_t width, std::int32_t height, std::int32_t photoSize,
                     std::int32_t imageIndex)
    : Owner(owner),
      SourcePath(std::move(sourcePath)),
      WorkPath(std::move(workPath)),
      Caption(std::move(caption)),
      FileName(std::move(fileName)),
      Width(width),
      Height(height),
      ImageIndex(imageIndex) {
    SetPhotoSize(photoSize);
}

void TImageJob::SetPhotoSize(std::int32_t bytes) {
    PhotoSize = bytes;
    ScaledSize = DivideRoundHalfEven(bytes, 30);
    ThumbSize = DivideRoundHalfEven(bytes, 580);
    // Summed wide and clamped: a photo near 2 GiB must not wrap the upload estimate negative.
    std::int64_t package = std::int64_t{PhotoSize} + ScaledSize + ThumbSize + 250;
    PackageSize = static_cast<std::int32_t>(std::min<std::int64_t>(package, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace vantrel
