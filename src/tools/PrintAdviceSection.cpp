// vantrel-cli info: the print-size advice of a photo, in the user's language, after its header.
#include <cstdio>

#include "core/albums/PrintAdviceText.h"
#include "tools/ImageInfoSections.h"
#include "tools/TerminalTexts.h"

namespace vantrel::cli {
namespace {

void PrintAdvice(std::FILE* out, const std::string&, ImageWorkspace& ws, const DecodeResult&) {
    const ImageParams& p = ws.params;
    if (p.width <= 0 || p.height <= 0) return;
    static const Texts texts("", LocaleFromEnvironment());
    const std::string advice =
        PrintAdviceText(AdvisePrintSize(p.width, p.height), [](std::string_view key) { return texts(key); });
    std::fprintf(out, "  prints: %s\n", ForTerminal(advice).c_str());
}

const ImageInfoSectionRegistration adviceSection({5, PrintAdvice});

}  // namespace
}  // namespace vantrel::cli
