// vantrel-cli scale IN OUT SIZE [QUALITY]: the upload's scaled copy of a photo.
#include <cstdio>
#include <cstdlib>

#include "core/base/CommaText.h"
#include "core/imaging/ImageFileOps.h"
#include "tools/CliCommand.h"

namespace vantrel::cli {
namespace {

int RunScale(const std::vector<std::string>& args) {
    if (args.size() != 3 && args.size() != 4) {
        std::fprintf(stderr, "usage: vantrel-cli scale IN OUT SIZE [QUALITY]\n");
        return 2;
    }
    // A size that is not a whole number in 1..10000 is refused before anything is read or written.
    const auto size = ParseWholeNumber(args[2]);
    if (!size || !IsCopySizeAllowed(*size)) {
        std::fprintf(stderr, "vantrel-cli scale: the size '%s' is outside 1..%d pixels\n", args[2].c_str(),
                     kMaxCopySize);
        return 2;
    }
    const int quality = args.size() == 4 ? std::atoi(args[3].c_str()) : kDerivedCopyQuality;
    ImageWorkspace ws;
    auto saved = SaveScaledJpeg(ws, args[0], args[1], *size, quality);
    if (!saved) {
        std::fprintf(stderr, "vantrel-cli scale: %s: %s\n", args[0].c_str(), saved.error().message.c_str());
        return 1;
    }
    if (*saved == DecodeOutcome::Failed) std::fprintf(stderr, "%s: cannot be decoded, wrote the placeholder\n", args[0].c_str());
    return 0;
}

const CliCommandRegistration reg("scale", {"scale IN OUT SIZE [QUALITY]", "scaled JPEG copy, longer side 1..10000", RunScale});

}  // namespace
}  // namespace vantrel::cli
