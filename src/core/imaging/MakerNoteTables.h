#pragma once
// The tag tables of the camera makers' own maker-note layouts, and their decoder routines.

#include <span>
#include <string>

#include "core/imaging/ExifTagEntry.h"

namespace vantrel {

std::span<const TTagRow> MakerNoteNikon1Table();   // 11 rows
std::span<const TTagRow> MakerNoteNikon2Table();   // 28 rows
std::span<const TTagRow> MakerNoteOlympusTable();  // 33 rows
std::span<const TTagRow> MakerNoteCasioTable();    // 26 rows
std::span<const TTagRow> MakerNoteFujifilmTable(); // 18 rows
std::span<const TTagRow> MakerNoteCanonTable();    // 16 rows
std::span<const TTagRow> MakerNoteEpsonTable();    // 12 rows
std::span<const TTagRow> MakerNoteSanyoTable();    // 6 rows
std::span<const TTagRow> MakerNoteMinoltaTable();  // 2 rows

// Four fractions as "%0.1f-%0.1f(mm)  F%0.1f-F%0.1f".
std::string MakerNoteDecodeNikonLens(const TTagEntry& entry, bool motorola);
// The first five characters of the quoted value, with the three colour modes spelt out.
std::string MakerNoteDecodeNikonColorMode(const TTagEntry& entry, bool motorola);
// The settings of the first and second exposure-information records, one "\r\n name = text" each.
std::string MakerNoteDecodeCanonExposure1(const TTagEntry& entry, bool motorola);
std::string MakerNoteDecodeCanonExposure2(const TTagEntry& entry, bool motorola);
// The custom functions: each component is function number * 256 + setting.
std::string MakerNoteDecodeCanonCustomFunctions(const TTagEntry& entry, bool motorola);

}  // namespace vantrel
