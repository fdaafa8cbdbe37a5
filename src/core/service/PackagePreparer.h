#pragma once
// Prepares the photos of a transfer run one ahead: while the package of one photo is stored
// and verified, a worker decodes the next photo, makes its copies and digests. Two sets of
// temporary copy files are used in turn, so that the copies being sent are never overwritten.

#include <array>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/imaging/ImageWorkspace.h"
#include "core/service/PreparedPhoto.h"

namespace vantrel {

class TAlbum;
class TAlbumList;
struct TRemoteSettings;
struct TTransferConfig;
struct TUploadImaging;

struct TCopyFiles {
    std::string scaledPath;
    std::string thumbPath;
};

class TPackagePreparer {
public:
    // `imaging.prepare` must be set; `request` gives the list of refused codes and the copy
    // sizes (its paths are ignored). The slots are the two sets of temporary copy files.
    TPackagePreparer(const TUploadImaging& imaging, TPhotoRequest request, std::array<TCopyFiles, 2> slots);
    // Waits for the worker, so that no file is written after the run deleted it.
    ~TPackagePreparer();
    TPackagePreparer(const TPackagePreparer&) = delete;
    TPackagePreparer& operator=(const TPackagePreparer&) = delete;

    // Starts preparing the photo `workPath` on the worker; a preparation not taken is dropped.
    // Call only after the photo last taken is no longer needed but for its storing.
    void Prefetch(const std::string& workPath);

    // The preparation of `workPath`: the one started ahead when it is for this photo, else one
    // started now. `pump` runs every 20 ms while waiting; nothing is returned once `stopped`
    // says so (the worker finishes in the background and is waited for at destruction).
    std::optional<TPreparedPhoto> Take(const std::string& workPath, const std::function<void()>& pump,
                                       const std::function<bool()>& stopped);

private:
    void Start(const std::string& workPath);

    const TUploadImaging& imaging_;
    TPhotoRequest request_;
    std::array<TCopyFiles, 2> slots_;
    int nextSlot_ = 0;
    ImageWorkspace workspace_;  // used only by the worker, one preparation at a time
    std::string pendingPath_;
    std::future<TPreparedPhoto> pending_;
};

// The run's preparer: two more temporary copy files are made in the work folder and added to
// `temporaryFiles` (which must hold the run's scaled, thumbnail and sidecar files, in that
// order). Throws TFileWriteError when a file cannot be made.
std::unique_ptr<TPackagePreparer> MakePreparer(const TTransferConfig& config, std::vector<std::string>& temporaryFiles);

// Starts preparing the photo the album walk sends after the one at `index` (the walk goes from
// the last photo to the first), skipping photos refused for their size.
void PrefetchNext(TPackagePreparer& preparer, const TAlbum& album, int index, const TRemoteSettings& settings);
// Starts preparing the first photo the run sends, so that its decode overlaps the connection.
void PrefetchFirst(TPackagePreparer& preparer, const TAlbumList& albums, const TRemoteSettings& settings);

}  // namespace vantrel
