#pragma once
// One transfer as the window and vantrel-cli both make it: the service's settings made sure of,
// the HTTP clients, the XML-RPC service and the FTP client built with the proxy and the stop
// check, the run itself, and how it ended. The caller brings the album list, the observer that
// shows the run, and its handlers for the messages that do not end the run.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "core/app/ProxySetting.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/service/FileWriteError.h"
#include "core/service/TRemoteSettings.h"
#include "core/service/TransferRun.h"
#include "core/service/UploadRateLimit.h"

namespace vantrel {

struct RemoteSettingsResult;
struct RpcError;
class TransferClaims;

struct TransferSessionConfig {
    std::string workFolder;  // ends in "/"
    std::string country;     // of the settings download
    std::string email;
    std::string password;
    ProxyChoice proxy;       // direct connections unless told
    // The start-up download of the service's settings succeeded: the run does not repeat it.
    bool remoteLoaded = false;
    // The run sends from a copy of the queue that the user may change meanwhile (TransferConfig).
    TransferClaims* claims = nullptr;
};

// How a session ended, beyond the run's own outcome.
enum class SessionEnd {
    Ran,            // the run returned its outcome
    NoCopySizes,    // the service gave no copy sizes: nothing was made or sent ("NoCopySizes")
    WriteFailed,    // a file of the run could not be written (`writeFailure` says which and why)
    ConnectionLost, // the service could not be reached or answered wrongly ("BadConnect"; `error`)
};

struct TransferSessionResult {
    SessionEnd end = SessionEnd::Ran;
    TTransferOutcome outcome = TTransferOutcome::toNone;
    WriteError writeFailure;
    std::string error;
    int photosSent = 0;
    std::string sessionCode;  // once the service opened a session
};

class TransferSession {
public:
    // `albums`, `remote`, `workspace` and `observer` must outlive the session. The observer is
    // called on the thread that calls Run; its ProcessMessages during every wait.
    TransferSession(TAlbumList& albums, TRemoteSettings& remote, ImageWorkspace& workspace,
                    TransferObserver& observer, TransferSessionConfig config);

    // A settings document that did not read; the run goes on with the values known.
    std::function<void(const RemoteSettingsResult&)> OnSettingsProblem;
    // An XML-RPC answer that did not read.
    std::function<void(const RpcError&)> OnUnreadableResponse;
    // The service's settings are known and the run is about to log in (the window shows its panel).
    std::function<void()> OnConnected;

    // The whole session; every failure ends up in the result, none is thrown.
    TransferSessionResult Run();
    // Stop: ends the pending request and the run at once, the photo under way staying queued.
    // Before the run has begun it makes the session end before the login. Callable from any
    // thread while Run goes on on another.
    void Stop();
    bool StopPressed() const { return stopped_.load(); }
    // Limits the upload to `kilobytesPerSecond` KB/s (1000 bytes) for all of the run's
    // connections together; 0 lifts the limit. Callable before Run and, from any thread, while
    // it goes on: the next piece of a file is sent at the new rate.
    void SetUploadLimit(std::int64_t kilobytesPerSecond) {
        rateLimit_.SetBytesPerSecond(std::clamp<std::int64_t>(kilobytesPerSecond, 0, 1'000'000'000) * 1000);
    }
    // How many FTP sessions the run sends on side by side (1..4; 2 until set). Call before Run.
    void SetConnections(int sessions) { connections_ = std::clamp(sessions, 1, kMaxConnections); }
    static constexpr int kMaxConnections = TransferConfig::kMaxSessions;
    // The run while it goes on (for the time estimate), else null. On the run's thread only (the
    // observer's calls).
    const TransferRun* CurrentRun() const { return run_; }
    // The refused and left photos of the run going on, or of the last one.
    const TransferReport& Report() const { return run_ ? run_->Report() : lastReport_; }

private:
    void RunOrThrow(TransferSessionResult& result);

    TAlbumList& albums_;
    TRemoteSettings& remote_;
    ImageWorkspace& workspace_;
    TransferObserver& observer_;
    TransferSessionConfig config_;
    TransferRun* run_ = nullptr;  // set and cleared under runLock_, which Stop takes
    std::mutex runLock_;
    TransferReport lastReport_;
    std::atomic<bool> stopped_{false};
    UploadRateLimit rateLimit_;
    int connections_ = 2;
};

}  // namespace vantrel
