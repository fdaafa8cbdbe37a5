// vantrel-cli scale IN OUT SIZE [QUALITY]: the upload's scaled copy of a photo.
#include <cstdio>
#include <cstdlib>

#include "core/imaging/ImageFileOps.h"
#include "tools/CliCommand.h"

namespace vantrel::cli {
namespace {

int RunScale(const std::vector<std::string>& args) {
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr, "usage: vantrel-cli scale IN OUT SIZE [QUALITY]\n");
        return 2;
    }
    const int size = std::atoi(args[2].c_str());
    const int quality = args.size() == 4 ? std::atoi(args[3].c_str()) : kDerivedCopyQuality;
    ImageWorkspace ws;
    auto saved = SaveScaledJpeg(ws, args[0], args[1], size, quality);
    if (!saved) {
        std::fprintf(stderr, "%s\n", saved.error().message.c_str());
        return 1;
    }
    if (ws.params.failed) std::fprintf(stderr, "%s: cannot be decoded, wrote the placeholder\n", args[0].c_str());
    return 0;
}

const CliCommandRegistration reg("scale", {"scale IN OUT SIZE [QUALITY]  scaled JPEG copy, longer side SIZE", RunScale});

}  // namespace
}  // namespace vantrel::cli
