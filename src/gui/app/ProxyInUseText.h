#pragma once
// What the options say of the proxy the connections take: the options' own when one is ticked,
// else the one the environment's variables give, else none.

#include <QString>
#include <string>

namespace vantrel::gui {

class AppContext;

// "Proxy of the options: host:port" when `optionsProxy` ("host:port") is not empty; else
// "System proxy: host:port (from variable)" for the proxy that the environment's variables give
// the service's first settings address, or the text for direct connections.
QString ProxyInUseText(const AppContext& context, const std::string& optionsProxy);

}  // namespace vantrel::gui
