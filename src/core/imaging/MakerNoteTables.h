#pragma once
// The tag tables of the camera makers' own maker-note layouts, and their decoder routines.

#include <span>
#include <string>

#include "core/imaging/ExifTagEntry.h"

namespace vantrel {

std::span<const TagRow> MakerNoteNikon1Table();   // 11 rows
std::span<const TagRow> MakerNoteNikon2Table();   // 28 rows
std::span<const TagRow> MakerNoteOlympusTable();  // 33 rows
std::span<const TagRow> MakerNoteCasioTable();    // 26 rows
std::span<const TagRow> MakerNoteFujifilmTable(); // 18 rows
std::span<const TagRow> MakerNoteCanonTable();    // 16 rows
std::span<const TagRow> MakerNoteEpsonTable();    // 12 rows
std::span<const TagRow> MakerNoteSanyoTable();    // 6 rows
std::span<const TagRow> MakerNoteMinoltaTable();  // 2 rows

// Four fractions as "%0.1f-%0.1f(mm)  F%0.1f-F%0.1f".
std::string MakerNoteDecodeNikonLens(const TagEntry& entry, bool motorola);
// The first five characters of the quoted value, with the three colour modes spelt out.
std::string MakerNoteDecodeNikonColorMode(const TagEntry& entry, bool motorola);
// The settings of the first and second exposure-information records, one "\r\n name = text" each.
std::string MakerNoteDecodeCanonExposure1(const TagEntry& entry, bool motorola);
std::string MakerNoteDecodeCanonExposure2(const TagEntry& entry, bool motorola);
// The custom functions: each component is function number * 256 + setting.
std::string MakerNoteDecodeCanonCustomFunctions(const TagEntry& entry, bool motorola);

}  // namespace vantrel
