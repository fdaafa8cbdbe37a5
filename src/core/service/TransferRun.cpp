#include "core/service/TransferRun.h"

#include <cstdio>
#include <exception>

#include "core/albums/AlbumNames.h"
#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/TImageJob.h"
#include "core/service/ConnectionRecovery.h"
#include "core/service/FileWriteError.h"
#include "core/service/FtpClient.h"
#include "core/service/PackagePreparer.h"
#include "core/service/ServiceIds.h"
#include "core/service/TransferPreparation.h"
#include "core/service/TransferService.h"
#include "core/service/UploadNames.h"

namespace vantrel {

namespace {

int IndexOfJob(const TAlbum& album, const TImageJob* job) {
    for (int i = 0; i < album.Jobs().Count(); ++i)
        if (&album.Jobs().Items(i) == job) return i;
    return -1;
}

const TServiceAlbum* MatchingServiceAlbum(const TAlbum& album, const std::vector<TServiceAlbum>& serviceAlbums) {
    for (const auto& serviceAlbum : serviceAlbums)
        if (AlbumNamesMatch(album.AlbumName(), serviceAlbum.name)) return &serviceAlbum;
    return nullptr;
}

}  // namespace

void TTransferRun::CheckAlbumIdsInUse(const std::vector<TServiceAlbum>& serviceAlbums) const {
    for (int i = 0; i < albums_.Count(); ++i) {
        const TAlbum& album = albums_.Items(i);
        if (album.Jobs().Count() == 0) continue;
        if (const TServiceAlbum* match = MatchingServiceAlbum(album, serviceAlbums)) CheckAlbumId(match->id, match->name);
    }
}

TTransferRun::TTransferRun(TAlbumList& albums, TTransferService& service, TTransferObserver& observer,
                           TTransferConfig config)
    : albums_(albums), service_(service), observer_(observer), config_(std::move(config)),
      watchdog_(config_.reconnect.limit.count() > 0 ? config_.reconnect.limit : StandardReconnectSchedule().limit) {}

void TTransferRun::Stop() {
    stopPressed_ = true;
    if (ftp_ && ftp_->FtpConnected()) ftp_->FtpDisconnect();
}

bool TTransferRun::EstimateTime(TTimeEstimate& estimate) const {
    auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - runStart_);
    return EstimateRemaining(runBar_.position, runBar_.range, elapsed.count(), estimate);
}

void TTransferRun::OnWork(std::int64_t bytes) {
    watchdog_.BytesTaken(bytes - storeBytes_);
    storeBytes_ = bytes;
    photoBar_.Work(bytes);
    runBar_.Work(bytes);
    observer_.ShowPhotoProgress(photoBar_.position, photoBar_.range);
    observer_.ShowRunProgress(runBar_.position, runBar_.range);
    observer_.ProcessMessages();
}

void TTransferRun::OnWorkEnd() { storeBytes_ = 0; }

void TTransferRun::OnAttemptEnd(bool verified) {
    // The bars keep a file's bytes once it verified; a failed attempt's bytes are counted again
    // by the next one, so that the run bar counts every byte once.
    if (verified) {
        watchdog_.Verified();
        photoBar_.WorkEnd();
        runBar_.WorkEnd();
    } else {
        watchdog_.AttemptFailed();
        photoBar_.WorkFailed();
        runBar_.WorkFailed();
    }
}

TTransferOutcome TTransferRun::RunTransfer(TFtpClient& ftp, std::string& sessionCode) {
    ftp_ = &ftp;
    report_ = {};
    photoNumber_ = -1;
    photosSent_ = 0;
    TTransferOutcome outcome = TTransferOutcome::toStopped;
    watchdog_.Reset();
    TConnectionRecovery recovery(config_.reconnect, {[this] { return WaitsEnd(); },
                                                     [this] { observer_.ProcessMessages(); },
                                                     [this](int secondsLeft) { observer_.ShowConnectionWait(secondsLeft); },
                                                     {}});
    recovery_ = &recovery;
    bool walkCompleted = false;
    bool uploadBegun = false;  // stays true once the upload has begun
    // Once Stop is pressed, or the watchdog ran out, the FTP client neither waits nor reconnects.
    ftp.SetStopCheck([this] { return WaitsEnd(); });
    observer_.ProcessMessages();

    std::vector<std::string> temporaryFiles;
    std::unique_ptr<TPackagePreparer> preparer;
    bool uploadStarted = false;  // the temporary files are being made: the end closes and deletes
    auto endUpload = [&] {
        if (!uploadStarted) return;
        uploadStarted = false;
        preparer_ = nullptr;
        preparer.reset();  // waits for the worker before its files are deleted
        ftp.ClearWorkHandlers();
        ftp.FtpDisconnect();
        observer_.SetTimerRunning(false);
        for (const auto& path : temporaryFiles) std::remove(path.c_str());
    };
    auto endRun = [&] {
        ftp_ = nullptr;
        recovery_ = nullptr;
        ftp.SetStopCheck({});
        // Stop is the user's own choice: what it leaves queued is named only beside refusals.
        if (uploadBegun && !walkCompleted) ReportPhotosLeftQueued();
        if (report_.HasRefusals() || (!report_.Empty() && !stopPressed_)) observer_.ShowReport(report_);
        if (report_.HasRefusals()) outcome = TTransferOutcome::toReported;
    };

    // A Stop pressed before the run got here still counts: nothing is sent.
    if (stopPressed_) {
        endRun();
        return outcome;
    }
    try {
        std::vector<TServiceAlbum> serviceAlbums;
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
            observer_.ShowRunProgress(0, bytesQueued);

            // Without positive sizes the copies would be empty files that verify and send the
            // photos as if all went well: the run ends here with every photo queued.
            if (!HasCopySizes(config_.settings)) throw TCopySizesMissing();
            uploadStarted = uploadBegun = true;
            for (const char* extension : {"jpg", "jpg", "inf"}) {
                auto path = MakeTempFileName(config_.workFolder, extension);
                if (!path) throw TFileWriteError(path.error());
                temporaryFiles.push_back(*path);
            }
            if (config_.imaging.prepare) {
                preparer = MakePreparer(config_, temporaryFiles);
                preparer_ = preparer.get();
                PrefetchFirst(*preparer, albums_, config_.settings);
            }
            const std::string customerId = service_.CustomerId();
            const std::string folderName = MakeUploadFolderName(customerId);
            bool folderMade = false;
            recovery.Retry([&] {
                ftp.FtpConnect();
                if (!folderMade) ftp.FtpMakeDir(folderName);
                folderMade = true;
                ftp.FtpChangeDir(folderName);
            });

            TTransferObserver& observer = observer_;
            TPackageContext context{ftp,
                                    config_.settings,
                                    config_.imaging,
                                    [&observer] { observer.ProcessMessages(); },
                                    folderName,
                                    customerId,
                                    temporaryFiles[0],
                                    temporaryFiles[1],
                                    temporaryFiles[2],
                                    [this](bool verified) { OnAttemptEnd(verified); }};
            bool walkEnded = false;
            for (int i = 0; i < albums_.Count() && !walkEnded; ++i) {
                albums_.SelectAlbum(i);
                TAlbum& album = albums_.Items(i);
                if (album.Jobs().Count() == 0) continue;
                observer_.ShowAlbum(album);
                const TServiceAlbum* match = MatchingServiceAlbum(album, serviceAlbums);
                std::int32_t albumId = match ? match->id : 0;
                if (!match && !recovery.Retry([&] {
                        const auto created = service_.MemberCreateAlbum(album.AlbumName());
                        if (created) albumId = *created;
                        return created.has_value();
                    }))
                    continue;
                CheckAlbumId(albumId, album.AlbumName());
                walkEnded = SendAlbum(album, albumId, context);
            }
            walkCompleted = !walkEnded;
            endUpload();
            if (!walkEnded) outcome = TTransferOutcome::toCompleted;
        }
    } catch (const TFileWriteError&) {
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

bool TTransferRun::SendAlbum(TAlbum& album, std::int32_t albumId, const TPackageContext& context) {
    for (int j = album.Jobs().Count() - 1; j >= 0; --j) {
        if (stopPressed_) return true;
        if (j >= album.Jobs().Count()) continue;  // the album shrank while the window ran
        TImageJob& job = album.Jobs().Items(j);
        album.SelectJobItem(j);
        observer_.ShowPhoto(job);
        observer_.ProcessMessages();
        ++photoNumber_;
        observer_.ShowPhotosLeft(photosAtStart_ - photoNumber_);
        observer_.ProcessMessages();

        if (!IsPhotoSizeAccepted(job.PhotoSize, config_.settings)) {
            report_.refusedForSize.push_back(job.FileName);
            runBar_.Advance(job.PackageSize);
            observer_.ShowRunProgress(runBar_.position, runBar_.range);
            continue;
        }
        // Stop while the photo is still being prepared ends the walk with the photo queued.
        std::optional<TPreparedPhoto> prepared;
        if (preparer_) {
            prepared = preparer_->Take(job.WorkPath, context.pump, [this] { return stopPressed_; });
            if (!prepared) return true;
        }
        // An unreadable list of warning codes ends the run as a connection failure.
        auto rejected = prepared ? prepared->rejected
                                 : config_.imaging.isRejected(job.WorkPath, config_.settings.rejected_errors);
        if (!rejected) throw TUploadError(rejected.error());
        if (*rejected) {
            report_.refusedForWarnings.push_back(job.FileName);
            runBar_.Advance(job.PackageSize);
            observer_.ShowRunProgress(runBar_.position, runBar_.range);
            continue;
        }

        photoBar_.Reset(job.PackageSize);
        observer_.ShowPhotoProgress(0, photoBar_.range);
        context.ftp.SetWorkHandlers({{},
                                     [this](TWorkMode mode, std::int64_t bytes) {
                                         if (mode == TWorkMode::wmWrite) OnWork(bytes);
                                     },
                                     [this](TWorkMode mode) {
                                         if (mode == TWorkMode::wmWrite) OnWorkEnd();
                                     }});
        bool sent = false;
        bool endWalk = false;
        bool copyNotMade = false;
        try {
            if (prepared) PrefetchNext(*preparer_, album, j, config_.settings);
            sent = SendPhotoRecovering(context, job, [&] {
                return prepared ? SendPreparedPackage(context, job, *prepared, photoNumber_, albumId)
                                : SendPhotoPackage(context, job, photoNumber_, albumId);
            });
            endWalk = stopPressed_;
        } catch (const TFileWriteError&) {
            context.ftp.ClearWorkHandlers();
            throw;
        } catch (const FtpProtocolError&) {
            context.ftp.ClearWorkHandlers();
            throw;  // the server broke the protocol: a connection failure of the run, at once
        } catch (const TCopyNotMade& notMade) {
            report_.copiesNotMade.push_back({job.FileName, notMade.what()});  // stays queued; the walk goes on
            copyNotMade = true;
        } catch (const std::exception&) {
            // An upload error ends the run, and so does Stop: the store it cut is not retried,
            // and the photo under way stays queued. A connection lost for longer than the
            // reconnect schedule allows is a connection failure of the run.
            if ((recovery_ && recovery_->GaveUp()) || (!stopPressed_ && watchdog_.Expired())) {
                context.ftp.ClearWorkHandlers();
                throw;
            }
            endWalk = true;
        }
        // The photo leaves the transfer list, and its working copy is deleted, only now that all
        // four of its files were verified on the server.
        if (sent) {
            album.RemoveJob(IndexOfJob(album, &job), true);
            ++photosSent_;
        } else if (!endWalk && !copyNotMade) {
            report_.notVerified.push_back(job.FileName);
        }
        context.ftp.ClearWorkHandlers();
        if (endWalk) return true;
    }
    return false;
}

}  // namespace vantrel
