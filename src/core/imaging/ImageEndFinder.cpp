#include "core/imaging/ImageEndFinder.h"

#include <cstring>

namespace vantrel {

std::optional<std::size_t> ImageEndFinder::Find(std::span<const std::uint8_t> bytes) {
    while (pos_ < bytes.size()) {
        const void* found = std::memchr(bytes.data() + pos_, 0xFF, bytes.size() - pos_);
        if (found == nullptr) {
            pos_ = bytes.size();
            return std::nullopt;
        }
        std::size_t at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - bytes.data());
        while (at + 1 < bytes.size() && bytes[at + 1] == 0xFF) ++at;  // fill bytes
        if (at + 1 >= bytes.size()) {
            pos_ = at;  // the marker's second byte is still to come
            return std::nullopt;
        }
        const std::uint8_t marker = bytes[at + 1];
        const bool standalone = marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
        if (inScan_ && (marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7))) {
            pos_ = at + 2;  // a stuffed zero or a restart marker: the scan goes on
            continue;
        }
        inScan_ = false;
        if (marker == 0xD9) return at + 2;
        if (standalone) {
            pos_ = at + 2;
            continue;
        }
        if (at + 4 > bytes.size()) {
            pos_ = at;  // the segment's length is still to come
            return std::nullopt;
        }
        pos_ = at + 2 + (std::size_t(bytes[at + 2]) << 8 | bytes[at + 3]);
        inScan_ = marker == 0xDA;  // another scan's data follows its header
    }
    return std::nullopt;
}

}  // namespace vantrel
