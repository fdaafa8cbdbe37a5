#include "core/app/EnvironmentProxy.h"

#include <arpa/inet.h>

#include <array>
#include <cstdlib>

#include "core/base/AsciiText.h"

namespace vantrel {
namespace {

// HTTP_PROXY is left out on purpose (see the header).
constexpr std::array<const char*, 9> kVariables = {"http_proxy", "https_proxy", "HTTPS_PROXY", "ftp_proxy", "FTP_PROXY",
                                                   "all_proxy",  "ALL_PROXY",   "no_proxy",    "NO_PROXY"};

std::string_view WithoutBrackets(std::string_view host) {
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') return host.substr(1, host.size() - 2);
    return host;
}

// An IP address as bytes (4 or 16 of them); nothing for a name.
std::optional<std::array<unsigned char, 16>> AddressBytes(std::string_view text, int& family) {
    const std::string copy(text);
    std::array<unsigned char, 16> bytes{};
    if (::inet_pton(AF_INET, copy.c_str(), bytes.data()) == 1) {
        family = AF_INET;
        return bytes;
    }
    if (::inet_pton(AF_INET6, copy.c_str(), bytes.data()) == 1) {
        family = AF_INET6;
        return bytes;
    }
    return std::nullopt;
}

// Whether the address `host` lies in `entry` ("address" or "address/bits").
bool AddressCovers(std::string_view entry, const std::array<unsigned char, 16>& host, int hostFamily) {
    int bits = -1;
    if (const auto slash = entry.find('/'); slash != std::string_view::npos) {
        const std::string_view size = entry.substr(slash + 1);
        if (size.empty() || size.size() > 3 || !AllAsciiDigits(size)) return false;
        bits = std::atoi(std::string(size).c_str());
        entry = entry.substr(0, slash);
    }
    int family = 0;
    const auto network = AddressBytes(WithoutBrackets(entry), family);
    if (!network || family != hostFamily) return false;
    const int total = family == AF_INET ? 32 : 128;
    if (bits < 0 || bits > total) bits = total;
    for (int bit = 0; bit < bits; ++bit) {
        const unsigned mask = 0x80u >> (bit % 8);
        if ((network->at(bit / 8) & mask) != (host[bit / 8] & mask)) return false;
    }
    return true;
}

}  // namespace

std::string ProxyServer::HostAndPort() const {
    const std::string shown = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return shown + ":" + std::to_string(port);
}

std::string ProxyServer::Url() const {
    return scheme + "://" + (userInfo.empty() ? "" : userInfo + "@") + HostAndPort();
}

std::optional<ProxyServer> ParseProxyServer(std::string_view text) {
    text = TrimAscii(text);
    ProxyServer server;
    server.scheme = "http";
    if (const auto marker = text.find("://"); marker != std::string_view::npos) {
        server.scheme = ToLowerAscii(text.substr(0, marker));
        text = text.substr(marker + 3);
    }
    static constexpr std::array<std::string_view, 6> kSchemes = {"http", "https", "socks4", "socks4a", "socks5", "socks5h"};
    bool known = false;
    for (std::string_view scheme : kSchemes) known = known || server.scheme == scheme;
    if (!known) return std::nullopt;
    text = text.substr(0, text.find_first_of("/?#"));
    if (const auto at = text.rfind('@'); at != std::string_view::npos) {
        server.userInfo = std::string(text.substr(0, at));
        text = text.substr(at + 1);
    }
    std::string_view port;
    if (text.starts_with('[')) {
        const auto close = text.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        server.host = std::string(text.substr(1, close - 1));
        std::string_view rest = text.substr(close + 1);
        if (!rest.empty() && (rest.front() != ':' || rest.size() == 1)) return std::nullopt;
        if (!rest.empty()) port = rest.substr(1);
    } else {
        const auto colon = text.rfind(':');
        if (colon != std::string_view::npos && text.find(':') != colon) return std::nullopt;  // IPv6 needs brackets
        server.host = std::string(text.substr(0, colon));
        if (colon != std::string_view::npos) port = text.substr(colon + 1);
    }
    if (server.host.empty()) return std::nullopt;
    if (port.empty()) {
        server.port = server.scheme == "https" ? 443 : 1080;
    } else {
        if (port.size() > 5 || !AllAsciiDigits(port)) return std::nullopt;
        server.port = std::atoi(std::string(port).c_str());
        if (server.port < 1 || server.port > 65535) return std::nullopt;
    }
    return server;
}

std::optional<std::pair<std::string, std::string>> UrlSchemeAndHost(std::string_view url) {
    const auto marker = url.find("://");
    if (marker == std::string_view::npos || marker == 0) return std::nullopt;
    std::string_view authority = url.substr(marker + 3);
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) authority = authority.substr(at + 1);
    std::string_view host;
    if (authority.starts_with('[')) {
        const auto close = authority.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = authority.substr(1, close - 1);
    } else {
        host = authority.substr(0, authority.find(':'));
    }
    if (host.empty()) return std::nullopt;
    return std::pair{ToLowerAscii(url.substr(0, marker)), std::string(host)};
}

bool NoProxyCovers(std::string_view list, std::string_view host) {
    list = TrimAscii(list);
    if (list.empty()) return false;
    if (list == "*") return true;
    host = WithoutBrackets(host);
    int family = 0;
    const auto address = AddressBytes(host, family);
    if (!address && host.ends_with('.')) host.remove_suffix(1);
    std::size_t at = 0;
    while (at < list.size()) {
        const auto end = list.find_first_of(", \t\r\n", at);
        std::string_view entry = list.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        at = end == std::string_view::npos ? list.size() : end + 1;
        if (entry.empty()) continue;
        if (address) {
            if (AddressCovers(entry, *address, family)) return true;
            continue;
        }
        if (entry.starts_with('.')) entry.remove_prefix(1);
        if (entry.ends_with('.')) entry.remove_suffix(1);
        if (entry.empty()) continue;
        if (EqualsIgnoringCase(entry, host)) return true;
        if (host.size() > entry.size() && host[host.size() - entry.size() - 1] == '.' && EndsWithIgnoringCase(host, entry))
            return true;
    }
    return false;
}

EnvironmentProxies EnvironmentProxies::Read(const std::function<const char*(const char*)>& lookup) {
    std::map<std::string, std::string> variables;
    for (const char* name : kVariables) {
        if (const char* value = lookup(name)) variables[name] = value;
    }
    return EnvironmentProxies(std::move(variables));
}

EnvironmentProxies EnvironmentProxies::OfProcess() {
    return Read([](const char* name) { return static_cast<const char*>(std::getenv(name)); });
}

const std::string* EnvironmentProxies::Find(const std::string& name) const {
    const auto found = variables_.find(name);
    return found == variables_.end() ? nullptr : &found->second;
}

std::optional<ProxyServer> EnvironmentProxies::For(std::string_view scheme, std::string_view host) const {
    const std::string lower = ToLowerAscii(scheme) + "_proxy";
    std::string name = lower;
    const std::string* value = Find(name);
    if (!value && lower != "http_proxy") value = Find(name = ToUpperAscii(lower));
    if (!value) value = Find(name = "all_proxy");
    if (!value) value = Find(name = "ALL_PROXY");
    if (!value || TrimAscii(*value).empty()) return std::nullopt;
    const std::string* noProxy = Find("no_proxy");
    if (!noProxy) noProxy = Find("NO_PROXY");
    if (noProxy && NoProxyCovers(*noProxy, host)) return std::nullopt;
    auto server = ParseProxyServer(*value);
    if (server) server->variable = name;
    return server;
}

}  // namespace vantrel
