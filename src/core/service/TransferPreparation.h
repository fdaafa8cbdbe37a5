#pragma once
// What the window and the command-line tool do right before a transfer run: make sure the
// service's parameters are known, and configure the run's FTP client from them.

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/service/FtpClient.h"
#include "core/service/HttpClient.h"
#include "core/service/RemoteSettingsLoader.h"
#include "core/service/TRemoteSettings.h"

namespace vantrel {

// The settings document held an integer key whose value is not a whole number. It ends the run
// before the login, which the window reports as a connection failure.
class RemoteSettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// When the load at start-up failed (`remoteSettingsLoaded` false, the window's flag, which this
// does not change), downloads the settings document into `workFolder` again and reads it into
// `settings`; otherwise does nothing. A server that cannot be reached changes nothing and says
// nothing: the cached values stay in effect; when none are known (no XML-RPC address) it
// throws RemoteSettingsError naming what each address gave. A document that does not parse is passed to
// `onProblem` (the window shows result.Message(Translate)) and the run goes on. Throws
// RemoteSettingsError when an integer value is not a whole number; the values read before it
// stay. Returns whether the document was read.
bool PrepareTransfer(HttpClient& settingsHttp, const std::string& workFolder, std::string_view country,
                     bool remoteSettingsLoaded, TRemoteSettings& settings,
                     const std::function<void(const RemoteSettingsResult&)>& onProblem = {},
                     const std::vector<std::string>& bases = SettingsBaseAddresses());

// Whether the settings give both copy sizes (scaled copy and thumbnail) within 1..10000 pixels.
// A run without them would send empty copies, or make copies of gigabytes: it must not start (the
// message is "NoCopySizes").
bool HasCopySizes(const TRemoteSettings& settings);

// The FTP client's host, user and password from the remote settings.
FtpAccount FtpSettingsFor(const TRemoteSettings& settings);

}  // namespace vantrel
