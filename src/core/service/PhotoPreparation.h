#pragma once
// The upload's work on one photo from a single decode: the acceptance test by the decoder's
// warnings, then the scaled copy and the thumbnail point-sampled from the same upright picture.

#include "core/imaging/ImageFileError.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/service/PreparedPhoto.h"

namespace vantrel {

// Prepares the photo of `request` on `ws`, which no other thread may use meanwhile. A photo
// that cannot be opened or decoded is refused; an unreadable code list gives the error in
// `rejected`. The copies are written only for an accepted photo, and their bytes are those of
// SaveScaledJpeg of the same photo.
// The failure of a copy as the run reports it: the target and the system's reason.
TWriteFailure WriteFailureOf(const ImageFileError& error, const std::string& target);

TPreparedPhoto PreparePhotoInOneDecode(ImageWorkspace& ws, const TPhotoRequest& request);

}  // namespace vantrel
