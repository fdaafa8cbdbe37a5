// The parts of the transfer run that ride out a lost connection and name what stayed queued.
#include "core/albums/TAlbum.h"
#include "core/albums/TAlbumList.h"
#include "core/albums/TImageJob.h"
#include "core/service/ConnectionRecovery.h"
#include "core/service/FtpClient.h"
#include "core/service/TransferRun.h"

namespace vantrel {

bool TTransferRun::SendPhotoRecovering(const TPackageContext& context, const TImageJob& job,
                                       const std::function<bool()>& send) {
    const std::int64_t runPositionBefore = runBar_.position;
    bool again = false;
    return recovery_->Retry([&] {
        if (again) {
            // The package starts again from its first file, under the same number, in the same
            // folder: files stored before the loss are simply replaced.
            runBar_.position = runBar_.base = runPositionBefore;
            photoBar_.Reset(job.PackageSize);
            observer_.ShowPhotoProgress(0, photoBar_.range);
            observer_.ShowRunProgress(runBar_.position, runBar_.range);
            context.ftp.FtpDisconnect();
            context.ftp.FtpConnect();
            context.ftp.FtpChangeDir(context.folderName);
        }
        again = true;
        return send();
    });
}

void TTransferRun::ReportPhotosLeftQueued() {
    for (int i = 0; i < albums_.Count(); ++i) {
        const TJobList& jobs = albums_.Items(i).Jobs();
        for (int j = jobs.Count() - 1; j >= 0; --j) {
            const std::string& name = jobs.Items(j).FileName;
            if (report_.Names(name)) continue;
            report_.leftByEarlyEnd.push_back(name);
        }
    }
}

}  // namespace vantrel
