// vantrel-cli: the engine of the program without its window, for users, scripts and benchmarks.
#include <algorithm>
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
// Calls longer than this get their summary on the lines below, so that one long call does not
// push every summary off the terminal.
constexpr std::size_t kWidestSynopsis = 28;

void PrintUsage(std::FILE* to) {
    std::fprintf(to, "usage: vantrel-cli COMMAND [ARGS...]\n       vantrel-cli --help | --version\ncommands:\n");
    std::size_t column = 0;
    for (const auto& [name, command] : CliCommands()) {
        if (command.synopsis.size() <= kWidestSynopsis) column = std::max(column, command.synopsis.size());
    }
    const int width = static_cast<int>(column);
    for (const auto& [name, command] : CliCommands()) {
        const bool besideCall = command.synopsis.size() <= column;
        if (!besideCall) std::fprintf(to, "  %s\n", command.synopsis.c_str());
        std::string_view rest = command.summary;
        for (bool first = true; first || !rest.empty(); first = false) {
            const std::string_view line = rest.substr(0, rest.find('\n'));
            rest.remove_prefix(std::min(rest.size(), line.size() + 1));
            const char* call = first && besideCall ? command.synopsis.c_str() : "";
            std::fprintf(to, "  %-*s  %.*s\n", width, call, static_cast<int>(line.size()), line.data());
        }
    }
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
