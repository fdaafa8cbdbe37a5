#include "core/imaging/FileDigest.h"
#include "core/imaging/ImageFileOps.h"
#include "core/service/PhotoPreparation.h"
#include "core/service/UploadPackage.h"

namespace vantrel {

UploadImaging UploadImagingFor(ImageWorkspace& workspace) {
    UploadImaging imaging;
    imaging.digestHex = [](const std::string& path) -> std::expected<std::string, std::string> {
        return DigestToHex(DigestFile(path));
    };
    imaging.isRejected = [&workspace](const std::string& path,
                                      const std::string& rejectedErrors) -> std::expected<bool, std::string> {
        auto rejected = IsRejectedImage(workspace, path, rejectedErrors);
        if (!rejected) {
            // A photo that cannot be opened is refused like one that does not decode; only an
            // unreadable list of codes is an error of the run.
            if (rejected.error().kind == ImageFileError::Kind::BadCodeList) return std::unexpected(rejected.error().message);
            return true;
        }
        return *rejected;
    };
    imaging.saveScaled = [&workspace](const std::string& source, const std::string& target,
                                      int size) -> std::expected<void, WriteError> {
        auto saved = SaveScaledJpeg(workspace, source, target, size);
        if (!saved) {
            const ImageFileError& error = saved.error();
            if (error.kind == ImageFileError::Kind::NoCopy || error.kind == ImageFileError::Kind::Encoder)
                throw CopyNotMadeError(error.message);
            return std::unexpected(WriteFailureOf(error, target));
        }
        return {};
    };
    // The run prepares each photo on a worker with a workspace of its own. Only accepted photos
    // get copies, so the placeholder text of the window's workspace is never needed there.
    imaging.prepare = PreparePhotoInOneDecode;
    return imaging;
}

}  // namespace vantrel
