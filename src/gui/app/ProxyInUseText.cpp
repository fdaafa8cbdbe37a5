#include "gui/app/ProxyInUseText.h"

#include "core/app/FormatPattern.h"
#include "core/app/ProxySetting.h"
#include "core/service/RemoteSettingsLoader.h"
#include "gui/kit/AppContext.h"

namespace vantrel::gui {

QString ProxyInUseText(const AppContext& context, const std::string& optionsProxy) {
    const LanguageFile& language = context.Language();
    if (!optionsProxy.empty())
        return QString::fromStdString(FormatPattern(language.Translate("OptionsProxy"), {optionsProxy}));
    const std::vector<std::string> bases = SettingsBaseAddresses();
    const std::optional<ProxyServer> system =
        ProxyChoice::FromEnvironment(EnvironmentProxies::OfProcess()).ForUrl(bases.empty() ? "" : bases.front());
    if (!system) return context.Translate("NoSystemProxy");
    return QString::fromStdString(
        FormatPattern(language.Translate("SystemProxy"), {system->HostAndPort(), system->variable}));
}

}  // namespace vantrel::gui
