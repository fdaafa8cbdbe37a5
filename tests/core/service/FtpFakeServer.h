#pragma once
// A scripted FTP server on loopback for client tests: it runs in its own thread, accepts one
// control connection after another, sends a greeting and answers each command line with what
// the test's handler returns. The handler may open a passive listener and take a file.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantrel::test {

class FtpFakeServer {
public:
    // Returns the reply bytes for one command line (with CR LF); an empty text closes the
    // control connection.
    using Handler = std::function<std::string(FtpFakeServer&, const std::string& command)>;

    explicit FtpFakeServer(Handler handler, std::string greeting = "220 fake ready\r\n")
        : handler_(std::move(handler)), greeting_(std::move(greeting)) {
        listener_ = Listen(&port_);
        thread_ = std::thread([this] { Serve(); });
    }
    ~FtpFakeServer() {
        stop_ = true;
        ::shutdown(listener_, SHUT_RDWR);
        if (control_ >= 0) ::shutdown(control_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
        if (passive_ >= 0) ::close(passive_);
    }

    int Port() const { return port_; }
    std::string Host() const { return "127.0.0.1:" + std::to_string(port_); }

    std::vector<std::string> Commands() {
        std::lock_guard lock(mutex_);
        return commands_;
    }

    // Opens a passive listener and returns its port.
    int OpenPassive() {
        if (passive_ >= 0) ::close(passive_);
        int port = 0;
        passive_ = Listen(&port);
        return port;
    }
    // "227 ..." naming the given host text and the listener's port.
    std::string PassiveReply(const std::string& hostCommas = "127,0,0,1") {
        int port = OpenPassive();
        return "227 Entering Passive Mode (" + hostCommas + "," + std::to_string(port / 256) + "," +
               std::to_string(port % 256) + ").\r\n";
    }
    // Sends text on the control connection now (a first reply before the data).
    void Send(const std::string& text) { ::send(control_, text.data(), text.size(), MSG_NOSIGNAL); }
    // Accepts the data connection and reads it to its end.
    std::string ReceiveData() {
        int fd = ::accept(passive_, nullptr, nullptr);
        std::string data;
        char buffer[65536];
        ssize_t got;
        while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0) data.append(buffer, static_cast<std::size_t>(got));
        ::close(fd);
        return data;
    }

    // Blocks until the client closes the control connection.
    void WaitForHangUp() {
        char buffer[256];
        while (::recv(control_, buffer, sizeof buffer, 0) > 0) {
        }
    }

private:
    static int Listen(int* port) {
        int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd, 4);
        socklen_t length = sizeof address;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
        *port = ntohs(address.sin_port);
        return fd;
    }

    void Serve() {
        while (!stop_) {
            int fd = ::accept(listener_, nullptr, nullptr);
            if (fd < 0) return;
            control_ = fd;
            Send(greeting_);
            std::string pending;
            char buffer[4096];
            bool open = true;
            while (open && !stop_) {
                auto end = pending.find("\r\n");
                if (end == std::string::npos) {
                    ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
                    if (got <= 0) break;
                    pending.append(buffer, static_cast<std::size_t>(got));
                    continue;
                }
                std::string line = pending.substr(0, end);
                pending.erase(0, end + 2);
                {
                    std::lock_guard lock(mutex_);
                    commands_.push_back(line);
                }
                std::string reply = handler_(*this, line);
                if (reply.empty()) open = false;
                else Send(reply);
            }
            ::close(fd);
            control_ = -1;
        }
    }

    Handler handler_;
    std::string greeting_;
    int listener_ = -1;
    int port_ = 0;
    int passive_ = -1;
    std::atomic<int> control_{-1};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::string> commands_;
    std::thread thread_;
};

// Answers a normal login, TYPE and SYST; other commands go to `rest`.
inline std::string StandardLogin(const std::string& command) {
    if (command.rfind("USER ", 0) == 0) return "331 password please\r\n";
    if (command.rfind("PASS ", 0) == 0) return "230 logged in\r\n";
    if (command == "TYPE I") return "200 binary\r\n";
    if (command == "SYST") return "215 UNIX Type: L8\r\n";
    return {};
}

}  // namespace vantrel::test
