#pragma once
// The package of one queued photo on the service's FTP server: the photo n.jpg, its scaled copy
// n.s.jpg, its thumbnail n.t.jpg and its sidecar n.inf, each stored and then verified against the
// MD5 that the server reports, with up to five attempts per file.

#include <cstdint>
#include <expected>
#include <functional>
#include <stdexcept>
#include <string>

#include "core/service/FileWriteError.h"
#include "core/service/PreparedPhoto.h"

namespace vantrel {

class FtpClient;
class TImageJob;
struct ImageWorkspace;
struct TRemoteSettings;

// An error that ends the upload of a package and travels to the transfer run: a failed
// reconnection (empty text), an unreadable list of refused warning codes, a photo that cannot be
// read. A copy or sidecar that cannot be written is a FileWriteError instead.
class UploadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A copy of the photo that could not be made (a size outside 1..10000, no memory for it, an
// encoder failure), as opposed to written: the package fails before anything more is stored,
// the photo stays queued and the run's report names it with this reason. The run goes on.
class CopyNotMadeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The image work that the package needs, passed in so that the upload can be driven without
// decoding photos. UploadImagingFor binds them to the program's image file operations.
struct UploadImaging {
    // MD5 of a file as 32 lower-case hexadecimal digits.
    std::function<std::expected<std::string, std::string>(const std::string& path)> digestHex;
    // True when the photo must not be sent because of its decoding (it fails to decode, or the
    // code of its last decoder warning is in the comma-separated list). An error when an entry
    // of the list is not a whole number.
    std::function<std::expected<bool, std::string>(const std::string& path, const std::string& rejectedErrors)>
        isRejected;
    // Writes the photo scaled to `size` pixels on its longer side as a JPEG at quality 90; a
    // failure names the target file and why it could not be written. Throws CopyNotMadeError when
    // the copy cannot be made.
    std::function<std::expected<void, WriteError>(const std::string& source, const std::string& target, int size)>
        saveScaled;
    // Optional: the acceptance test, both copies and the digests from one decode, on the
    // workspace given (one per thread, so that it may run on a worker). Without it the run
    // works step by step with the functions above, on its own thread.
    std::function<PreparedPhoto(ImageWorkspace& ws, const PhotoRequest& request)> prepare;
};
// The image file operations on `workspace`, which must outlive the result; no other image
// operation may use the workspace while the upload runs.
UploadImaging UploadImagingFor(ImageWorkspace& workspace);

// True when the size lies between picture_minsize KiB and picture_maxsize MiB, both included.
bool IsPhotoSizeAccepted(std::int64_t photoSize, const TRemoteSettings& settings);

// Stores one file under `remoteName` and verifies it: the MD5 of the local file is computed once,
// then up to five times the file is stored and, when the store completed with a code in the
// 200s, "site CHECKSUM name" is asked; the first word of its reply text must equal the digest
// exactly. After an attempt that failed with an error the client reconnects and changes into
// `folderName`. A store of a file of 1 MB or more that broke off (FtpStoreBrokenOffError, also in an
// earlier call) goes on where the server's copy ends (SIZE, then REST) when the server offers
// that; after a wrong checksum the file is sent whole. `pump` runs between attempts, `onAttemptEnd` (may be empty) after
// each attempt, with whether it verified the file.
// Returns false after five failed attempts. Throws UploadError with empty text when the
// reconnection fails, or naming the file when it cannot be read; an FtpProtocolError passes.
bool PutVerified(FtpClient& ftp, const std::string& localPath, const std::string& remoteName,
                 const std::string& folderName, const UploadImaging& imaging, const std::function<void()>& pump,
                 const std::function<void(bool verified)>& onAttemptEnd = {});
// The same with the file's MD5 already known.
bool PutVerifiedDigest(FtpClient& ftp, const std::string& localPath, const std::string& remoteName,
                       const std::string& folderName, const std::string& digest, const std::function<void()>& pump,
                       const std::function<void(bool verified)>& onAttemptEnd = {});

// The files of a package: the photo, its scaled copy, its thumbnail, its sidecar.
inline constexpr int kPackageFiles = 4;

// What SendPhotoPackage needs of the run.
struct PackageContext {
    FtpClient& ftp;
    const TRemoteSettings& settings;
    const UploadImaging& imaging;
    std::function<void()> pump;
    std::string folderName;
    std::string customerId;
    std::string scaledPath;  // the run's three temporary files
    std::string thumbPath;
    std::string infPath;
    std::function<void(bool verified)> onAttemptEnd;  // after each attempt to store a file; may be empty
};

// Sends the package of photo number n in a fixed order, each file made only after the one before
// it was verified: n.jpg, n.s.jpg, n.t.jpg, n.inf. Returns true when all four were verified,
// false at the first file that failed five times. Throws FileWriteError when a copy or the
// sidecar cannot be written, CopyNotMadeError when a copy cannot be made, and what PutVerified throws.
bool SendPhotoPackage(const PackageContext& context, const TImageJob& job, int photoNumber, std::int32_t albumId);

// SendPhotoPackage of a photo whose copies and digests were prepared beforehand: the same files
// in the same order with the same checks; a copy that could not be written ends the run at the
// point where it would have been made. A copy that could not be made throws CopyNotMadeError before
// anything is stored.
bool SendPreparedPackage(const PackageContext& context, const TImageJob& job, const PreparedPhoto& prepared,
                         int photoNumber, std::int32_t albumId);

}  // namespace vantrel
