#include "core/service/TransferRun.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "core/albums/AlbumNames.h"
#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/TImageJob.h"
#include "core/service/ConnectionRecovery.h"
#include "core/service/EarlyFtpLogin.h"
#include "core/service/FtpSessionWorker.h"
#include "core/service/FileWriteError.h"
#include "core/service/FtpClient.h"
#include "core/service/PackagePreparer.h"
#include "core/service/RunSession.h"
#include "core/service/ServiceIds.h"
#include "core/service/TransferPreparation.h"
#include "core/service/TransferService.h"
#include "core/service/UploadNames.h"

namespace vantrel {

namespace {

const ServiceAlbum* MatchingServiceAlbum(const TAlbum& album, const std::vector<ServiceAlbum>& serviceAlbums) {
    for (const auto& serviceAlbum : serviceAlbums)
        if (AlbumNamesMatch(album.AlbumName(), serviceAlbum.name)) return &serviceAlbum;
    return nullptr;
}

}  // namespace

void TransferRun::CheckAlbumIdsInUse(const std::vector<ServiceAlbum>& serviceAlbums) const {
    for (int i = 0; i < albums_.Count(); ++i) {
        const TAlbum& album = albums_.Items(i);
        if (album.Jobs().Count() == 0) continue;
        if (const ServiceAlbum* match = MatchingServiceAlbum(album, serviceAlbums)) CheckAlbumId(match->id, match->name);
    }
}

TransferRun::TransferRun(TAlbumList& albums, TransferService& service, TransferObserver& observer,
                         TransferConfig config)
    : albums_(albums), service_(service), observer_(observer), config_(std::move(config)),
      watchdog_(config_.reconnect.limit.count() > 0 ? config_.reconnect.limit : StandardReconnectSchedule().limit) {}

TransferRun::~TransferRun() = default;

void TransferRun::Stop() {
    // Each session's client asks this within 50 ms and closes its connection.
    stopPressed_ = true;
    sessionsEnd_ = true;
}

int TransferRun::SessionsToOpen() const {
    if (!config_.openSession || !config_.imaging.prepare) return 1;  // copies step by step share one workspace
    return std::clamp(config_.sessions, 1, TransferConfig::kMaxSessions);
}

bool TransferRun::EstimateTime(TimeEstimate& estimate) const {
    const auto seconds = SecondsLeft();
    if (seconds) estimate = EstimateOfSeconds(*seconds);
    return seconds.has_value();
}

std::optional<double> TransferRun::SecondsLeft() const {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - runStart_).count();
    if (auto left = timeModel_.SecondsLeft(elapsed, runBar_.range - runBar_.position, filesLeft_)) return left;
    return ProportionalSecondsLeft(runBar_.position, runBar_.range, elapsed);
}

TTransferOutcome TransferRun::RunTransfer(FtpClient& ftp, std::string& sessionCode) {
    report_ = {};
    photoNumber_ = -1;
    photosSent_ = 0;
    walkEnds_ = false;
    sessionsEnd_ = stopPressed_.load();
    sessionFailure_ = nullptr;
    TTransferOutcome outcome = TTransferOutcome::toStopped;
    watchdog_.Reset();
    ConnectionRecovery recovery(config_.reconnect, {[this] { return WaitsEnd(); },
                                                     [this] { observer_.ProcessMessages(); },
                                                     [this](int secondsLeft) { observer_.ShowConnectionWait(secondsLeft); },
                                                     {}});
    bool walkCompleted = false;
    bool uploadBegun = false;  // stays true once the upload has begun
    // Once Stop is pressed, or the watchdog ran out, the FTP client neither waits nor reconnects.
    ftp.SetStopCheck([this] { return WaitsEnd(); });
    observer_.ProcessMessages();

    std::vector<std::string> temporaryFiles;
    std::unique_ptr<PackagePreparer> preparer;
    std::optional<EarlyFtpLogin> earlyLogin;
    bool uploadStarted = false;  // the temporary files are being made: the end closes and deletes
    auto endUpload = [&] {
        earlyLogin.reset();
        if (!uploadStarted) return;
        uploadStarted = false;
        CloseSessions();
        preparer_ = nullptr;
        preparer.reset();  // waits for the worker before its files are deleted
        ftp.FtpDisconnect();
        observer_.SetTimerRunning(false);
        for (const auto& path : temporaryFiles) std::remove(path.c_str());
    };
    auto endRun = [&] {
        earlyLogin.reset();
        ftp.SetStopCheck({});
        // Stop is the user's own choice: what it leaves queued is named only beside refusals.
        if (uploadBegun && !walkCompleted) ReportPhotosLeftQueued();
        report_.smallestAcceptedKb = config_.settings.picture_minsize;
        report_.largestAcceptedMb = config_.settings.picture_maxsize;
        if (report_.HasRefusals() || (!report_.Empty() && !stopPressed_)) observer_.ShowReport(report_);
        if (report_.HasRefusals()) outcome = TTransferOutcome::toReported;
    };

    // A Stop pressed before the run got here still counts: nothing is sent.
    if (stopPressed_) {
        endRun();
        return outcome;
    }
    try {
        earlyLogin.emplace(ftp, [this] { return stopPressed_.load(); });
        std::vector<ServiceAlbum> serviceAlbums;
        const bool loggedIn = recovery.Retry([&] {
            const auto session = service_.SessionNew();
            if (!session) return false;
            sessionCode = *session;
            return service_.SessionLogin(config_.email, config_.password).has_value();
        });
        // The ids become folder names and sidecar lines: a bad one ends the run before anything is sent.
        if (loggedIn) CheckCustomerId(service_.CustomerId());
        if (!loggedIn) {
            observer_.ShowLoginRefused();
            outcome = TTransferOutcome::toNone;
        } else if (recovery.Retry([&] {
                       auto listed = service_.MemberGetAlbumList();
                       if (listed) serviceAlbums = std::move(*listed);
                       return listed.has_value();
                   })) {
            CheckAlbumIdsInUse(serviceAlbums);
            runStart_ = std::chrono::steady_clock::now();
            observer_.SetTimerRunning(true);
            std::int64_t bytesQueued = 0;
            photosAtStart_ = 0;
            for (int i = 0; i < albums_.Count(); ++i) {
                const TJobList& jobs = albums_.Items(i).Jobs();
                photosAtStart_ += jobs.Count();
                for (int j = 0; j < jobs.Count(); ++j) bytesQueued += jobs.Items(j).PackageSize;
            }
            runBar_.Reset(bytesQueued);
            timeModel_ = {};
            filesVerified_ = 0;
            filesLeft_ = kPackageFiles * photosAtStart_;
            observer_.ShowRunProgress(0, bytesQueued);

            // Without positive sizes the copies would be empty files that verify and send the
            // photos as if all went well: the run ends here with every photo queued.
            if (!HasCopySizes(config_.settings)) throw CopySizesMissingError();
            uploadStarted = uploadBegun = true;
            for (const char* extension : {"jpg", "jpg", "inf"}) {
                auto path = MakeTempFileName(config_.workFolder, extension);
                if (!path) throw FileWriteError(path.error());
                temporaryFiles.push_back(*path);
            }
            const int sessions = SessionsToOpen();
            if (config_.imaging.prepare) {
                preparer = MakePreparer(config_, temporaryFiles, sessions);
                preparer_ = preparer.get();
                // The photos prepared first are claimed before they are read.
                for (int i = 0, claimed = 0; config_.claims && i < albums_.Count() && claimed < preparer->Depth(); ++i)
                    if (ClaimAlbum(albums_.Items(i))) claimed += albums_.Items(i).Jobs().Count();
                PrefetchFirst(*preparer, albums_, config_.settings);
            }
            const std::string customerId = service_.CustomerId();
            const std::string folderName = MakeUploadFolderName(customerId);
            earlyLogin->EnterFolder(folderName);
            // The albums the service does not have yet are created as the walk reaches them; the
            // first one while the folder is being made.
            auto createAlbum = [&](const TAlbum& album) -> std::optional<std::int32_t> {
                std::int32_t id = 0;
                if (!recovery.Retry([&] {
                        const auto created = service_.MemberCreateAlbum(album.AlbumName());
                        if (created) id = *created;
                        return created.has_value();
                    }))
                    return std::nullopt;
                return id;
            };
            const TAlbum* createdAhead = nullptr;
            std::optional<std::int32_t> createdAheadId;
            for (int i = 0; i < albums_.Count() && !createdAhead; ++i) {
                TAlbum& album = albums_.Items(i);
                if (!ClaimAlbum(album)) continue;
                createdAhead = &album;
                if (!MatchingServiceAlbum(album, serviceAlbums)) createdAheadId = createAlbum(album);
            }
            auto early = earlyLogin->Wait([this] { observer_.ProcessMessages(); });
            earlyLogin.reset();
            bool folderMade = early.folderMade;
            recovery.Retry([&] {
                if (std::exchange(early.inFolder, false)) return;
                if (!std::exchange(early.loggedIn, false) || !ftp.FtpConnected()) ftp.FtpConnect();
                if (!folderMade) ftp.FtpMakeDir(folderName);
                folderMade = true;
                ftp.FtpChangeDir(folderName);
            });
            sessionSetup_.reset(new SessionSetup{config_.settings, config_.imaging, folderName, customerId,
                                                 config_.reconnect, [this] { return sessionsEnd_.load(); }, events_});
            OpenSessions(ftp, *sessionSetup_, sessions, temporaryFiles);

            bool walkEnded = false;
            for (int i = 0; i < albums_.Count() && !walkEnded; ++i) {
                albums_.SelectAlbum(i);
                TAlbum& album = albums_.Items(i);
                if (!ClaimAlbum(album)) continue;
                observer_.ShowAlbum(album);
                const ServiceAlbum* match = MatchingServiceAlbum(album, serviceAlbums);
                const std::optional<std::int32_t> albumId = match                    ? match->id
                                                            : &album == createdAhead ? createdAheadId
                                                                                     : createAlbum(album);
                if (!albumId) continue;  // the service refused to create it
                CheckAlbumId(*albumId, album.AlbumName());
                walkEnded = SendAlbum(album, *albumId);
            }
            CloseSessions();
            walkEnded = walkEnded || WalkMustEnd();
            walkCompleted = !walkEnded;
            if (auto failure = std::exchange(sessionFailure_, nullptr)) std::rethrow_exception(failure);
            endUpload();
            if (!walkEnded) outcome = TTransferOutcome::toCompleted;
        }
    } catch (const FileWriteError&) {
        endUpload();
        endRun();
        throw;
    } catch (...) {
        endUpload();
        endRun();
        // A request cut by Stop fails; the run then simply ends as stopped. One cut by the
        // watchdog is a connection failure of the run.
        if (!stopPressed_ && watchdog_.Expired()) throw NoProgressError(watchdog_.Limit());
        if (!stopPressed_) throw;
    }
    endRun();
    return outcome;
}

}  // namespace vantrel
