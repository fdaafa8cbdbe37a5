#pragma once
// One queued photo: its working copy in the work folder, its measurements and its tile.

#include <cstdint>
#include <string>

namespace vantrel {

class TJobList;

// Rounds numerator / denominator to the nearest integer, halves to even (denominator > 0).
std::int32_t DivideRoundHalfEven(std::int64_t numerator, std::int64_t denominator);

class TImageJob {
public:
    // The photo size goes through SetPhotoSize, so the estimates are set as well.
    TImageJob(TJobList* owner, std::string sourcePath, std::string workPath, std::string caption,
              std::string fileName, std::int32_t width, std::int32_t height, std::int32_t photoSize,
              std::int32_t imageIndex);

    // Sets PhotoSize and, from it, the estimates of the scaled copy (size / 30), of the thumbnail
    // (size / 580), both rounded halves to even, and of the whole upload (the three + 250).
    void SetPhotoSize(std::int32_t bytes);

    TJobList* Owner;
    std::string SourcePath;  // the user's file; after a restart, the working copy's path
    std::string WorkPath;    // the working copy: uploaded, turned, retouched, deleted
    std::string Caption;     // caption of the photo's tile in the content list
    std::string FileName;    // the working copy's name without folder; sent as the photo's name
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t PhotoSize = 0;
    std::int32_t ScaledSize = 0;
    std::int32_t ThumbSize = 0;
    std::int32_t PackageSize = 0;
    std::int32_t ImageIndex = -1;  // index of the tile in the content image list; the photo's identity
};

}  // namespace vantrel
