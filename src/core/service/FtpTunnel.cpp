// FTP connections through an HTTP proxy: each one is a CONNECT tunnel to the FTP server.
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/service/ExchangePace.h"
#include "core/service/FtpClient.h"

namespace vantrel {
namespace {
constexpr std::size_t kMaxProxyAnswer = 8192;
}  // namespace

std::string FtpTunnelProxy(const ProxyChoice& proxy, const std::string& ftpHost) {
    const auto endpoint = ParseFtpHost(ftpHost);
    const std::optional<ProxyServer> server = proxy.For("ftp", endpoint ? endpoint->host : ftpHost);
    if (!server || server->scheme != "http") return {};
    return server->HostAndPort();
}

void FtpClient::OpenConnection(int& slot, const std::string& host, int port, std::string_view what) {
    auto proxy = ParseFtpHost(settings_.proxy);
    if (!proxy) throw FtpRefusalError("proxy address: " + proxy.error());
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int status = ::getaddrinfo(proxy->host.c_str(), std::to_string(proxy->port).c_str(), &hints, &found);
    if (status != 0) throw FtpError("proxy not found: " + proxy->host + ": " + ::gai_strerror(status));
    int fd = -1;
    try {
        fd = slot = OpenSocket(found->ai_addr, found->ai_addrlen);
        ::freeaddrinfo(found);
        found = nullptr;
        WaitConnected(fd, std::string(what) + " to the proxy");
        OpenTunnel(fd, host, port);
    } catch (...) {
        if (found) ::freeaddrinfo(found);
        // A failure that closed the connection already left the slot empty.
        if (slot == fd && fd >= 0) {
            ::close(fd);
            slot = -1;
        }
        throw;
    }
}

void FtpClient::OpenTunnel(int fd, const std::string& host, int port) {
    const std::string target = (host.find(':') != std::string::npos ? "[" + host + "]" : host) + ":" + std::to_string(port);
    const std::string request = "CONNECT " + target + " HTTP/1.1\r\nHost: " + target + "\r\n\r\n";
    SendAll(fd, request.data(), request.size());
    // Byte by byte, so that nothing the FTP server says after the tunnel opened is taken here.
    std::string answer;
    ExchangePace pace(timeouts_, "the proxy sent", timeouts_.answerDeadline);
    while (answer.size() < 4 || answer.compare(answer.size() - 4, 4, "\r\n\r\n") != 0) {
        if (answer.size() >= kMaxProxyAnswer) throw FtpError("proxy answer too long");
        WaitReady(fd, POLLIN, &pace);
        char c;
        const ssize_t got = ::recv(fd, &c, 1, 0);
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (got <= 0) throw FtpError("proxy closed the connection");
        answer += c;
        pace.Moved(1);
    }
    // "HTTP/1.x 200 ...": anything else is the proxy's refusal.
    const std::string statusLine = answer.substr(0, answer.find("\r\n"));
    const auto blank = statusLine.find(' ');
    if (!statusLine.starts_with("HTTP/") || blank == std::string::npos || statusLine.compare(blank + 1, 3, "200") != 0)
        throw FtpRefusalError("proxy refused the tunnel: " + statusLine);
}

}  // namespace vantrel
