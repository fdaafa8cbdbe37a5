#include "core/albums/JpegPhotoImaging.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <future>
#include <thread>
#include <unordered_map>

#include "core/imaging/ExifOrientation.h"

#include "core/imaging/FileBytes.h"
#include "core/imaging/ImageFileOps.h"
#include "core/imaging/BrowserThumb.h"
#include "core/imaging/JpegDecoder.h"
#include "core/imaging/Tiles.h"

namespace vantrel {

namespace {

// Whether the photo decodes, and its size, from the browser's reduced decode (see SetTilesUnused).
PhotoLoad JudgeWithoutTile(ImageWorkspace& ws, const std::string& path) {
    PhotoLoad result;
    if (MakeBrowserThumb(ws, path) == BrowserThumbResult::Tile) {
        result.status = PhotoLoad::Status::Decoded;
        result.width = ws.params.width;
        result.height = ws.params.height;
    } else if (std::FILE* file = std::fopen(path.c_str(), "rb"); file == nullptr) {
        result.status = PhotoLoad::Status::Unreadable;
        result.error = FileErrorFromErrno("cannot open", path, errno).message;
    } else {
        std::fclose(file);
        result.status = PhotoLoad::Status::Undecodable;
    }
    return result;
}

}  // namespace

struct JpegPhotoImaging::Judges {
    std::vector<std::string> paths;
    std::vector<std::promise<PhotoLoad>> found;
    std::unordered_map<std::string, std::future<PhotoLoad>> waiting;  // by path, until taken
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;

    ~Judges() {
        stop = true;
        for (auto& thread : threads) thread.join();
    }
    void Work() {
        ImageWorkspace ws;
        for (std::size_t i = next++; i < paths.size() && !stop; i = next++) found[i].set_value(JudgeWithoutTile(ws, paths[i]));
    }
};

JpegPhotoImaging::JpegPhotoImaging(ImageWorkspace& workspace, std::function<int()> quality, AddTileFn addTile)
    : workspace_(workspace), quality_(std::move(quality)), addTile_(std::move(addTile)) {}

JpegPhotoImaging::~JpegPhotoImaging() = default;

void JpegPhotoImaging::LookAhead(const std::vector<std::string>& paths) {
    if (!tilesUnused_ || paths.empty()) return;
    judges_.reset();
    judges_ = std::make_unique<Judges>();
    judges_->paths = paths;
    judges_->found.resize(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) judges_->waiting.try_emplace(paths[i], judges_->found[i].get_future());
    const unsigned cores = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    for (unsigned t = 0; t < std::min<std::size_t>(cores, paths.size()); ++t)
        judges_->threads.emplace_back([judges = judges_.get()] { judges->Work(); });
}

std::uint32_t JpegPhotoImaging::FileSizeOf(const std::string& path) {
    return static_cast<std::uint32_t>(::vantrel::FileSizeOf(path));
}

PhotoLoad JpegPhotoImaging::LoadPhoto(const std::string& path) {
    if (tilesUnused_) {
        if (judges_) {
            if (auto ahead = judges_->waiting.find(path); ahead != judges_->waiting.end()) {
                PhotoLoad result = ahead->second.get();
                judges_->waiting.erase(ahead);
                return result;
            }
        }
        return JudgeWithoutTile(workspace_, path);
    }
    ReadImageHeader(workspace_, path);
    const DecodeResult loaded = LoadImage(workspace_, path);
    PhotoLoad result;
    if (loaded.outcome == DecodeOutcome::Unreadable) {
        result.status = PhotoLoad::Status::Unreadable;
        result.error = loaded.error.message;
    } else if (!loaded.HasPicture()) {
        result.status = PhotoLoad::Status::Undecodable;
    } else {
        result.status = PhotoLoad::Status::Decoded;
        result.width = workspace_.params.width;
        result.height = workspace_.params.height;
    }
    return result;
}

std::expected<void, std::string> JpegPhotoImaging::StoreWorkingCopy(const std::string& source,
                                                                    const std::string& destination) {
    auto stored = ::vantrel::StoreWorkingCopy(workspace_, source, destination, quality_ ? quality_() : 80);
    if (!stored) return std::unexpected(stored.error().message);
    return {};
}

std::expected<int, std::string> JpegPhotoImaging::AddContentTile() {
    if (tilesUnused_) return addTile_ ? addTile_(workspace_.workBitmap) : std::unexpected(std::string("no content image list"));
    TurnUpright(workspace_);  // the working copy keeps the photo's orientation; its tile shows upright
    MakeThumbTile(workspace_);
    if (!addTile_) return std::unexpected(std::string("no content image list"));
    return addTile_(workspace_.workBitmap);
}

}  // namespace vantrel
