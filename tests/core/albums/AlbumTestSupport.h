#pragma once
// Shared pieces of the album tests: a scratch folder, French month names, a recorder of
// messages and notifications, and a list wired to an in-memory content list.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/albums/TAlbumList.h"
#include "core/albums/MemoryContentView.h"

#include "core/TempFolder.h"

namespace vantrel::albumtest {

inline MonthNames FrenchMonths() {
    return {"janvier", "février", "mars",      "avril",   "mai",      "juin",
            "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};
}

// A temporary folder addressed without a trailing separator: `folder / "name"`.
class ScratchFolder : public test::TempFolder {
public:
    std::string operator/(const std::string& name) const { return File(name); }
    std::string path() const { return Path().substr(0, Path().size() - 1); }
};

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An album list on an in-memory content list that records what it tells the window.
struct RecordingList {
    MemoryContentView view;
    TAlbumList list{view, FrenchMonths()};
    std::vector<std::string> events;  // "albums", "content:<name>" or "content:-", "msg:<key>"
    std::vector<UserMessage> messages;

    RecordingList() {
        list.OnAlbumsChanged = [this](TAlbumList&) { events.push_back("albums"); };
        list.OnContentChanged = [this](TAlbum* album) {
            events.push_back("content:" + (album ? album->AlbumName() : std::string("-")));
        };
        list.OnMessage = [this](const UserMessage& message) {
            events.push_back("msg:" + message.key);
            messages.push_back(message);
        };
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < list.Count(); ++i) names.push_back(list.Items(i).AlbumName());
        return names;
    }
    std::vector<int> ViewImages() const {
        std::vector<int> images;
        for (auto& item : view.Items()) images.push_back(item.imageIndex);
        return images;
    }
};

}  // namespace vantrel::albumtest
