#include "tools/PasswordPrompt.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <iostream>

namespace vantrel::cli {

std::optional<std::string> ReadPassword(bool fromStdin) {
    std::string password;
    if (fromStdin) {
        if (!std::getline(std::cin, password) && password.empty()) return std::nullopt;
    } else {
        const int tty = ::open("/dev/tty", O_RDWR | O_CLOEXEC);
        if (tty < 0) return std::nullopt;
        termios saved{};
        const bool isTerminal = ::tcgetattr(tty, &saved) == 0;
        if (isTerminal) {
            termios quiet = saved;
            quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
            quiet.c_lflag |= ECHONL;
            ::tcsetattr(tty, TCSAFLUSH, &quiet);
        }
        static constexpr char prompt[] = "Password: ";
        [[maybe_unused]] auto written = ::write(tty, prompt, sizeof prompt - 1);
        char c;
        while (::read(tty, &c, 1) == 1 && c != '\n') password += c;
        if (isTerminal) ::tcsetattr(tty, TCSAFLUSH, &saved);
        ::close(tty);
    }
    if (!password.empty() && password.back() == '\r') password.pop_back();
    return password;
}

}  // namespace vantrel::cli
