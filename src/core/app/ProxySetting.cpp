#include "core/app/ProxySetting.h"

#include "core/app/UserSettings.h"

namespace vantrel {

std::string ProxyAddressOf(const UserSettings& settings) {
    if (!settings.ProxyIsUsed || settings.ProxyAddr.empty()) return {};
    return settings.ProxyAddr + ":" + (settings.ProxyPort.empty() ? std::string("8080") : settings.ProxyPort);
}

}  // namespace vantrel
