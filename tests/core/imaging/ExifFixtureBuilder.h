#pragma once
// Builds small EXIF blocks and JPEG heads byte by byte for the reader's tests.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/imaging/TimgData.h"

namespace exif_fixture {

// One directory entry. The value is either `bytes` (inline when at most 4, else in the data
// area), a `blob` made once its offset is known (a maker note, a sub-directory), or a raw
// 4-byte `field` written as it stands.
struct Entry {
    std::uint16_t tag = 0;
    std::uint16_t format = 0;
    std::uint32_t count = 0;
    std::string bytes;
    std::function<std::string(std::uint32_t offset)> blob;
    bool blobIsLink = false;  // the field holds the blob's offset (a sub-directory link)
    std::optional<std::uint32_t> field;
};

inline Entry MakeEntry(std::uint16_t tag, std::uint16_t format, std::uint32_t count, std::string bytes = {}) {
    Entry e;
    e.tag = tag;
    e.format = format;
    e.count = count;
    e.bytes = std::move(bytes);
    return e;
}

// Encodes numbers, entries and directories in one byte order.
struct Tiff {
    bool motorola = true;

    std::string U16(std::uint32_t v) const {
        std::string s(2, '\0');
        for (int i = 0; i < 2; ++i) s[motorola ? 1 - i : i] = static_cast<char>(v >> (8 * i));
        return s;
    }
    std::string U32(std::uint32_t v) const {
        std::string s(4, '\0');
        for (int i = 0; i < 4; ++i) s[motorola ? 3 - i : i] = static_cast<char>(v >> (8 * i));
        return s;
    }
    Entry Ascii(std::uint16_t tag, const std::string& text) const {
        return MakeEntry(tag, 2, std::uint32_t(text.size() + 1), text + std::string(1, '\0'));
    }
    Entry Undefined(std::uint16_t tag, const std::string& bytes) const {
        return MakeEntry(tag, 7, std::uint32_t(bytes.size()), bytes);
    }
    Entry Bytes(std::uint16_t tag, std::uint16_t format, const std::string& bytes) const {
        return MakeEntry(tag, format, std::uint32_t(bytes.size()), bytes);
    }
    Entry Short(std::uint16_t tag, std::vector<std::uint32_t> values, std::uint16_t format = 3) const {
        std::string s;
        for (auto v : values) s += U16(v);
        return MakeEntry(tag, format, std::uint32_t(values.size()), s);
    }
    Entry Long(std::uint16_t tag, std::vector<std::uint32_t> values, std::uint16_t format = 4) const {
        std::string s;
        for (auto v : values) s += U32(v);
        return MakeEntry(tag, format, std::uint32_t(values.size()), s);
    }
    Entry Rational(std::uint16_t tag, std::vector<std::pair<std::int64_t, std::int64_t>> values,
                   std::uint16_t format = 5) const {
        std::string s;
        for (auto [n, d] : values) s += U32(std::uint32_t(n)) + U32(std::uint32_t(d));
        return MakeEntry(tag, format, std::uint32_t(values.size()), s);
    }
    Entry Raw(std::uint16_t tag, std::uint16_t format, std::uint32_t count, std::uint32_t field) const {
        Entry e = MakeEntry(tag, format, count);
        e.field = field;
        return e;
    }
    Entry SubDirectory(std::uint16_t tag, std::vector<Entry> entries) const {
        Entry e = MakeEntry(tag, 4, 1);
        e.blobIsLink = true;
        e.blob = [this_ = *this, entries](std::uint32_t offset) { return this_.Directory(entries, offset); };
        return e;
    }
    // A value made once its offset (from the TIFF header) is known, e.g. a maker note.
    Entry Placed(std::uint16_t tag, std::uint16_t format, std::function<std::string(std::uint32_t)> make) const {
        Entry e = MakeEntry(tag, format, 0);
        e.blob = std::move(make);
        return e;
    }

    // A directory that will lie at `selfOffset` (as its value offsets count), followed by its
    // data area. `nextLink` adds the 4-byte link to a following directory (always 0).
    std::string Directory(std::vector<Entry> entries, std::uint32_t selfOffset, bool nextLink = true) const {
        const std::uint32_t head = 2 + 12 * std::uint32_t(entries.size()) + (nextLink ? 4 : 0);
        std::string table = U16(std::uint32_t(entries.size())), data;
        for (Entry& e : entries) {
            const std::uint32_t here = selfOffset + head + std::uint32_t(data.size());
            std::string fieldBytes;
            if (e.field) {
                fieldBytes = U32(*e.field);
            } else if (e.blob && e.blobIsLink) {
                fieldBytes = U32(here);
                data += e.blob(here);
            } else {
                if (e.blob) {
                    e.bytes = e.blob(here);
                    e.count = std::uint32_t(e.bytes.size());
                }
                if (e.bytes.size() <= 4) {
                    fieldBytes = e.bytes + std::string(4 - e.bytes.size(), '\0');
                } else {
                    fieldBytes = U32(here);
                    data += e.bytes;
                }
            }
            table += U16(e.tag) + U16(e.format) + U32(e.count) + fieldBytes;
        }
        if (nextLink) table += U32(0);
        return table + data;
    }

    // A TIFF block: header, then IFD0 at offset 8.
    std::string Block(std::vector<Entry> ifd0) const {
        return std::string(motorola ? "MM" : "II") + U16(42) + U32(8) + Directory(std::move(ifd0), 8);
    }
};

// A JPEG segment: 0xFF, the marker, the big-endian length, the payload.
inline std::string Segment(std::uint8_t marker, const std::string& payload) {
    const std::size_t length = payload.size() + 2;
    return std::string{char(0xFF), char(marker), char(length >> 8), char(length & 0xFF)} + payload;
}

inline std::string ExifSegment(const std::string& tiffBlock) {
    return Segment(0xE1, std::string("Exif\0\0", 6) + tiffBlock);
}

// A JPEG head: start marker, the segments, then a start-of-scan segment and a little picture data.
inline std::string Jpeg(const std::vector<std::string>& segments) {
    std::string out = "\xFF\xD8";
    for (const auto& s : segments) out += s;
    out += Segment(0xDA, std::string(10, '\0')) + std::string("\x12\x34\xFF\xD9", 4);
    return out;
}

inline bool Scan(vantrel::TimgData& scan, const std::string& jpeg) {
    return scan.ScanBuffer({reinterpret_cast<const std::uint8_t*>(jpeg.data()), jpeg.size()});
}

}  // namespace exif_fixture
