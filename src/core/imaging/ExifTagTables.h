#pragma once
// The constant tag tables of the EXIF reader, shared by all scans.

#include <cstdint>
#include <span>

#include "core/imaging/ExifTagEntry.h"

namespace vantrel {

// The 250 rows of the main directories followed by the default row "Unknown" (tag 0).
std::span<const TagRow> ExifMainTable();
// The 31 rows of the GPS directory.
std::span<const TagRow> ExifGpsTable();
// The default row "Unknown", tag number 0; entries that take it never enter a tag list.
const TagRow& ExifDefaultRow();
// The main-table row of a tag number, or the default row.
const TagRow& ExifMainRow(std::uint16_t tag);
// The GPS-table row of a tag number, or the default row.
const TagRow& ExifGpsRow(std::uint16_t tag);

}  // namespace vantrel
