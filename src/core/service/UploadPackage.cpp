#include "core/service/UploadPackage.h"

#include <filesystem>

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

// Smaller files are simply sent again whole.
constexpr std::int64_t kResumeFrom = 1 << 20;

// Where a store of the file that broke off can go on: the size of what arrived, when the server
// can resume and that is a part of the local file; 0 sends it whole.
std::int64_t ResumeOffset(FtpClient& ftp, const std::string& localPath, const std::string& remoteName) {
    std::error_code error;
    const auto localSize = std::filesystem::file_size(localPath, error);
    if (error || localSize < static_cast<std::uintmax_t>(kResumeFrom) || !ftp.FtpResumeOffered()) return 0;
    const auto arrived = ftp.FtpSize(remoteName);
    if (!arrived || static_cast<std::uintmax_t>(*arrived) > localSize) return 0;
    return *arrived;
}

}  // namespace

bool IsPhotoSizeAccepted(std::int64_t photoSize, const TRemoteSettings& settings) {
    return photoSize >= static_cast<std::int64_t>(settings.picture_minsize) * 1024 &&
           photoSize <= static_cast<std::int64_t>(settings.picture_maxsize) * 1048576;
}

bool PutVerified(FtpClient& ftp, const std::string& localPath, const std::string& remoteName,
                 const std::string& folderName, const UploadImaging& imaging, const std::function<void()>& pump,
                 const std::function<void(bool verified)>& onAttemptEnd) {
    auto digest = imaging.digestHex(localPath);
    if (!digest) throw UploadError(digest.error());
    return PutVerifiedDigest(ftp, localPath, remoteName, folderName, *digest, pump, onAttemptEnd);
}

bool PutVerifiedDigest(FtpClient& ftp, const std::string& localPath, const std::string& remoteName,
                       const std::string& folderName, const std::string& digest, const std::function<void()>& pump,
                       const std::function<void(bool verified)>& onAttemptEnd) {
    bool mismatched = false;  // after a wrong checksum the file goes whole, never resumed
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        try {
            const bool resume = !mismatched && ftp.LastStoreBrokeOff(remoteName);
            ftp.FtpStore(localPath, remoteName, resume ? ResumeOffset(ftp, localPath, remoteName) : 0);
            if (ftp.LastReply().code / 100 == 2) {
                // Whatever the answer, a store follows (this file again or the next one): its
                // data port is asked for in the same round trip.
                FtpReply reply = ftp.FtpQuote("site CHECKSUM " + remoteName, true);
                if (FirstWord(reply.text) == digest) {
                    if (onAttemptEnd) onAttemptEnd(true);
                    return true;
                }
                mismatched = true;
            }
            if (onAttemptEnd) onAttemptEnd(false);
        } catch (const FtpProtocolError&) {
            throw;  // a server that breaks the protocol is not tried again
        } catch (const FtpError&) {
            if (onAttemptEnd) onAttemptEnd(false);
            try {
                ftp.FtpDisconnect();
                ftp.FtpConnect();
                ftp.FtpChangeDir(folderName);
            } catch (const FtpProtocolError&) {
                throw;
            } catch (const FtpError&) {
                throw UploadError("");
            }
        }
        if (pump) pump();
    }
    return false;
}

bool SendPhotoPackage(const PackageContext& context, const TImageJob& job, int photoNumber, std::int32_t albumId) {
    const std::string n = std::to_string(photoNumber);
    auto put = [&](const std::string& local, const std::string& remote) {
        return PutVerified(context.ftp, local, remote, context.folderName, context.imaging, context.pump,
                           context.onAttemptEnd);
    };
    auto scale = [&](const std::string& target, int size, const std::string& which) {
        try {
            auto saved = context.imaging.saveScaled(job.WorkPath, target, size);
            if (!saved) throw FileWriteError(saved.error());
        } catch (const CopyNotMadeError& notMade) {
            throw CopyNotMadeError(which + ": " + notMade.what());
        }
    };
    if (!put(job.WorkPath, n + ".jpg")) return false;
    scale(context.scaledPath, context.settings.size_scaled, "scaled copy");
    if (!put(context.scaledPath, n + ".s.jpg")) return false;
    scale(context.thumbPath, context.settings.size_thumbnail, "thumbnail");
    if (!put(context.thumbPath, n + ".t.jpg")) return false;
    auto written = WriteInfFile(job, context.folderName, context.customerId, albumId, context.settings,
                                context.infPath, context.imaging);
    if (!written) throw UploadError(written.error());
    return put(context.infPath, n + ".inf");
}

bool SendPreparedPackage(const PackageContext& context, const TImageJob& job, const PreparedPhoto& prepared,
                         int photoNumber, std::int32_t albumId) {
    const std::string n = std::to_string(photoNumber);
    auto put = [&](const std::string& local, const std::string& remote, const std::string& digest) {
        return PutVerifiedDigest(context.ftp, local, remote, context.folderName, digest, context.pump,
                                 context.onAttemptEnd);
    };
    auto copy = [](const std::expected<std::string, WriteError>& digest) {
        if (!digest) throw FileWriteError(digest.error());
        return *digest;
    };
    if (!prepared.copyNotMade.empty()) throw CopyNotMadeError(prepared.copyNotMade);
    if (!prepared.photoDigest) throw UploadError(prepared.photoDigest.error());
    const std::string& photoDigest = *prepared.photoDigest;
    if (!put(job.WorkPath, n + ".jpg", photoDigest)) return false;
    if (!put(prepared.scaledPath, n + ".s.jpg", copy(prepared.scaledDigest))) return false;
    if (!put(prepared.thumbPath, n + ".t.jpg", copy(prepared.thumbDigest))) return false;
    auto written = WriteInfFile(job, context.folderName, context.customerId, albumId, context.settings,
                                context.infPath, photoDigest);
    if (!written) throw UploadError(written.error());
    return put(context.infPath, n + ".inf", DigestToHex(DigestFile(context.infPath)));
}

}  // namespace vantrel
