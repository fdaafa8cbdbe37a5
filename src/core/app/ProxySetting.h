#pragma once
// The proxy of the preferences as the connections take it, and, when none is ticked, the one the
// environment's variables give (EnvironmentProxy.h).

#include <optional>
#include <string>
#include <string_view>

#include "core/app/EnvironmentProxy.h"

namespace vantrel {

struct UserSettings;

// "host:port" when the proxy is ticked and has an address (port 8080 when none is given); empty
// otherwise.
std::string ProxyAddressOf(const UserSettings& settings);

// Which proxy each connection goes through: the one of the preferences for every connection, or
// the environment's for each address. Made by default, it connects directly.
class ProxyChoice {
public:
    ProxyChoice() = default;
    // Every connection through the HTTP proxy "host:port".
    static ProxyChoice Fixed(const std::string& hostAndPort);
    // Each connection as `environment` says.
    static ProxyChoice FromEnvironment(EnvironmentProxies environment);

    // The proxy for a connection by `scheme` ("http", "https", "ftp") to `host`; nothing: direct.
    std::optional<ProxyServer> For(std::string_view scheme, std::string_view host) const;
    // The same for the address `url` ("scheme://host..."); nothing for an address without a host.
    std::optional<ProxyServer> ForUrl(std::string_view url) const;

private:
    std::optional<ProxyServer> fixed_;
    EnvironmentProxies environment_;
};

// The preferences' proxy when it is ticked, else the variables of `environment` (this process's
// unless given).
ProxyChoice ProxyChoiceOf(const UserSettings& settings, EnvironmentProxies environment = EnvironmentProxies::OfProcess());

}  // namespace vantrel
