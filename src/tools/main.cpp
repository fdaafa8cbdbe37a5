// vantrel-cli: the engine of the program without its window, for users, scripts and benchmarks.
#include <cstdio>
#include <string_view>

#include "core/app/Version.h"
#include "tools/CliCommand.h"

namespace vantrel::cli {
std::map<std::string, CliCommand>& CliCommands() {
    static std::map<std::string, CliCommand> commands;
    return commands;
}

namespace {
void PrintUsage(std::FILE* to) {
    std::fprintf(to, "usage: vantrel-cli COMMAND [ARGS...]\n       vantrel-cli --help | --version\ncommands:\n");
    for (const auto& [name, command] : CliCommands()) std::fprintf(to, "  %s\n", command.usage.c_str());
}
}  // namespace
}  // namespace vantrel::cli

int main(int argc, char** argv) {
    using namespace vantrel::cli;
    const std::string_view first = argc >= 2 ? argv[1] : "";
    // Asked-for help and version go to standard output and succeed; a wrong call is an error.
    if (first == "--help" || first == "-h" || first == "help") {
        PrintUsage(stdout);
        return 0;
    }
    if (first == "--version" || first == "-V") {
        std::printf("vantrel-cli %s\n", vantrel::kFileVersion);
        return 0;
    }
    if (argc < 2 || CliCommands().find(argv[1]) == CliCommands().end()) {
        PrintUsage(stderr);
        return 2;
    }
    return CliCommands().at(argv[1]).run(std::vector<std::string>(argv + 2, argv + argc));
}
