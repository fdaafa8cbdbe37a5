#pragma once
// The password of vantrel-cli send.

#include <optional>
#include <string>

namespace vantrel::cli {

// Reads the password: one line of standard input, or typed at the terminal without echo.
std::optional<std::string> ReadPassword(bool fromStdin);

}  // namespace vantrel::cli
