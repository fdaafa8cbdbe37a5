#pragma once
// The proxy that the environment's variables give a connection, read as curl reads them, so that
// the program goes where `curl` and most Linux programs of the same session go.
//
// For a connection by "scheme" to a host: `scheme_proxy` (http_proxy, https_proxy, ftp_proxy),
// then for every scheme but http its upper-case form (HTTP_PROXY is never read: a web server
// running a program sets it from a request's "Proxy:" header), then all_proxy, then ALL_PROXY.
// The first variable that is set is the one, even when empty (which means no proxy). no_proxy (or
// NO_PROXY when no_proxy is not set) then lists the hosts reached directly: "*" alone for every
// host; names, matched without regard to case, each covering its subdomains ("example.com" and
// ".example.com" both cover "example.com" and "www.example.com"); IP addresses, with or without a
// "/bits" network size. The entries are separated by commas or spaces.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// One proxy server as a connection takes it.
struct ProxyServer {
    std::string scheme;    // "http" (also when none is written), "https", "socks4", "socks4a", "socks5", "socks5h"
    std::string host;      // an IPv6 address without its brackets
    int port = 0;          // as written, else curl's default: 443 for https, 1080 for the others
    std::string userInfo;  // "user:password" as written (percent-encoded), or empty
    std::string variable;  // the environment variable it came from; empty for the preferences' proxy

    // "host:port", an IPv6 host in brackets.
    std::string HostAndPort() const;
    // "scheme://[userinfo@]host:port", as curl takes it.
    std::string Url() const;
    bool operator==(const ProxyServer&) const = default;
};

// Parses a proxy as a variable gives it: "[scheme://][user:password@]host[:port][/]". Nothing
// for an empty host, a port outside 1..65535 or a scheme curl does not speak.
std::optional<ProxyServer> ParseProxyServer(std::string_view text);

// The scheme ("https", lower case) and the host (IPv6 without brackets) of "scheme://host[:port]/...";
// nothing when `url` has no "://" or no host.
std::optional<std::pair<std::string, std::string>> UrlSchemeAndHost(std::string_view url);

// Whether a no_proxy list sends connections to `host` (a name, or an IP address, IPv6 with or
// without brackets) directly.
bool NoProxyCovers(std::string_view list, std::string_view host);

// The proxy variables of an environment: those that are set, even when empty.
class EnvironmentProxies {
public:
    EnvironmentProxies() = default;  // no variable set: direct connections
    explicit EnvironmentProxies(std::map<std::string, std::string> variables) : variables_(std::move(variables)) {}
    // Reads the variables through `lookup` (getenv's form: null when not set).
    static EnvironmentProxies Read(const std::function<const char*(const char*)>& lookup);
    // The variables of this process, read once when called.
    static EnvironmentProxies OfProcess();

    // The proxy for a connection by `scheme` ("http", "https", "ftp") to `host`; nothing when the
    // connection goes directly: no variable set, an empty one, a value that cannot be read as a
    // proxy, or a host that no_proxy covers.
    std::optional<ProxyServer> For(std::string_view scheme, std::string_view host) const;

private:
    const std::string* Find(const std::string& name) const;
    std::map<std::string, std::string> variables_;
};

}  // namespace vantrel
