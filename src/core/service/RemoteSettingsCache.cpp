#include "core/service/RemoteSettingsCache.h"

namespace vantrel {

void LoadRemoteSettingsCache(const IniDocument& file, TRemoteSettings& remote) {
    const TRemoteSettings r;
    remote.ftp_host = file.Get("Params", "ftp_host").value_or(r.ftp_host);
    remote.ftp_login = file.Get("Params", "ftp_login").value_or(r.ftp_login);
    remote.ftp_password = file.Get("Params", "ftp_password").value_or(r.ftp_password);
    remote.script_url = file.Get("Params", "script_url").value_or(r.script_url);
    remote.picture_minsize = ParseIniInteger(file.Get("Params", "picture_minsize"), r.picture_minsize);
    remote.picture_maxsize = ParseIniInteger(file.Get("Params", "picture_maxsize"), r.picture_maxsize);
    remote.current_version = file.Get("Params", "current_version").value_or(r.current_version);
    remote.update_url = file.Get("Params", "update_url").value_or(r.update_url);
    remote.size_scaled = ParseIniInteger(file.Get("Params", "size_scaled"), remote.size_scaled);
    remote.size_thumbnail = ParseIniInteger(file.Get("Params", "size_thumbnail"), remote.size_thumbnail);
    remote.rejected_errors.clear();
}

void StoreRemoteSettingsCache(const TRemoteSettings& remote, IniDocument& file) {
    file.Set("Params", "ftp_host", remote.ftp_host);
    file.Set("Params", "ftp_login", remote.ftp_login);
    file.Set("Params", "ftp_password", remote.ftp_password);
    file.Set("Params", "script_url", remote.script_url);
    file.Set("Params", "picture_minsize", std::to_string(remote.picture_minsize));
    file.Set("Params", "picture_maxsize", std::to_string(remote.picture_maxsize));
    file.Set("Params", "current_version", remote.current_version);
    file.Set("Params", "update_url", remote.update_url);
    file.Set("Params", "size_scaled", std::to_string(remote.size_scaled));
    file.Set("Params", "size_thumbnail", std::to_string(remote.size_thumbnail));
}

}  // namespace vantrel
