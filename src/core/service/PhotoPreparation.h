#pragma once
// The upload's work on one photo from a single decode: the acceptance test by the decoder's
// warnings, then the scaled copy and the thumbnail point-sampled from the same upright picture.

#include <cstdint>
#include <initializer_list>

#include "core/imaging/ImageFileError.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/service/PreparedPhoto.h"

namespace vantrel {

// Prepares the photo of `request` on `ws`, which no other thread may use meanwhile. A photo
// that cannot be opened or decoded is refused; an unreadable code list gives the error in
// `rejected`. The copies are written only for an accepted photo, and their bytes are those of
// SaveScaledJpeg of the same photo.
// The failure of a copy as the run reports it: the target and the system's reason.
WriteError WriteFailureOf(const ImageFileError& error, const std::string& target);

// When the workspace shares a budget with others (ws.sharedBudget), the preparation first takes
// its share (PreparationBytes, waiting while the others hold too much), decodes within it, and
// gives it back with the workspace's bitmaps once the copies are written. A photo that fits the
// whole budget alone but not with its copies gets none (copyNotMade says so); the decode's
// codec gets what the share leaves.
PreparedPhoto PreparePhotoInOneDecode(ImageWorkspace& ws, const PhotoRequest& request);

// What preparing a photo holds at most, from its header and file size: the decoded picture (twice
// when it is turned upright by a quarter turn), the codec's buffers (the whole-picture coefficients of a progressive photo, and room for the rest),
// the larger of the two copies (made one after the other in the same bitmap), and the file twice
// (the split decode's second thread holds the photo's bytes and the stream below the cut).
struct PreparationNeed {
    std::uint64_t picture = 0;  // the decoded picture
    std::uint64_t turn = 0;     // the picture again, for a quarter turn upright
    std::uint64_t codec = 0;    // the codec's buffers, at most
    std::uint64_t copy = 0;     // the larger copy's bitmap
    std::uint64_t file = 0;     // the split decode's bytes
    std::uint64_t Total() const { return picture + turn + codec + copy + file; }
};
PreparationNeed PreparationBytes(int width, int height, bool progressive, bool quarterTurn, std::uint64_t fileBytes,
                                 std::initializer_list<int> copySizes);

}  // namespace vantrel
