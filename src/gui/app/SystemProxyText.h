#pragma once
// What the options say of the environment's proxy, which the connections follow when no proxy is
// ticked.

#include <QString>

namespace vantrel::gui {

class AppContext;

// "System proxy: host:port (from variable)" for the proxy that the environment's variables give
// the service's first settings address, or the text for direct connections.
QString SystemProxyText(const AppContext& context);

}  // namespace vantrel::gui
