#pragma once
// The transfer run: log in to the service, match the local albums with the user's albums there,
// and send every queued photo as its package into a fresh FTP folder. Sent photos leave the
// transfer list; photos refused by the acceptance checks are reported at the end.
//
// The run talks to its window only through TransferObserver, and waits on the network with the
// observer's ProcessMessages running at least every 50 ms, so that the window can call Stop().
// The packages go out on up to four FTP sessions side by side, each on a thread of its own
// (FtpSessionWorker), so that one session's round trips overlap another's bytes; the album list
// and the observer are touched on the caller's thread only.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/service/ProgressWatchdog.h"
#include "core/service/ReconnectSchedule.h"
#include "core/service/RemainingTimeModel.h"
#include "core/service/ServiceAlbum.h"
#include "core/service/SessionEvents.h"
#include "core/service/TRemoteSettings.h"
#include "core/service/TransferProgress.h"
#include "core/service/UploadPackage.h"

namespace vantrel {

class TAlbum;
class TAlbumList;
class ConnectionRecovery;
class FtpClient;
class TImageJob;
class PackagePreparer;
class TransferService;
class TransferClaims;
struct RunSession;
struct SessionSetup;

enum class TTransferOutcome {
    toNone = 0,       // the login was refused, or an error left the run
    toCompleted = 1,  // every album was walked to its end
    toStopped = 3,    // Stop, an upload error, or the album list could not be fetched
    toReported = 4,   // the report of refused photos was shown
};

// What became of a photo the run dealt with.
enum class PhotoEnd {
    Sent,            // verified and taken off the list
    RefusedForSize,  // outside the service's sizes: stays queued, reported
    RefusedDamaged,  // a refused decoder warning: stays queued, reported
    LeftQueued,      // a file that did not verify, a copy not made, or the run ended during it
};

// What the transfer panel shows; the window implements it.
// Every call comes on the thread that called RunTransfer.
class TransferObserver {
public:
    virtual ~TransferObserver() = default;
    // Called on the run's thread during every wait, at least every 50 ms: where the caller
    // looks at its Stop request or shows the time left.
    virtual void ProcessMessages() = 0;
    // The time estimate may be shown from now on (TransferRun::EstimateTime), or no longer.
    virtual void SetTimerRunning(bool running) = 0;
    // Album_Lbl: the album whose photos are being sent.
    virtual void ShowAlbum(const TAlbum& album) = 0;
    // ImgName_Lbl and Image_Img: the photo being sent (its name, its tile ImageIndex). With two
    // sessions, the one started last; when it is done first, the other one again.
    virtual void ShowPhoto(const TImageJob& job) = 0;
    // The run is done with a photo of `album` (`job` may be a copy of the list's photo).
    virtual void ShowPhotoEnded(const TAlbum& album, const TImageJob& job, PhotoEnd end) {
        (void)album, (void)job, (void)end;
    }
    // ImgLeft_Lbl: "ToTransfer" with `left` and the plural word when left > 1, else the singular.
    virtual void ShowPhotosLeft(int left) = 0;
    // PBar1 (bytes of the photo shown) and PBar2 (bytes of the whole run, all sessions).
    virtual void ShowPhotoProgress(std::int64_t position, std::int64_t range) = 0;
    virtual void ShowRunProgress(std::int64_t position, std::int64_t range) = 0;
    // The login was refused: a plain message box with "BadLoginErr".
    virtual void ShowLoginRefused() = 0;
    // The modal report of refused photos (FormatTransferReport gives its text).
    virtual void ShowReport(const TransferReport& report) = 0;
    // The connection was lost: the next attempt comes in `secondsLeft` seconds; 0 when it starts.
    virtual void ShowConnectionWait(int secondsLeft) { (void)secondsLeft; }
};

// The service's settings give no size within 1..10000 pixels for the scaled copy or the
// thumbnail: the run ends after the login, before any file is made or sent, every photo still
// queued. The window and the tool show "NoCopySizes".
class CopySizesMissingError : public std::runtime_error {
public:
    CopySizesMissingError()
        : std::runtime_error("the service gave no size within 1..10000 pixels for the scaled copy or the thumbnail") {}
};

struct TransferConfig {
    TRemoteSettings settings;
    std::string workFolder;  // ends in "/"; receives the run's temporary files
    std::string email;
    std::string password;
    UploadImaging imaging;  // UploadImagingFor the window's shared workspace
    // Empty: a lost connection ends the run at once. The window and the tool ride outages out.
    // Its limit is also how long the run goes on without a verified file (10 minutes when empty).
    ReconnectSchedule reconnect;
    // How many FTP sessions send side by side (1..4): the first is the one given to RunTransfer,
    // the others come from `openSession` (a client configured like it, not connected). Without
    // `openSession`, or when the copies are not prepared ahead (`imaging.prepare`), one.
    int sessions = 1;
    static constexpr int kMaxSessions = 4;
    std::function<std::unique_ptr<FtpClient>()> openSession{};
    // Set when the run sends from a copy of the queue while the user may change the queue itself
    // (the window): the run claims each album before it prepares or sends any of its photos and
    // leaves out what the user removed or is rewriting. A sent photo's working copy is deleted at
    // once all the same, so that a crash before the queue's owner takes the photo off never sends
    // it twice. Null: the run owns the list (vantrel-cli).
    TransferClaims* claims = nullptr;
};

class TransferRun {
public:
    TransferRun(TAlbumList& albums, TransferService& service, TransferObserver& observer, TransferConfig config);
    ~TransferRun();

    // The run proper. `ftp` is configured for the service's FTP server and not yet connected;
    // `sessionCode` receives the session code once the session is opened. Returns the outcome;
    // throws when an XML-RPC call's transport, the FTP connection, its login or the folder
    // creation failed, a server broke the protocol, or nothing was verified for the reconnect
    // schedule's limit (NoProgressError; the caller shows "BadConnect"), UnsafeServiceIdError when the
    // service gave a member or album id that cannot be used safely, and FileWriteError when a
    // temporary file, a copy or a sidecar could not be written (the caller names the file and the
    // reason). After
    // Stop, a failure other than a write failure ends the run as toStopped instead of throwing.
    // On every path the FTP connection is closed and the temporary files are deleted; the report
    // is shown when photos were refused.
    TTransferOutcome RunTransfer(FtpClient& ftp, std::string& sessionCode);

    // The Stop button: every session's store or reply in progress fails within 50 ms, no
    // reconnection is made and the run ends with the photos under way still queued. The
    // caller's HTTP client should be stopped with it (HttpClient::SetStopCheck), so that a pending
    // XML-RPC call ends too. Pressed before RunTransfer, it makes the run end before the login.
    void Stop();
    bool StopPressed() const { return stopPressed_.load(); }
    // Stop was pressed or the run went without a verified file for too long: every wait of the
    // run ends at once (the stop check of its HTTP clients).
    bool WaitsEnd() const { return stopPressed_ || watchdog_.Expired(); }

    // The time estimate for the timer: false while nothing has been sent yet. It counts the cost
    // per byte and per file that the run measured (see RemainingTimeModel), and goes by the
    // bytes alone until a file was verified.
    bool EstimateTime(TimeEstimate& estimate) const;
    // The same in seconds.
    std::optional<double> SecondsLeft() const;

    // The photos refused by the last run, and those it left queued with the reason.
    const TransferReport& Report() const { return report_; }
    // How many photos the last run sent (verified and taken off the list).
    int PhotosSent() const { return photosSent_; }

private:
    // Throws UnsafeServiceIdError when an album that photos will be sent into has an id that is not
    // positive, so that such a run ends before its first file.
    void CheckAlbumIdsInUse(const std::vector<ServiceAlbum>& serviceAlbums) const;
    // How many sessions this run sends on.
    int SessionsToOpen() const;

    // The album walk and the sessions (TransferRunWalk.cpp).
    // Starts the sessions: the first on `ftp`, connected and inside the folder; the others
    // connect on their own threads. Their sidecar files are added to `temporaryFiles`.
    void OpenSessions(FtpClient& ftp, const SessionSetup& setup, int count, std::vector<std::string>& temporaryFiles);
    // Hands out the album's photos, last first, to idle sessions. Returns true when the walk
    // must end.
    bool SendAlbum(TAlbum& album, std::int32_t albumId);
    // Claims the album's photos (config_.claims), leaving out those the user changed meanwhile.
    // False when none is left to send.
    bool ClaimAlbum(TAlbum& album);
    // The run is done with a photo: the user may change its album again once all are.
    void ReleaseClaim(const std::string& workPath);
    // An idle session ready to send, waiting for one; null once the walk must end.
    RunSession* IdleSession();
    void HandOut(RunSession& session, TAlbum& album, const TImageJob& job, std::int32_t albumId,
                 std::optional<PreparedPhoto> prepared);
    // Takes the sessions' events (waiting up to `wait` for the first), shows the progress and
    // lets the window run.
    void Pump(std::chrono::milliseconds wait = std::chrono::milliseconds(0));
    void Handle(const SessionEvent& event);
    void PackageDone(RunSession& session, const SessionEvent& done);
    // Tells the time model how far the run got: every 250 ms, and whenever a file verified.
    void MeasureProgress();
    // The bars after a session's bytes moved.
    void ShowProgress(const RunSession& session);
    void ShowRunBar();
    // A photo handed out or skipped is done with: what it leaves of the run's bytes and files.
    void PhotoEnded(std::int64_t bytesNotSent, int filesNotSent);
    // Lets the packages under way end (cut at once when the walk ended early) and closes every
    // session. A session's failure that fails the run stays in sessionFailure_.
    void CloseSessions();
    bool WalkMustEnd() const { return stopPressed_.load() || walkEnds_; }
    // Names every photo still queued, not refused, as left by a run that ended early.
    void ReportPhotosLeftQueued();

    TAlbumList& albums_;
    TransferService& service_;
    TransferObserver& observer_;
    TransferConfig config_;
    PackagePreparer* preparer_ = nullptr;  // set while photos are prepared ahead
    std::atomic<bool> stopPressed_{false};
    // The sessions must end what they do: Stop, an early end of the walk, the watchdog.
    std::atomic<bool> sessionsEnd_{false};
    bool walkEnds_ = false;                  // a package's failure ended the walk
    std::exception_ptr sessionFailure_;      // a session's failure that the run rethrows
    TransferReport report_;
    ProgressMeter runBar_;  // its base counts the verified and skipped bytes; the files under way are added
    std::chrono::steady_clock::time_point runStart_;
    int photoNumber_ = -1;
    int photosAtStart_ = 0;
    int photosSent_ = 0;
    ProgressWatchdog watchdog_;
    RemainingTimeModel timeModel_;
    std::chrono::steady_clock::time_point lastMeasure_;
    int filesVerified_ = 0;
    int filesLeft_ = 0;  // of the photos queued, not yet verified nor given up
    SessionEventQueue events_;
    std::unique_ptr<SessionSetup> sessionSetup_;
    std::vector<std::unique_ptr<RunSession>> sessions_;
    RunSession* shown_ = nullptr;  // the session whose photo the panel shows
};

}  // namespace vantrel
