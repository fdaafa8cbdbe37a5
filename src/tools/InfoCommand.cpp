// vantrel-cli info FILE...: the header and decode outcome of each photo, then any further
// sections registered through ImageInfoSections.
#include <algorithm>
#include <cstdio>

#include "core/imaging/FileBytes.h"
#include "core/imaging/JpegDecoder.h"
#include "tools/CliCommand.h"
#include "tools/ImageInfoSections.h"

namespace vantrel::cli {

std::vector<ImageInfoSection>& ImageInfoSections() {
    static std::vector<ImageInfoSection> sections;
    return sections;
}

namespace {

void PrintHeaderAndDecode(std::FILE* out, const std::string&, ImageWorkspace& ws, const DecodeResult& decode) {
    const ImageParams& p = ws.params;
    std::fprintf(out, "  width: %d\n  height: %d\n  colour model: %s\n  progressive: %s\n", p.width, p.height,
                 ColourModelName(p.colourModel), p.progressive ? "yes" : "no");
    std::fprintf(out, "  warnings: %u\n  last message code: %d\n  failed: %s\n", decode.warningCount,
                 decode.messageCode, decode.HasPicture() ? "no" : "yes");
}

const ImageInfoSectionRegistration headerSection({0, PrintHeaderAndDecode});

int RunInfo(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::fprintf(stderr, "usage: vantrel-cli info FILE...\n");
        return 2;
    }
    auto sections = ImageInfoSections();
    std::stable_sort(sections.begin(), sections.end(), [](const auto& a, const auto& b) { return a.order < b.order; });
    ImageWorkspace ws;
    int status = 0;
    for (const std::string& path : args) {
        std::printf("%s\n  size: %llu bytes\n", path.c_str(), static_cast<unsigned long long>(FileSizeOf(path)));
        ReadImageHeader(ws, path);
        const DecodeResult loaded = LoadImage(ws, path);
        if (loaded.outcome == DecodeOutcome::Unreadable) {
            std::fprintf(stderr, "%s\n", loaded.error.message.c_str());
            status = 1;
        }
        for (const ImageInfoSection& section : sections) section.print(stdout, path, ws, loaded);
    }
    return status;
}

const CliCommandRegistration reg("info", {"info FILE...", "header, decode outcome and metadata of photos", RunInfo});

}  // namespace
}  // namespace vantrel::cli
