#pragma once
// The sub-commands of vantrel-cli. Each command file registers itself with a static
// CliCommandRegistration, so that adding a command touches no other file.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vantrel::cli {

struct CliCommand {
    // Shown by "vantrel-cli --help": the call, then what it does in a column of its own (lines
    // broken with "\n" continue in that column).
    std::string synopsis;
    std::string summary;
    std::function<int(const std::vector<std::string>& args)> run;  // returns the exit code
};

std::map<std::string, CliCommand>& CliCommands();

struct CliCommandRegistration {
    CliCommandRegistration(const std::string& name, CliCommand command) {
        CliCommands()[name] = std::move(command);
    }
};

}  // namespace vantrel::cli
