#pragma once
// The transfer run: log in to the service, match the local albums with the user's albums there,
// and send every queued photo as its package into a fresh FTP folder. Sent photos leave the
// transfer list; photos refused by the acceptance checks are reported at the end.
//
// The run talks to its window only through TTransferObserver, and waits on the network with the
// observer's ProcessMessages running at least every 50 ms, so that the window can call Stop().

#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/service/ProgressWatchdog.h"
#include "core/service/ReconnectSchedule.h"
#include "core/service/ServiceAlbum.h"
#include "core/service/TRemoteSettings.h"
#include "core/service/TransferProgress.h"
#include "core/service/UploadPackage.h"

namespace vantrel {

class TAlbum;
class TAlbumList;
class TConnectionRecovery;
class TFtpClient;
class TImageJob;
class TPackagePreparer;
class TTransferService;

enum class TTransferOutcome {
    toNone = 0,       // the login was refused, or an error left the run
    toCompleted = 1,  // every album was walked to its end
    toStopped = 3,    // Stop, an upload error, or the album list could not be fetched
    toReported = 4,   // the report of refused photos was shown
};

// What the transfer panel shows; the window implements it.
class TTransferObserver {
public:
    virtual ~TTransferObserver() = default;
    // Lets the window handle its pending events (repaints, the timer, the Stop button).
    virtual void ProcessMessages() = 0;
    // Switches the 500 ms time-estimate timer, whose ticks call TTransferRun::EstimateTime.
    virtual void SetTimerRunning(bool running) = 0;
    // Album_Lbl: the album whose photos are being sent.
    virtual void ShowAlbum(const TAlbum& album) = 0;
    // ImgName_Lbl and Image_Img: the photo being sent (its name, its tile ImageIndex).
    virtual void ShowPhoto(const TImageJob& job) = 0;
    // ImgLeft_Lbl: "ToTransfer" with `left` and the plural word when left > 1, else the singular.
    virtual void ShowPhotosLeft(int left) = 0;
    // PBar1 (bytes of the current photo) and PBar2 (bytes of the whole run).
    virtual void ShowPhotoProgress(std::int64_t position, std::int64_t range) = 0;
    virtual void ShowRunProgress(std::int64_t position, std::int64_t range) = 0;
    // The login was refused: a plain message box with "BadLoginErr".
    virtual void ShowLoginRefused() = 0;
    // The modal report of refused photos (FormatTransferReport gives its text).
    virtual void ShowReport(const TTransferReport& report) = 0;
    // The connection was lost: the next attempt comes in `secondsLeft` seconds; 0 when it starts.
    virtual void ShowConnectionWait(int secondsLeft) { (void)secondsLeft; }
};

// The service's settings give no size within 1..10000 pixels for the scaled copy or the
// thumbnail: the run ends after the login, before any file is made or sent, every photo still
// queued. The window and the tool show "NoCopySizes".
class TCopySizesMissing : public std::runtime_error {
public:
    TCopySizesMissing()
        : std::runtime_error("the service gave no size within 1..10000 pixels for the scaled copy or the thumbnail") {}
};

struct TTransferConfig {
    TRemoteSettings settings;
    std::string workFolder;  // ends in "/"; receives the run's temporary files
    std::string email;
    std::string password;
    TUploadImaging imaging;  // UploadImagingFor the window's shared workspace
    // Empty: a lost connection ends the run at once. The window and the tool ride outages out.
    // Its limit is also how long the run goes on without a verified file (10 minutes when empty).
    TReconnectSchedule reconnect;
};

class TTransferRun {
public:
    TTransferRun(TAlbumList& albums, TTransferService& service, TTransferObserver& observer, TTransferConfig config);

    // The run proper. `ftp` is configured for the service's FTP server and not yet connected;
    // `sessionCode` receives the session code once the session is opened. Returns the outcome;
    // throws when an XML-RPC call's transport, the FTP connection, its login or the folder
    // creation failed, a server broke the protocol, or nothing was verified for the reconnect
    // schedule's limit (NoProgressError; the caller shows "BadConnect"), UnsafeServiceId when the
    // service gave a member or album id that cannot be used safely, and TFileWriteError when a
    // temporary file, a copy or a sidecar could not be written (the caller names the file and the
    // reason). After
    // Stop, a failure other than a write failure ends the run as toStopped instead of throwing.
    // On every path the FTP connection is closed and the temporary files are deleted; the report
    // is shown when photos were refused.
    TTransferOutcome RunTransfer(TFtpClient& ftp, std::string& sessionCode);

    // The Stop button: closes the FTP connection at once; the store or reply in progress fails,
    // no reconnection is made and the run ends with the photo under way still queued. The
    // caller's HTTP client should be stopped with it (HttpClient::SetStopCheck), so that a pending
    // XML-RPC call ends too. Pressed before RunTransfer, it makes the run end before the login.
    void Stop();
    bool StopPressed() const { return stopPressed_; }
    // Stop was pressed or the run went without a verified file for too long: every wait of the
    // run ends at once (the stop check of its HTTP clients).
    bool WaitsEnd() const { return stopPressed_ || watchdog_.Expired(); }

    // The time estimate for the timer: false while nothing has been sent yet.
    bool EstimateTime(TTimeEstimate& estimate) const;

    // The photos refused by the last run, and those it left queued with the reason.
    const TTransferReport& Report() const { return report_; }
    // How many photos the last run sent (verified and taken off the list).
    int PhotosSent() const { return photosSent_; }

private:
    // Throws UnsafeServiceId when an album that photos will be sent into has an id that is not
    // positive, so that such a run ends before its first file.
    void CheckAlbumIdsInUse(const std::vector<TServiceAlbum>& serviceAlbums) const;
    // Returns true when the album walk must end.
    bool SendAlbum(TAlbum& album, std::int32_t albumId, const TPackageContext& context);
    // Sends the package, starting it again from its first file after a lost connection was
    // waited out (TransferRunRecovery.cpp).
    bool SendPhotoRecovering(const TPackageContext& context, const TImageJob& job, const std::function<bool()>& send);
    // Names every photo still queued, not refused, as left by a run that ended early.
    void ReportPhotosLeftQueued();
    void OnWork(std::int64_t bytes);
    void OnWorkEnd();
    void OnAttemptEnd(bool verified);

    TAlbumList& albums_;
    TTransferService& service_;
    TTransferObserver& observer_;
    TTransferConfig config_;
    TFtpClient* ftp_ = nullptr;
    TPackagePreparer* preparer_ = nullptr;  // set while photos are prepared ahead
    bool stopPressed_ = false;
    TTransferReport report_;
    TProgressBar photoBar_;
    TProgressBar runBar_;
    std::chrono::steady_clock::time_point runStart_;
    int photoNumber_ = -1;
    int photosAtStart_ = 0;
    int photosSent_ = 0;
    TConnectionRecovery* recovery_ = nullptr;  // during RunTransfer
    ProgressWatchdog watchdog_;
    std::int64_t storeBytes_ = 0;  // bytes of the store under way reported so far
};

}  // namespace vantrel
