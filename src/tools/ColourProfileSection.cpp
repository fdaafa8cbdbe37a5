// vantrel-cli info: the name of the photo's embedded colour profile, "none" without a usable one.
#include "core/imaging/SrgbConversion.h"
#include "tools/ImageInfoSections.h"

namespace {

void PrintColourProfile(std::FILE* out, const std::string&, vantrel::ImageWorkspace& ws, const vantrel::DecodeResult&) {
    const auto profile = vantrel::PhotoColourProfile(ws.params);
    std::fprintf(out, "  colour profile: %s\n", profile ? profile->name.c_str() : "none");
}

const vantrel::cli::ImageInfoSectionRegistration colourProfileSection({5, PrintColourProfile});

}  // namespace
