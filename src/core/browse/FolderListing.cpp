#include "core/browse/FolderListing.h"

#include <dirent.h>

#include <string_view>
#include <utility>

#include "core/imaging/JpegNamePattern.h"

namespace vantrel {

FileNames::FileNames() : names_(new std::string[kInitialRoom]), room_(kInitialRoom) {}

void FileNames::Add(std::string name) {
    names_[count_++] = std::move(name);
    if (count_ == room_) {
        auto bigger = std::make_unique<std::string[]>(room_ * 2);
        for (std::size_t i = 0; i < count_; ++i) bigger[i] = std::move(names_[i]);
        names_ = std::move(bigger);
        room_ *= 2;
    }
}

bool ListPhotoFolder(const std::string& folder, FileNames& names, const std::function<bool()>& keepGoing) {
    names.Clear();
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return false;
    while (keepGoing()) {
        const dirent* entry = readdir(dir);
        if (entry == nullptr) break;
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") continue;
        if (MatchesJpegPattern(name)) names.Add(std::string(name));
    }
    closedir(dir);
    return true;
}

std::vector<std::string> PathsOfListing(const std::string& folder, const FileNames& names) {
    const std::string prefix = (!folder.empty() && folder.back() == '/') ? folder : folder + "/";
    std::vector<std::string> paths;
    paths.reserve(names.Count());
    for (std::size_t i = 0; i < names.Count(); ++i) paths.push_back(prefix + names[i]);
    return paths;
}

}  // namespace vantrel
