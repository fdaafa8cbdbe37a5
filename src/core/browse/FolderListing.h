#pragma once
// Listing the photos of one folder for the thumbnail list: every entry whose name matches
// "*.jp*g" without regard to case, folders included, in the order the file system gives them.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantrel {

// The names found by a listing: starts with room for 256 names and doubles its room whenever
// the count reaches it, so that a folder of any size is listed without a limit.
class FileNames {
public:
    static constexpr std::size_t kInitialRoom = 256;

    FileNames();
    void Clear() { count_ = 0; }
    void Add(std::string name);
    std::size_t Count() const { return count_; }
    std::size_t Room() const { return room_; }
    const std::string& operator[](std::size_t index) const { return names_[index]; }

private:
    std::unique_ptr<std::string[]> names_;
    std::size_t room_ = 0;
    std::size_t count_ = 0;
};

// Lists the entries of `folder` that match the photo pattern (MatchesJpegPattern) into `names`
// (cleared first). `keepGoing` is asked before each entry found; the listing stops when it
// answers false. Returns false when `folder` is no readable folder (the names stay empty).
bool ListPhotoFolder(const std::string& folder, FileNames& names, const std::function<bool()>& keepGoing);

// The full paths of the listed `names` in `folder`, in listing order.
std::vector<std::string> PathsOfListing(const std::string& folder, const FileNames& names);

}  // namespace vantrel
