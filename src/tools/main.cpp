// vantrel-cli: the engine of the program without its window, for users, scripts and benchmarks.
#include <cstdio>

#include "tools/CliCommand.h"

namespace vantrel::cli {
std::map<std::string, CliCommand>& CliCommands() {
    static std::map<std::string, CliCommand> commands;
    return commands;
}
}  // namespace vantrel::cli

int main(int argc, char** argv) {
    using namespace vantrel::cli;
    if (argc < 2 || CliCommands().find(argv[1]) == CliCommands().end()) {
        std::fprintf(stderr, "usage: vantrel-cli COMMAND [ARGS...]\ncommands:\n");
        for (const auto& [name, command] : CliCommands()) std::fprintf(stderr, "  %s\n", command.usage.c_str());
        return 2;
    }
    return CliCommands().at(argv[1]).run(std::vector<std::string>(argv + 2, argv + argc));
}
