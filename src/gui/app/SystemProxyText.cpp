#include "gui/app/SystemProxyText.h"

#include "core/app/FormatPattern.h"
#include "core/app/ProxySetting.h"
#include "core/service/RemoteSettingsLoader.h"
#include "gui/kit/AppContext.h"

namespace vantrel::gui {

QString SystemProxyText(const AppContext& context) {
    const std::vector<std::string> bases = SettingsBaseAddresses();
    const std::optional<ProxyServer> system =
        ProxyChoice::FromEnvironment(EnvironmentProxies::OfProcess()).ForUrl(bases.empty() ? "" : bases.front());
    if (!system) return context.Translate("NoSystemProxy");
    return QString::fromStdString(
        FormatPattern(context.Language().Translate("SystemProxy"), {system->HostAndPort(), system->variable}));
}

}  // namespace vantrel::gui
