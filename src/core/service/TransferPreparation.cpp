#include "core/service/TransferPreparation.h"

#include "core/imaging/ImageFileOps.h"

namespace vantrel {

bool PrepareTransfer(HttpClient& settingsHttp, const std::string& workFolder, std::string_view country,
                     bool remoteSettingsLoaded, TRemoteSettings& settings,
                     const std::function<void(const RemoteSettingsResult&)>& onProblem,
                     const std::vector<std::string>& bases) {
    if (remoteSettingsLoaded) return false;
    RemoteSettingsResult result = LoadRemoteSettings(settingsHttp, workFolder, country, settings, bases);
    switch (result.status) {
        case RemoteSettingsResult::Status::Loaded: return true;
        case RemoteSettingsResult::Status::NotDownloaded:
            // Without the service's address from a former run there is nothing to log in to: say why.
            if (settings.script_url.empty() && !result.error.empty())
                throw RemoteSettingsError("the service's settings could not be downloaded: " + result.error);
            return false;
        case RemoteSettingsResult::Status::NotXml:
            if (onProblem) onProblem(result);
            return false;
        case RemoteSettingsResult::Status::ConversionError: break;
    }
    throw RemoteSettingsError(result.error.empty() ? std::string("settings document: not a whole number")
                                                    : result.error);
}

bool HasCopySizes(const TRemoteSettings& settings) {
    return IsCopySizeAllowed(settings.size_scaled) && IsCopySizeAllowed(settings.size_thumbnail);
}

FtpAccount FtpSettingsFor(const TRemoteSettings& settings) {
    return {settings.ftp_host, settings.ftp_login, settings.ftp_password, {}};
}

}  // namespace vantrel
