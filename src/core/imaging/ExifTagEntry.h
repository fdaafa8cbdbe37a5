#pragma once
// One entry of an EXIF block as the reader keeps it: a row of a tag table (number, name, decode
// list, display format, decoder) copied and filled with what the file holds for it.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vantrel {

// TIFF and EXIF value formats.
enum ExifFormat : std::uint16_t {
    kExifByte = 1,
    kExifAscii = 2,
    kExifShort = 3,
    kExifLong = 4,
    kExifRational = 5,
    kExifSByte = 6,
    kExifUndefined = 7,
    kExifSShort = 8,
    kExifSLong = 9,
    kExifSRational = 10,
    kExifFloat = 11,
    kExifDouble = 12,
};

// Bytes per component of a value format; 0 for format 0 and any format above 12.
int ExifComponentSize(std::uint16_t format);

struct TagEntry;

// A routine that rewrites the display text of an entry from the entry as read so far (display
// text, raw value, format). `motorola` is the byte order the value was read in.
using TagDecoder = std::string (*)(const TagEntry& entry, bool motorola);

// A constant row of a tag table.
struct TagRow {
    std::uint16_t tag = 0;
    const char* name = "";
    const char* decodeList = "";     // "number:text" pairs separated by commas, or empty
    const char* displayFormat = "";  // a printf-style pattern with one placeholder, or empty
    TagDecoder decoder = nullptr;
};

// An entry of the tag list of a decoded block.
struct TagEntry {
    std::uint16_t tag = 0;
    std::uint16_t format = 0;
    std::string name;
    std::string decodeList;
    std::string displayText;
    std::string rawValue;             // the value's bytes, cut short at the end of the segment
    std::uint32_t valuePosition = 0;  // where the value lies, counted from the segment's first length byte
    std::string displayFormat;
    std::uint32_t valueSize = 0;      // component count times component size, as declared
    TagDecoder decoder = nullptr;
    bool isMakerEntry = false;        // true for entries decoded from the maker note

    static TagEntry FromRow(const TagRow& row);
};

// The row of `table` with that tag number, or nullptr.
const TagRow* FindTagRow(std::span<const TagRow> table, std::uint16_t tag);

}  // namespace vantrel
