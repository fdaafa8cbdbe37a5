#include "core/browse/FolderListing.h"

#include <dirent.h>

#include <utility>

namespace vantrel {

namespace {
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool MatchesPhotoPattern(std::string_view name) {
    // "*" ".jp" "*" "g": the name ends in "g" and holds ".jp" somewhere before that last letter.
    if (name.size() < 4 || Lower(name.back()) != 'g') return false;
    for (std::size_t i = 0; i + 3 < name.size(); ++i)
        if (name[i] == '.' && Lower(name[i + 1]) == 'j' && Lower(name[i + 2]) == 'p') return true;
    return false;
}

TFileNames::TFileNames() : names_(new std::string[kInitialRoom]), room_(kInitialRoom) {}

void TFileNames::Add(std::string name) {
    names_[count_++] = std::move(name);
    if (count_ == room_) {
        auto bigger = std::make_unique<std::string[]>(room_ * 2);
        for (std::size_t i = 0; i < count_; ++i) bigger[i] = std::move(names_[i]);
        names_ = std::move(bigger);
        room_ *= 2;
    }
}

bool ListPhotoFolder(const std::string& folder, TFileNames& names, const std::function<bool()>& keepGoing) {
    names.Clear();
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return false;
    while (keepGoing()) {
        const dirent* entry = readdir(dir);
        if (entry == nullptr) break;
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") continue;
        if (MatchesPhotoPattern(name)) names.Add(std::string(name));
    }
    closedir(dir);
    return true;
}

}  // namespace vantrel
