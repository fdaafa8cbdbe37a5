#include "core/service/NetworkTimeouts.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <charconv>
#include <cstdlib>
#include <string>

namespace vantrel {
std::optional<std::chrono::milliseconds> ParsePositiveSeconds(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    double seconds = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || !(seconds > 0) || seconds > 86400)
        return std::nullopt;
    const auto ms = std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
    if (ms.count() == 0) return std::nullopt;
    return ms;
}

std::optional<NetworkTimeouts> ParseNetworkTimeouts(std::string_view text) {
    NetworkTimeouts timeouts;
    std::chrono::milliseconds* fields[] = {&timeouts.connect, &timeouts.inactivity, &timeouts.lowSpeedWindow,
                                           &timeouts.answerDeadline};
    std::size_t count = 0;
    while (true) {
        const auto comma = text.find(',');
        if (count == std::size(fields)) return std::nullopt;
        auto value = ParsePositiveSeconds(text.substr(0, comma));
        if (!value) return std::nullopt;
        *fields[count++] = *value;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (count < 2) return std::nullopt;
    return timeouts;
}

NetworkTimeouts DefaultNetworkTimeouts() {
    if (const char* value = std::getenv("VANTREL_NETWORK_TIMEOUTS"))
        if (auto parsed = ParseNetworkTimeouts(value)) return *parsed;
    return {};
}

std::string DescribeSeconds(std::chrono::milliseconds duration) {
    const long long ms = duration.count();
    std::string text = std::to_string(ms / 1000);
    if (const long long tenths = (ms % 1000) / 100; tenths != 0) text += "." + std::to_string(tenths);
    return text + " s";
}

std::string DescribeDuration(std::chrono::milliseconds duration) {
    const long long ms = duration.count();
    if (ms < 60000 || ms % 60000 != 0) return DescribeSeconds(duration);
    const long long minutes = ms / 60000;
    return std::to_string(minutes) + (minutes == 1 ? " minute" : " minutes");
}

void EnableKeepalive(int socketFd) {
    const int on = 1, idle = 30, interval = 10, count = 4;
    ::setsockopt(socketFd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(socketFd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(socketFd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(socketFd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

}  // namespace vantrel
