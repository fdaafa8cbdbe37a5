#pragma once
// The decoder routines of the EXIF and GPS tag tables: each rewrites an entry's display text.

#include <string>

#include "core/imaging/ExifTagEntry.h"

namespace vantrel {

// The four component bytes as "Y", "Cb", "Cr", "R", "G", "B" (codes 1 to 6; others skipped).
std::string ExifDecodeComponentsConfiguration(const TagEntry& entry, bool motorola);
// The APEX shutter speed v as "%4.4f sec" of 2^-v, with " (1/n)" for times up to half a second.
std::string ExifDecodeShutterSpeed(const TagEntry& entry, bool motorola);
// The flash bits in words: "On"/"Off", the strobe return, the mode, no function, red-eye.
std::string ExifDecodeFlash(const TagEntry& entry, bool motorola);
// The text after the 8-byte character-code prefix.
std::string ExifDecodeUserComment(const TagEntry& entry, bool motorola);
// The Windows title/comment/author/keywords/subject: every other listed number as a character.
std::string ExifDecodeWindowsText(const TagEntry& entry, bool motorola);
// Three fractions as degrees, minutes and seconds.
std::string ExifDecodeGpsCoordinate(const TagEntry& entry, bool motorola);
// Three fractions as "h:m:s".
std::string ExifDecodeGpsTime(const TagEntry& entry, bool motorola);

}  // namespace vantrel
