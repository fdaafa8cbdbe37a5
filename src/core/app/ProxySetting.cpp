#include "core/app/ProxySetting.h"

#include "core/app/UserSettings.h"

namespace vantrel {

std::string ProxyAddressOf(const UserSettings& settings) {
    if (!settings.ProxyIsUsed || settings.ProxyAddr.empty()) return {};
    return settings.ProxyAddr + ":" + (settings.ProxyPort.empty() ? std::string("8080") : settings.ProxyPort);
}

ProxyChoice ProxyChoice::Fixed(const std::string& hostAndPort) {
    ProxyChoice choice;
    if (hostAndPort.empty()) return choice;
    // The preferences' proxy is always an HTTP one, and is used even when its port cannot be read:
    // the connection then fails, rather than going around it.
    choice.fixed_ = ParseProxyServer("http://" + hostAndPort);
    if (!choice.fixed_) {
        const auto colon = hostAndPort.rfind(':');
        choice.fixed_ = ProxyServer{"http", hostAndPort.substr(0, colon), 0, {}, {}};
    }
    return choice;
}

ProxyChoice ProxyChoice::FromEnvironment(EnvironmentProxies environment) {
    ProxyChoice choice;
    choice.environment_ = std::move(environment);
    return choice;
}

std::optional<ProxyServer> ProxyChoice::For(std::string_view scheme, std::string_view host) const {
    if (fixed_) return fixed_;
    return environment_.For(scheme, host);
}

std::optional<ProxyServer> ProxyChoice::ForUrl(std::string_view url) const {
    if (fixed_) return fixed_;
    const auto parts = UrlSchemeAndHost(url);
    if (!parts) return std::nullopt;
    return environment_.For(parts->first, parts->second);
}

ProxyChoice ProxyChoiceOf(const UserSettings& settings, EnvironmentProxies environment) {
    const std::string address = ProxyAddressOf(settings);
    if (!address.empty()) return ProxyChoice::Fixed(address);
    return ProxyChoice::FromEnvironment(std::move(environment));
}

}  // namespace vantrel
