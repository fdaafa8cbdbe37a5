#include "core/albums/TJpegPhotoImaging.h"

#include <cerrno>
#include <cstdio>

#include "core/imaging/ExifOrientation.h"

#include "core/imaging/FileBytes.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/BrowserThumb.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/Tiles.h"

namespace vantrel {

TJpegPhotoImaging::TJpegPhotoImaging(ImageWorkspace& workspace, std::function<int()> quality, AddTileFn addTile)
    : workspace_(workspace), quality_(std::move(quality)), addTile_(std::move(addTile)) {}

std::uint32_t TJpegPhotoImaging::FileSizeOf(const std::string& path) {
    return static_cast<std::uint32_t>(::vantrel::FileSizeOf(path));
}

TPhotoLoad TJpegPhotoImaging::LoadPhoto(const std::string& path) {
    if (tilesUnused_) {
        TPhotoLoad result;
        const BrowserThumbResult thumb = MakeBrowserThumb(workspace_, path);
        if (thumb == BrowserThumbResult::Tile) {
            result.status = TPhotoLoad::Status::Decoded;
            result.width = workspace_.params.width;
            result.height = workspace_.params.height;
        } else if (std::FILE* file = std::fopen(path.c_str(), "rb"); file == nullptr) {
            result.status = TPhotoLoad::Status::Unreadable;
            result.error = FileErrorFromErrno("cannot open", path, errno).message;
        } else {
            std::fclose(file);
            result.status = TPhotoLoad::Status::Undecodable;
        }
        return result;
    }
    ReadImageHeader(workspace_, path);
    auto loaded = LoadImage(workspace_, path);
    TPhotoLoad result;
    if (!loaded) {
        result.status = TPhotoLoad::Status::Unreadable;
        result.error = loaded.error().message;
    } else if (workspace_.params.failed) {
        result.status = TPhotoLoad::Status::Undecodable;
    } else {
        result.status = TPhotoLoad::Status::Decoded;
        result.width = workspace_.params.width;
        result.height = workspace_.params.height;
    }
    return result;
}

std::expected<void, std::string> TJpegPhotoImaging::StoreWorkingCopy(const std::string& source,
                                                                     const std::string& destination) {
    auto stored = ::vantrel::StoreWorkingCopy(workspace_, source, destination, quality_ ? quality_() : 80);
    if (!stored) return std::unexpected(stored.error().message);
    return {};
}

std::expected<int, std::string> TJpegPhotoImaging::AddContentTile() {
    if (tilesUnused_) return addTile_ ? addTile_(workspace_.workBitmap) : std::unexpected(std::string("no content image list"));
    TurnUpright(workspace_);  // the working copy keeps the photo's orientation; its tile shows upright
    MakeThumbTile(workspace_);
    if (!addTile_) return std::unexpected(std::string("no content image list"));
    return addTile_(workspace_.workBitmap);
}

}  // namespace vantrel
