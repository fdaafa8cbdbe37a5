// The album walk of the transfer run: photos handed out in queue order to the FTP sessions that
// are idle, what the sessions report taken on the run's thread, and what stayed queued.
#include <algorithm>

#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/TImageJob.h"
#include "core/albums/TransferClaims.h"
#include "core/service/PackagePreparer.h"
#include "core/service/RunSession.h"
#include "core/service/TransferRun.h"
#include "core/service/UploadNames.h"

namespace vantrel {

namespace {

int IndexOfJob(const TAlbum& album, const TImageJob* job) {
    for (int i = 0; i < album.Jobs().Count(); ++i)
        if (&album.Jobs().Items(i) == job) return i;
    return -1;
}

constexpr std::chrono::milliseconds kPollInterval{50};

}  // namespace

void TransferRun::OpenSessions(FtpClient& ftp, const SessionSetup& setup, int count,
                               std::vector<std::string>& temporaryFiles) {
    for (int i = 0; i < count; ++i) {
        auto session = std::make_unique<RunSession>();
        FtpSessionWorker::Files files{temporaryFiles.at(0), temporaryFiles.at(1), temporaryFiles.at(2)};
        if (i > 0) {
            auto inf = MakeTempFileName(config_.workFolder, "inf");
            if (!inf) throw FileWriteError(inf.error());
            temporaryFiles.push_back(*inf);
            files = {{}, {}, *inf};  // copies are prepared ahead whenever there are several sessions
            session->ownFtp = config_.openSession();
        }
        session->ready = i == 0;
        session->worker = std::make_unique<FtpSessionWorker>(i, i == 0 ? ftp : *session->ownFtp, setup,
                                                             std::move(files), i == 0);
        sessions_.push_back(std::move(session));
    }
}

bool TransferRun::SendAlbum(TAlbum& album, std::int32_t albumId) {
    for (int j = album.Jobs().Count() - 1; j >= 0; --j) {
        RunSession* session = IdleSession();
        if (!session) return true;
        if (j >= album.Jobs().Count()) continue;  // the album shrank while the window ran
        TImageJob& job = album.Jobs().Items(j);
        album.SelectJobItem(j);
        observer_.ShowPhoto(job);
        observer_.ProcessMessages();
        ++photoNumber_;
        observer_.ShowPhotosLeft(photosAtStart_ - photoNumber_);
        observer_.ProcessMessages();
        if (WalkMustEnd()) return true;

        auto skip = [&](PhotoEnd end) {
            ReleaseClaim(job.WorkPath);
            observer_.ShowPhotoEnded(album, job, end);
            PhotoEnded(job.PackageSize, kPackageFiles);
        };
        if (!IsPhotoSizeAccepted(job.PhotoSize, config_.settings)) {
            const bool tooSmall = job.PhotoSize < static_cast<std::int64_t>(config_.settings.picture_minsize) * 1024;
            report_.refusedForSize.push_back({job.FileName, job.PhotoSize, tooSmall});
            skip(PhotoEnd::RefusedForSize);
            continue;
        }
        // Stop while the photo is still being prepared ends the walk with the photo queued.
        std::optional<PreparedPhoto> prepared;
        if (preparer_) {
            prepared = preparer_->Take(job.WorkPath, [this] { Pump(); }, [this] { return WalkMustEnd(); });
            if (!prepared) {
                observer_.ShowPhotoEnded(album, job, PhotoEnd::LeftQueued);
                return true;
            }
        }
        // An unreadable list of warning codes ends the run as a connection failure.
        auto rejected = prepared ? prepared->rejected
                                 : config_.imaging.isRejected(job.WorkPath, config_.settings.rejected_errors);
        if (!rejected) throw UploadError(rejected.error());
        if (*rejected) {
            if (prepared) preparer_->Release(prepared->scaledPath);
            report_.refusedForWarnings.push_back(job.FileName);
            skip(PhotoEnd::RefusedDamaged);
            continue;
        }
        HandOut(*session, album, job, albumId, std::move(prepared));
        if (preparer_) PrefetchNext(*preparer_, album, j, config_.settings);
    }
    return false;
}

bool TransferRun::ClaimAlbum(TAlbum& album) {
    if (!config_.claims) return album.Jobs().Count() > 0;
    album.SetAlbumName(config_.claims->CurrentName(album.AlbumName()));  // renamed by the user meanwhile
    const auto claims = config_.claims->ClaimPhotos(album.WorkPaths());
    // From the last photo to the first, so that taking one off does not move those still to see.
    for (int j = static_cast<int>(claims.size()) - 1; j >= 0; --j) {
        TImageJob& job = album.Jobs().Items(j);
        const TransferClaims::ClaimResult& claim = claims[static_cast<std::size_t>(j)];
        if (claim.claim == TransferClaims::Claim::LeftOut) {
            // Deleted, moved or being rewritten by the user: it is no part of this run.
            --photosAtStart_;
            PhotoEnded(job.PackageSize, kPackageFiles);
            album.RemoveJob(j, false);
        } else if (claim.rewritten) {
            runBar_.range -= job.PackageSize;
            job.Width = claim.rewritten->width;
            job.Height = claim.rewritten->height;
            job.SetPhotoSize(claim.rewritten->bytes);
            runBar_.range += job.PackageSize;
        }
    }
    return album.Jobs().Count() > 0;
}

void TransferRun::ReleaseClaim(const std::string& workPath) {
    if (config_.claims) config_.claims->Release({workPath});
}

RunSession* TransferRun::IdleSession() {
    for (auto wait = std::chrono::milliseconds(0);; wait = kPollInterval) {
        Pump(wait);
        if (WalkMustEnd()) return nullptr;
        for (auto& session : sessions_)
            if (session->ready && session->usable && !session->package) return session.get();
    }
}

void TransferRun::HandOut(RunSession& session, TAlbum& album, const TImageJob& job, std::int32_t albumId,
                          std::optional<PreparedPhoto> prepared) {
    session.package = RunSession::Package{&album, &job, job, prepared ? prepared->scaledPath : std::string()};
    session.photoBar.Reset(job.PackageSize);
    session.fileBytes = session.packageBytes = 0;
    session.packageFiles = 0;
    session.fileStart = std::chrono::steady_clock::now();
    shown_ = &session;
    observer_.ShowPhotoProgress(0, session.photoBar.range);
    session.worker->Send({job, photoNumber_, albumId, std::move(prepared)});
}

void TransferRun::Pump(std::chrono::milliseconds wait) {
    for (const SessionEvent& event : events_.Take(wait)) Handle(event);
    if (std::chrono::steady_clock::now() - lastMeasure_ >= std::chrono::milliseconds(250)) MeasureProgress();
    // A run that gets nowhere ends: every session's wait ends at once.
    if (watchdog_.Expired()) sessionsEnd_ = true;
    observer_.ProcessMessages();
}

void TransferRun::Handle(const SessionEvent& event) {
    RunSession& session = *sessions_.at(static_cast<std::size_t>(event.session));
    switch (event.kind) {
    case SessionEvent::Kind::Ready:
        session.ready = true;
        break;
    case SessionEvent::Kind::Unusable:
        session.usable = false;
        break;
    case SessionEvent::Kind::Bytes:
        watchdog_.BytesTaken(std::max<std::int64_t>(event.value - session.fileBytes, 0));
        session.fileBytes = event.value;
        session.photoBar.Work(event.value);
        ShowProgress(session);
        break;
    case SessionEvent::Kind::AttemptEnd:
        // The bars keep a file's bytes once it verified; a failed attempt's bytes are counted
        // again by the next one, so that the run bar counts every byte once. They are taken back
        // quietly: the bars move on once the next attempt reports, a resumed one from what the
        // server kept.
        if (event.verified) {
            watchdog_.Verified();
            runBar_.base += session.fileBytes;
            session.packageBytes += session.fileBytes;
            ++session.packageFiles;
            session.photoBar.WorkEnd();
            // Files sent again after a lost connection count as work done too: they took time.
            --filesLeft_;
            ++filesVerified_;
            MeasureProgress();
            if (session.fileBytes < RemainingTimeModel::kSmallFile)
                timeModel_.SmallFileTook(std::chrono::duration<double>(lastMeasure_ - session.fileStart).count());
        } else {
            watchdog_.AttemptFailed();
            session.photoBar.WorkFailed();
        }
        session.fileBytes = 0;
        session.fileStart = std::chrono::steady_clock::now();
        break;
    case SessionEvent::Kind::Restart:
        // The package starts again from its first file: what it had verified is counted again.
        runBar_.base -= session.packageBytes;
        filesLeft_ += session.packageFiles;
        session.packageBytes = session.fileBytes = 0;
        session.packageFiles = 0;
        session.photoBar.Reset(session.photoBar.range);
        ShowProgress(session);
        break;
    case SessionEvent::Kind::Wait:
        observer_.ShowConnectionWait(static_cast<int>(event.value));
        break;
    case SessionEvent::Kind::Done:
        PackageDone(session, event);
        break;
    }
}

void TransferRun::PackageDone(RunSession& session, const SessionEvent& done) {
    RunSession::Package package = std::move(*session.package);
    session.package.reset();
    session.fileBytes = 0;
    if (preparer_ && !package.copiesPath.empty()) preparer_->Release(package.copiesPath);
    const std::string& name = package.job.FileName;
    switch (done.fate) {
    case PackageFate::Sent:
        break;
    case PackageFate::NotVerified:
        report_.notVerified.push_back(name);
        PhotoEnded(package.job.PackageSize - session.packageBytes, kPackageFiles - session.packageFiles);
        break;
    case PackageFate::CopyNotMade:
        report_.copiesNotMade.push_back({name, done.reason});  // stays queued; the walk goes on
        PhotoEnded(package.job.PackageSize - session.packageBytes, kPackageFiles - session.packageFiles);
        break;
    case PackageFate::EndsRun:
        if (!sessionFailure_) sessionFailure_ = done.error;
        [[fallthrough]];
    case PackageFate::EndsWalk:
        // The other sessions' photos stay queued too. A session cut by the watchdog fails the run.
        if (!sessionFailure_ && !stopPressed_ && watchdog_.Expired()) sessionFailure_ = done.error;
        walkEnds_ = true;
        sessionsEnd_ = true;
        break;
    }
    ReleaseClaim(package.job.WorkPath);
    observer_.ShowPhotoEnded(*package.album, package.job,
                             done.fate == PackageFate::Sent ? PhotoEnd::Sent : PhotoEnd::LeftQueued);
    // The photo leaves the transfer list, and its working copy is deleted, only now that all
    // four of its files were verified on the server.
    if (done.fate == PackageFate::Sent) {
        package.album->RemoveJob(IndexOfJob(*package.album, package.queued), true);
        ++photosSent_;
    }
    if (shown_ == &session) {
        // The panel goes on with a photo still under way.
        auto other = std::find_if(sessions_.begin(), sessions_.end(), [](const auto& s) { return s->package.has_value(); });
        if (other != sessions_.end()) {
            shown_ = other->get();
            observer_.ShowPhoto(shown_->package->job);
            observer_.ShowPhotoProgress(shown_->photoBar.position, shown_->photoBar.range);
        }
    }
}

void TransferRun::MeasureProgress() {
    lastMeasure_ = std::chrono::steady_clock::now();
    timeModel_.Progress(std::chrono::duration<double>(lastMeasure_ - runStart_).count(), runBar_.position,
                        filesVerified_);
}

void TransferRun::PhotoEnded(std::int64_t bytesNotSent, int filesNotSent) {
    runBar_.base += std::max<std::int64_t>(bytesNotSent, 0);
    filesLeft_ -= filesNotSent;
    ShowRunBar();
}

void TransferRun::ShowProgress(const RunSession& session) {
    if (&session == shown_) observer_.ShowPhotoProgress(session.photoBar.position, session.photoBar.range);
    ShowRunBar();
}

void TransferRun::ShowRunBar() {
    std::int64_t underWay = 0;
    for (const auto& session : sessions_) underWay += session->fileBytes;
    runBar_.Work(underWay);
    observer_.ShowRunProgress(runBar_.position, runBar_.range);
}

void TransferRun::CloseSessions() {
    if (WalkMustEnd()) sessionsEnd_ = true;
    auto underWay = [&] {
        return std::any_of(sessions_.begin(), sessions_.end(), [](const auto& s) { return s->package.has_value(); });
    };
    while (underWay()) {
        Pump(kPollInterval);
        if (stopPressed_) sessionsEnd_ = true;
    }
    sessionsEnd_ = true;  // a session still logging in gives up
    sessions_.clear();    // each waits for its thread
    events_.Take(std::chrono::milliseconds(0));  // a late "ready" or pause of no use now
    shown_ = nullptr;
    sessionSetup_.reset();
}

void TransferRun::ReportPhotosLeftQueued() {
    for (int i = 0; i < albums_.Count(); ++i) {
        const TJobList& jobs = albums_.Items(i).Jobs();
        for (int j = jobs.Count() - 1; j >= 0; --j) {
            const std::string& name = jobs.Items(j).FileName;
            // A photo the user deleted or moved meanwhile was never the run's to send.
            if (report_.Names(name) || (config_.claims && config_.claims->LeftOut(jobs.Items(j).WorkPath))) continue;
            report_.leftByEarlyEnd.push_back(name);
        }
    }
}

}  // namespace vantrel
