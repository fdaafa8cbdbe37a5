#pragma once
// Where a decoder stops reading a photo whose one scan starts at `dataOffset`: just past the
// end-of-image marker that follows the scan (segments between them are walked over, as the
// decoder walks them), so that what follows the photo (the video of a "motion photo", say) need
// not be read. It is given the bytes read so far, again as more arrive, and goes on from where it
// stopped.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace vantrel {

class ImageEndFinder {
public:
    explicit ImageEndFinder(std::size_t dataOffset) : pos_(dataOffset) {}
    // The offset just past the end-of-image marker; nothing while `bytes` do not reach it.
    std::optional<std::size_t> Find(std::span<const std::uint8_t> bytes);

private:
    std::size_t pos_;
    bool inScan_ = true;
};

}  // namespace vantrel
