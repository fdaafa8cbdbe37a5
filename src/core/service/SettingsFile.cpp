#include "core/service/SettingsFile.h"

#include "core/base/AtomicFile.h"
#include "core/service/RemoteSettingsCache.h"

namespace vantrel {

UserSettings LoadSettingsFile(const std::string& path, const LocaleInfo& locale, TRemoteSettings& remote) {
    const IniDocument file = IniDocument::Load(path);
    LoadRemoteSettingsCache(file, remote);
    return LoadSettings(file, locale);
}

std::expected<void, std::string> SaveSettingsFile(const std::string& path, const UserSettings& settings,
                                                  const TRemoteSettings& remote, const LocaleInfo& locale) {
    IniDocument file = IniDocument::Load(path);
    StoreSettings(settings, locale, file);
    StoreRemoteSettingsCache(remote, file);
    return WriteFileAtomically(path, file.ToText(), 0600);
}

}  // namespace vantrel
