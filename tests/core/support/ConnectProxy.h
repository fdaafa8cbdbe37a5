#pragma once
// tools/standin-service/connect_proxy.py, started for one test.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>

#include "core/base/AtomicFile.h"
#include "core/support/StandinService.h"

namespace vantrel::test {

// A local proxy (CONNECT tunnels and plain http requests); every target it is asked for is
// logged, one "host:port" a line.
class ConnectProxy {
public:
    explicit ConnectProxy(const std::string& logPath) {
        int out[2];
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            const std::string script = test::StandinToolPath("connect_proxy.py");
            ::execl("/usr/bin/python3", "python3", script.c_str(), logPath.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        std::string line;
        char c;
        while (line.find('\n') == std::string::npos && ::read(out[0], &c, 1) == 1) line += c;
        ::close(out[0]);
        if (line.starts_with("READY ")) port_ = std::atoi(line.c_str() + 6);
    }
    ~ConnectProxy() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    int port() const { return port_; }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// The targets of a proxy's log, each with the number of times it was asked for.
inline std::map<std::string, int> ProxyTargets(const std::string& logPath) {
    std::map<std::string, int> targets;
    const std::string text = ReadWholeFile(logPath).value_or("");
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) ++targets[text.substr(at, end - at)];
    return targets;
}

}  // namespace vantrel::test
