#pragma once
// The proxy of the preferences as the connections take it.

#include <string>

namespace vantrel {

struct UserSettings;

// "host:port" when the proxy is ticked and has an address (port 8080 when none is given); empty
// otherwise: direct connections, whatever the environment's proxy variables say.
std::string ProxyAddressOf(const UserSettings& settings);

}  // namespace vantrel
