#include "gui/app/WindowCommandLine.h"

#include "core/app/Version.h"

namespace vantrel::gui {
namespace {

void PrintUsage(std::FILE* to) {
    std::fprintf(to,
                 "usage: vantrel [--] [FILE...]\n"
                 "       vantrel --help | --version\n");
}

void PrintHelp(std::FILE* to) {
    PrintUsage(to);
    std::fprintf(to,
                 "\nDesktop client of an online photo-printing service. Runs once per user: a\n"
                 "second start brings the running window to the front.\n"
                 "\noptions:\n"
                 "  -h, --help     print this help and exit\n"
                 "  -V, --version  print the version and exit\n");
}

}  // namespace

std::optional<int> AnswerCommandLine(const std::vector<std::string>& arguments, std::FILE* out,
                                     std::FILE* err) {
    for (const std::string& argument : arguments) {
        if (argument == "--") break;
        if (argument.size() < 2 || argument[0] != '-') continue;  // a file ("-" alone too)
        if (argument == "--help" || argument == "-h") {
            PrintHelp(out);
            return 0;
        }
        if (argument == "--version" || argument == "-V") {
            std::fprintf(out, "vantrel %s\n", kFileVersion);
            return 0;
        }
        std::fprintf(err, "vantrel: unknown option %s\n", argument.c_str());
        PrintUsage(err);
        return 2;
    }
    return std::nullopt;
}

}  // namespace vantrel::gui
