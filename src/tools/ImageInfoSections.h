#pragma once
// The sections that "vantrel-cli info" prints for each photo. Each section registers itself
// from its own file, so that more lines (EXIF tags, ...) are added without touching the others.

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "core/imaging/DecodeResult.h"
#include "core/imaging/ImageWorkspace.h"

namespace vantrel::cli {

struct ImageInfoSection {
    int order;  // sections print in ascending order
    // Prints the section's lines for the photo at `path`; `ws` holds its header and picture,
    // `decode` how its decode went.
    std::function<void(std::FILE* out, const std::string& path, ImageWorkspace& ws, const DecodeResult& decode)> print;
};

std::vector<ImageInfoSection>& ImageInfoSections();

struct ImageInfoSectionRegistration {
    explicit ImageInfoSectionRegistration(ImageInfoSection section) { ImageInfoSections().push_back(std::move(section)); }
};

}  // namespace vantrel::cli
