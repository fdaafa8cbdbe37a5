#include "core/albums/PhotoIntake.h"

#include "core/albums/DuplicateContent.h"
#include "core/imaging/JpegNamePattern.h"

#include <filesystem>
#include <system_error>

namespace vantrel {

namespace {

bool Exists(const std::string& path) {
    std::error_code error;
    // A dangling link counts as taken, so that a working copy is never written through it.
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found &&
           !error;
}

std::string ExtensionOf(const std::string& name) {
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace

std::string FileNameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

PhotoIntake::PhotoIntake(TAlbumList& albums, PhotoImaging& imaging, std::string workFolder, MonthNames userMonths)
    : albums_(albums), imaging_(imaging), workFolder_(std::move(workFolder)), userMonths_(std::move(userMonths)) {
    if (workFolder_.empty() || workFolder_.back() != '/') workFolder_ += '/';
}

TAlbum* PhotoIntake::DefaultAlbum() {
    const int index = albums_.DefaultAlbumIndex;
    if (index >= 0 && index < albums_.Count()) return &albums_.Items(index);
    const bool first = albums_.Count() == 0;
    const std::string name = DefaultAlbumName(userMonths_, Hooks.Today ? Hooks.Today() : LocalToday());
    int day = albums_.IndexOfName(name);
    if (day < 0) day = albums_.AddAlbum(name, 0);
    if (day < 0) return nullptr;
    albums_.DefaultAlbumIndex = day;
    if (first) albums_.SelectAlbum(day);
    return &albums_.Items(day);
}

bool PhotoIntake::AddPhotoToAlbum(int albumIndex, const std::string& sourcePath) {
    if (albumIndex < 0 && albums_.Count() == 0) {
        TAlbum* created = DefaultAlbum();
        albumIndex = created ? albums_.IndexOfAlbum(created) : -1;
    }
    if (albumIndex < 0 || albumIndex >= albums_.Count()) return false;
    return IntakePhoto(sourcePath, MakeWorkingName(sourcePath), true, albums_.Items(albumIndex));
}

std::string PhotoIntake::MakeWorkingName(const std::string& sourcePath) const {
    std::string name = FileNameOf(sourcePath);
    // A line break or TAB in a name would break the line of the transfer list file.
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
    std::string ext = ExtensionOf(name);
    std::string stem = name.substr(0, name.size() - ext.size());
    std::string candidate = workFolder_ + name;
    for (int n = 1; Exists(candidate); ++n) candidate = workFolder_ + stem + "_" + std::to_string(n) + ext;
    return candidate;
}

bool PhotoIntake::IntakePhoto(const std::string& sourcePath, const std::string& workPath, bool makeCopy,
                              TAlbum& album) {
    const std::string shownName = FileNameOf(sourcePath);
    bool copyWritten = false;
    auto refuse = [&](const char* key) {
        // A copy this call wrote is nobody's: no photo refers to it.
        if (copyWritten) std::remove(workPath.c_str());
        albums_.ShowMessage({key, {shownName}});
        return false;
    };
    try {
        if (makeCopy && Hooks.ConfirmSameContent && IsQueuedContent(albums_, sourcePath) &&
            !Hooks.ConfirmSameContent(shownName))
            return false;
        auto size = static_cast<std::int32_t>(imaging_.FileSizeOf(sourcePath));
        PhotoLoad load = imaging_.LoadPhoto(sourcePath);
        if (load.status == PhotoLoad::Status::Undecodable) return refuse("BadNoTransfer");
        if (load.status != PhotoLoad::Status::Decoded) return refuse("BadPictErr");
        if (makeCopy) {
            bool existed = Exists(workPath);
            auto stored = imaging_.StoreWorkingCopy(sourcePath, workPath);
            copyWritten = !existed && Exists(workPath);
            if (!stored) return refuse("BadPictErr");
            size = static_cast<std::int32_t>(imaging_.FileSizeOf(workPath));
        }
        std::string caption = Hooks.FormatCaption ? Hooks.FormatCaption(workPath, size, load.width, load.height)
                                                  : FileNameOf(workPath);
        auto tile = imaging_.AddContentTile();
        if (!tile) return refuse("BadPictErr");
        copyWritten = false;  // from here on the copy belongs to the queued photo
        album.AddJob(sourcePath, workPath, *tile, size, load.height, load.width, FileNameOf(workPath), caption);
        return true;
    } catch (...) {
        return refuse("BadPictErr");
    }
}

int PhotoIntake::DropFiles(const std::vector<std::string>& names) {
    if (Hooks.BeginBusy) Hooks.BeginBusy(static_cast<int>(names.size()));
    int queued = 0;
    for (const std::string& name : names) {
        queued += DropFile(name, albums_.CurrentAlbum()) ? 1 : 0;
        if (Hooks.StepProgress) Hooks.StepProgress();
    }
    if (Hooks.SaveTransferList) Hooks.SaveTransferList();
    if (Hooks.EndBusy) Hooks.EndBusy();
    return queued;
}

bool PhotoIntake::DropFile(const std::string& name, TAlbum* album) {
    std::error_code error;
    const bool isFolder = std::filesystem::is_directory(name, error);
    if (!HasJpegExtension(FileNameOf(name)) || isFolder || album == nullptr) return false;
    return IntakePhoto(name, MakeWorkingName(name), true, *album);
}

}  // namespace vantrel
