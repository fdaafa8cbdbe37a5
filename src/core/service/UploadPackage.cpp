#include "core/service/UploadPackage.h"

#include "core/albums/TImageJob.h"
#include "core/imaging/FileDigest.h"
#include "core/service/FtpClient.h"
#include "core/service/SidecarFile.h"
#include "core/service/TRemoteSettings.h"

namespace vantrel {

namespace {

constexpr int kAttempts = 5;

// The reply text up to its first blank; nothing when it has no blank.
std::string FirstWord(const std::string& text) {
    auto blank = text.find(' ');
    return blank == std::string::npos ? std::string() : text.substr(0, blank);
}

}  // namespace

bool IsPhotoSizeAccepted(std::int64_t photoSize, const TRemoteSettings& settings) {
    return photoSize >= static_cast<std::int64_t>(settings.picture_minsize) * 1024 &&
           photoSize <= static_cast<std::int64_t>(settings.picture_maxsize) * 1048576;
}

bool PutVerified(TFtpClient& ftp, const std::string& localPath, const std::string& remoteName,
                 const std::string& folderName, const TUploadImaging& imaging, const std::function<void()>& pump) {
    auto digest = imaging.digestHex(localPath);
    if (!digest) throw TUploadError(digest.error());
    return PutVerifiedDigest(ftp, localPath, remoteName, folderName, *digest, pump);
}

bool PutVerifiedDigest(TFtpClient& ftp, const std::string& localPath, const std::string& remoteName,
                       const std::string& folderName, const std::string& digest, const std::function<void()>& pump) {
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        try {
            ftp.FtpStore(localPath, remoteName);
            if (ftp.LastReply().code / 100 == 2) {
                TFtpReply reply = ftp.FtpQuote("site CHECKSUM " + remoteName);
                if (FirstWord(reply.text) == digest) return true;
            }
        } catch (const TFtpError&) {
            try {
                ftp.FtpDisconnect();
                ftp.FtpConnect();
                ftp.FtpChangeDir(folderName);
            } catch (const TFtpError&) {
                throw TUploadError("");
            }
        }
        if (pump) pump();
    }
    return false;
}

bool SendPhotoPackage(const TPackageContext& context, const TImageJob& job, int photoNumber, std::int32_t albumId) {
    const std::string n = std::to_string(photoNumber);
    auto put = [&](const std::string& local, const std::string& remote) {
        return PutVerified(context.ftp, local, remote, context.folderName, context.imaging, context.pump);
    };
    auto scale = [&](const std::string& target, int size, const std::string& which) {
        try {
            auto saved = context.imaging.saveScaled(job.WorkPath, target, size);
            if (!saved) throw TFileWriteError(saved.error());
        } catch (const TCopyNotMade& notMade) {
            throw TCopyNotMade(which + ": " + notMade.what());
        }
    };
    if (!put(job.WorkPath, n + ".jpg")) return false;
    scale(context.scaledPath, context.settings.size_scaled, "scaled copy");
    if (!put(context.scaledPath, n + ".s.jpg")) return false;
    scale(context.thumbPath, context.settings.size_thumbnail, "thumbnail");
    if (!put(context.thumbPath, n + ".t.jpg")) return false;
    auto written = WriteInfFile(job, context.folderName, context.customerId, albumId, context.settings,
                                context.infPath, context.imaging);
    if (!written) throw TUploadError(written.error());
    return put(context.infPath, n + ".inf");
}

bool SendPreparedPackage(const TPackageContext& context, const TImageJob& job, const TPreparedPhoto& prepared,
                         int photoNumber, std::int32_t albumId) {
    const std::string n = std::to_string(photoNumber);
    auto put = [&](const std::string& local, const std::string& remote, const std::string& digest) {
        return PutVerifiedDigest(context.ftp, local, remote, context.folderName, digest, context.pump);
    };
    auto copy = [](const std::expected<std::string, TWriteFailure>& digest) {
        if (!digest) throw TFileWriteError(digest.error());
        return *digest;
    };
    if (!prepared.copyNotMade.empty()) throw TCopyNotMade(prepared.copyNotMade);
    if (!prepared.photoDigest) throw TUploadError(prepared.photoDigest.error());
    const std::string& photoDigest = *prepared.photoDigest;
    if (!put(job.WorkPath, n + ".jpg", photoDigest)) return false;
    if (!put(prepared.scaledPath, n + ".s.jpg", copy(prepared.scaledDigest))) return false;
    if (!put(prepared.thumbPath, n + ".t.jpg", copy(prepared.thumbDigest))) return false;
    auto written = WriteInfFile(job, context.folderName, context.customerId, albumId, context.settings,
                                context.infPath, photoDigest);
    if (!written) throw TUploadError(written.error());
    return put(context.infPath, n + ".inf", DigestToHex(DigestFile(context.infPath)));
}

}  // namespace vantrel
