#include "core/retouch/TBitmap32Undo.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace vantrel {

namespace {

constexpr int kBandRows = 16;

bool IsOpaque(const Bitmap32& photo) {
    for (int y = 0; y < photo.Height(); ++y) {
        const std::uint32_t* row = photo.Row(y);
        std::uint32_t all = 0xFFFFFFFFu;
        for (int x = 0; x < photo.Width(); ++x) all &= row[x];
        if ((all >> 24) != 0xFF) return false;
    }
    return true;
}

}  // namespace

TBitmap32Undo::TBitmap32Undo(int levels) : levels_(std::max(levels, 0)) {}

TBitmap32Undo::Snapshot TBitmap32Undo::Pack(const Bitmap32& photo, const Snapshot* newest) const {
    Snapshot s;
    s.width = photo.Width();
    s.height = photo.Height();
    s.opaque = IsOpaque(photo);
    const bool comparable = newest && newest->width == s.width && newest->height == s.height &&
                            newest->opaque == s.opaque;
    const std::size_t bpp = s.opaque ? 3 : 4;
    std::vector<std::uint8_t> buffer;
    for (int top = 0, index = 0; top < s.height; top += kBandRows, ++index) {
        const int rows = std::min(kBandRows, s.height - top);
        buffer.resize(std::size_t(rows) * s.width * bpp);
        std::uint8_t* out = buffer.data();
        for (int y = top; y < top + rows; ++y) {
            const std::uint32_t* row = photo.Row(y);
            if (s.opaque) {
                for (int x = 0; x < s.width; ++x, out += 3) {
                    out[0] = std::uint8_t(row[x]);
                    out[1] = std::uint8_t(row[x] >> 8);
                    out[2] = std::uint8_t(row[x] >> 16);
                }
            } else {
                std::memcpy(out, row, std::size_t(s.width) * 4);
                out += std::size_t(s.width) * 4;
            }
        }
        if (comparable && *newest->bands[index] == buffer)
            s.bands.push_back(newest->bands[index]);
        else
            s.bands.push_back(std::make_shared<const std::vector<std::uint8_t>>(buffer));
    }
    return s;
}

void TBitmap32Undo::Unpack(const Snapshot& s, Bitmap32& photo) {
    photo.Resize(s.width, s.height);
    for (int top = 0, index = 0; top < s.height; top += kBandRows, ++index) {
        const int rows = std::min(kBandRows, s.height - top);
        const std::uint8_t* in = s.bands[index]->data();
        for (int y = top; y < top + rows; ++y) {
            std::uint32_t* row = photo.Row(y);
            if (s.opaque) {
                for (int x = 0; x < s.width; ++x, in += 3)
                    row[x] = 0xFF000000u | (std::uint32_t(in[2]) << 16) | (std::uint32_t(in[1]) << 8) | in[0];
            } else {
                std::memcpy(row, in, std::size_t(s.width) * 4);
                in += std::size_t(s.width) * 4;
            }
        }
    }
}

void TBitmap32Undo::Save(const Bitmap32& photo) {
    if (levels_ == 0) return;
    Snapshot s = Pack(photo, slots_.empty() ? nullptr : &slots_.front());
    if (int(slots_.size()) == levels_) slots_.pop_back();
    slots_.push_front(std::move(s));
}

bool TBitmap32Undo::Restore(Bitmap32& photo) {
    if (slots_.empty()) return false;
    Unpack(slots_.front(), photo);
    slots_.pop_front();
    return true;
}

std::size_t TBitmap32Undo::BytesHeld() const {
    std::unordered_set<const void*> seen;
    std::size_t bytes = 0;
    for (const Snapshot& s : slots_)
        for (const Band& band : s.bands)
            if (seen.insert(band.get()).second) bytes += band->size();
    return bytes;
}

}  // namespace vantrel
