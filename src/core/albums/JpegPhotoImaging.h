#pragma once
// Photo intake's image operations done with the program's JPEG codec on a shared workspace.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/albums/PhotoImaging.h"
#include "core/imaging/ImageWorkspace.h"
#include "core/imaging/RgbBitmap.h"

namespace vantrel {

class JpegPhotoImaging : public PhotoImaging {
public:
    // Appends a 96 x 96 tile to the content image list and returns its index there.
    using AddTileFn = std::function<std::expected<int, std::string>(const RgbBitmap& tile)>;

    // `workspace` is the shared one of the window (no other image operation may run during a
    // call); `quality` gives the CompRate setting at the time of each re-encode (80 when empty).
    JpegPhotoImaging(ImageWorkspace& workspace, std::function<int()> quality, AddTileFn addTile);

    std::uint32_t FileSizeOf(const std::string& path) override;
    PhotoLoad LoadPhoto(const std::string& path) override;
    std::expected<void, std::string> StoreWorkingCopy(const std::string& source, const std::string& destination) override;
    std::expected<int, std::string> AddContentTile() override;

    // For callers that keep no tiles (the command-line send): a photo is judged by the browser's
    // reduced decode, which falls back to a full decode when the reduced one fails, so that a
    // queued 24 MP photo costs a fraction of a full decode. AddContentTile then hands over a
    // tile of no use. Photos named to LookAhead are judged ahead on a thread per core (at most
    // four, each with a workspace of its own), so that a long list restores on every core.
    void SetTilesUnused(bool unused) { tilesUnused_ = unused; }
    void LookAhead(const std::vector<std::string>& paths) override;

    ~JpegPhotoImaging() override;

private:
    struct Judges;  // the threads that judge photos ahead, and what they found
    std::unique_ptr<Judges> judges_;
    bool tilesUnused_ = false;
    ImageWorkspace& workspace_;
    std::function<int()> quality_;
    AddTileFn addTile_;
};

}  // namespace vantrel
