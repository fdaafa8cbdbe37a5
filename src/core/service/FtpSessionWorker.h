#pragma once
// One FTP session of a transfer run, on a thread of its own: it logs in and enters the run's
// upload folder (unless the run did that already), then sends the packages it is handed, one at
// a time, each file verified before the next, riding out a lost connection under the run's
// reconnect schedule. It never touches the album list or the window: it posts what happens to
// the run's event queue, and the run hands out the next package.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "core/albums/TImageJob.h"
#include "core/service/ConnectionRecovery.h"
#include "core/service/PreparedPhoto.h"
#include "core/service/ReconnectSchedule.h"
#include "core/service/SessionEvents.h"
#include "core/service/UploadPackage.h"

namespace vantrel {

class FtpClient;
struct TRemoteSettings;

// A package handed to a session.
struct PackageOrder {
    TImageJob job;  // a copy: the list's own photo is touched on the run's thread only
    int photoNumber = 0;
    std::int32_t albumId = 0;
    std::optional<PreparedPhoto> prepared;  // empty: the copies are made step by step
};

// What the sessions of a run share.
struct SessionSetup {
    const TRemoteSettings& settings;
    const UploadImaging& imaging;
    std::string folderName;
    std::string customerId;
    ReconnectSchedule reconnect;
    // True once the sessions must end what they do: Stop, the end of the walk, the watchdog.
    // Asked from the sessions' threads.
    std::function<bool()> mustEnd;
    SessionEventQueue& events;
};

class FtpSessionWorker {
public:
    // The run's temporary files this session writes: the sidecar, and the copies when they are
    // made step by step.
    struct Files {
        std::string scaledPath;
        std::string thumbPath;
        std::string infPath;
    };

    // `ftp` must outlive the worker and is used by its thread only until the worker is
    // destroyed. `connected`: the run logged it in and changed into the folder; otherwise the
    // worker does that first and posts Ready, or Unusable when the server refuses or cannot be
    // reached (a session the run can do without). The client's pump, stop check and work
    // handlers are the worker's while it lives, and given back after.
    FtpSessionWorker(int index, FtpClient& ftp, const SessionSetup& setup, Files files, bool connected);
    // Waits for the thread: a package under way is finished or cut first (see SessionSetup::mustEnd).
    ~FtpSessionWorker();
    FtpSessionWorker(const FtpSessionWorker&) = delete;
    FtpSessionWorker& operator=(const FtpSessionWorker&) = delete;

    // Hands over a package; the session must be idle. Done comes once it ended.
    void Send(PackageOrder order);

private:
    void Main();
    SessionEvent SendPackage(const PackageOrder& order);
    void Post(SessionEvent event);

    const int index_;
    FtpClient& ftp_;
    const SessionSetup& setup_;
    const Files files_;
    const bool connected_;
    std::function<void()> callerPump_;
    std::function<bool()> callerStopCheck_;
    ConnectionRecovery recovery_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<PackageOrder> order_;
    bool quit_ = false;
    std::thread thread_;  // last: started once the members above exist
};

}  // namespace vantrel
