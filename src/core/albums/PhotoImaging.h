#pragma once
// The image operations that photo intake needs, behind one small interface so that intake
// is independent of the codec's shared objects. Calls come in this order for one photo:
// LoadPhoto, then (when copying) StoreWorkingCopy, then AddContentTile.

#include <cstdint>
#include <expected>
#include <string>
#include <vector>

namespace vantrel {

struct PhotoLoad {
    enum class Status {
        Decoded,      // the whole photo was decoded (decoder warnings included)
        Undecodable,  // not a JPEG or damaged beyond recovery
        Unreadable,   // the file could not be opened or read
    };
    Status status = Status::Unreadable;
    std::int32_t width = 0;   // full-size width, when decoded
    std::int32_t height = 0;  // full-size height, when decoded
    std::string error;        // cause, when unreadable
};

class PhotoImaging {
public:
    virtual ~PhotoImaging() = default;

    // Size of the file in bytes (the low 32 bits), 0 when there is no such file.
    virtual std::uint32_t FileSizeOf(const std::string& path) = 0;
    // Reads the header and decodes the whole photo, keeping the picture for the calls below.
    virtual PhotoLoad LoadPhoto(const std::string& path) = 0;
    // Writes the working copy of the photo just loaded from `source` to `destination`: a byte
    // copy, or for a four-component JPEG the decoded picture re-encoded at the working quality.
    // Fails when the source cannot be read or the destination written.
    virtual std::expected<void, std::string> StoreWorkingCopy(const std::string& source,
                                                              const std::string& destination) = 0;
    // Makes the 96 x 96 tile of the photo just loaded and appends it to the content image list;
    // returns its index there, or an error when the list refuses it.
    virtual std::expected<int, std::string> AddContentTile() = 0;
    // The photos that LoadPhoto will be asked for next, in that order, with no copy or tile of
    // them to make: an implementation may judge them ahead, on other threads.
    virtual void LookAhead(const std::vector<std::string>& paths) { (void)paths; }
};

}  // namespace vantrel
