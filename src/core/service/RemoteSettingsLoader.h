#pragma once
// Fetching the service's settings document and reading it into the remote settings record.

#include <string>
#include <string_view>
#include <vector>

#include "core/app/WorkFolderFiles.h"
#include "core/service/HttpClient.h"
#include "core/service/RemoteSettingsReader.h"
#include "core/service/TRemoteSettings.h"

namespace vantrel {

// The base addresses tried in order: the service's main web host ("/common/") and then its
// static host ("/sg/common/"). A non-empty `override` (the value of VANTREL_SETTINGS_BASE: one
// or two base addresses separated by a comma, each ending in "/") replaces them.
std::vector<std::string> SettingsBaseAddresses(std::string_view override);
// As above with the environment's VANTREL_SETTINGS_BASE.
std::vector<std::string> SettingsBaseAddresses();

// How a download of the settings document ended.
enum class SettingsDownload {
    Done,      // a server answered with status 200; the file holds the document
    Failed,    // no server gave the document (or the client was stopped)
    TooLarge,  // a server's answer was larger than kMaxAnswerBytes: a broken document
};

// Fetches base + "uploader_settings.plist" from each base address in turn into `localPath`
// until one answers with status 200. Transport errors and other statuses are swallowed; an
// answer over the size cap ends the attempts. The file is created even when every attempt
// fails, and holds exactly the body of the successful answer (never bytes of a failed one).
// `causes`, when given, receives what each failed address gave ("ADDRESS: HTTP 404; ...").
SettingsDownload FetchRemoteSettings(HttpClient& client, const std::string& localPath,
                                     const std::vector<std::string>& bases, std::string* causes = nullptr);
// The same, true when the download was Done.
bool DownloadRemoteSettings(HttpClient& client, const std::string& localPath,
                            const std::vector<std::string>& bases);

// Downloads the document into `workFolder` (ending in "/") + "uploader_settings.plist" and reads
// it into `settings` with the user's `country`. NotDownloaded when no server gave it (the
// record is untouched, nothing is to be shown, `error` holds the causes); NotXml with a parse error when the answer was
// over the size cap.
RemoteSettingsResult LoadRemoteSettings(HttpClient& client, const std::string& workFolder,
                                        std::string_view country, TRemoteSettings& settings,
                                        const std::vector<std::string>& bases = SettingsBaseAddresses());

}  // namespace vantrel
