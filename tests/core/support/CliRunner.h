#pragma once
// Running vantrel-cli from tests: where it is built, and a shell command's output and status.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace vantrel::test {

// vantrel-cli is built into the same folder as the test program.
inline std::string CliPath() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    return std::filesystem::path(std::string(path, static_cast<std::size_t>(length))).parent_path() / "vantrel-cli";
}

struct CliResult {
    int status = -1;
    std::string output;
};

// Runs a shell command and gathers its standard output.
inline CliResult RunShell(const std::string& command) {
    CliResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace vantrel::test
