#include "core/imaging/ExifTagEntry.h"

namespace vantrel {

int ExifComponentSize(std::uint16_t format) {
    static constexpr int kSizes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    return format < 13 ? kSizes[format] : 0;
}

TagEntry TagEntry::FromRow(const TagRow& row) {
    TagEntry entry;
    entry.tag = row.tag;
    entry.name = row.name;
    entry.decodeList = row.decodeList;
    entry.displayFormat = row.displayFormat;
    entry.decoder = row.decoder;
    return entry;
}

const TagRow* FindTagRow(std::span<const TagRow> table, std::uint16_t tag) {
    for (const TagRow& row : table)
        if (row.tag == tag) return &row;
    return nullptr;
}

}  // namespace vantrel
