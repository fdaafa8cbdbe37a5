#pragma once
// The sub-commands of vantrel-cli. Each command file registers itself with a static
// CliCommandRegistration, so that adding a command touches no other file.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vantrel::cli {

struct CliCommand {
    std::string usage;  // one line, shown by "vantrel-cli help"
    std::function<int(const std::vector<std::string>& args)> run;  // returns the exit code
};

std::map<std::string, CliCommand>& CliCommands();

struct CliCommandRegistration {
    CliCommandRegistration(const std::string& name, CliCommand command) {
        CliCommands()[name] = std::move(command);
    }
};

}  // namespace vantrel::cli
