#pragma once
// The transfer list file "Images.lst" in the work folder: the albums and their queued photos,
// kept from one run to the next. Text, one record a line, lines ended by CR LF:
//   0
//   [Album]<TAB>name                        (the name as it stands)
//   source path<TAB>work path               (each with every ' and " doubled)

#include <expected>
#include <string>
#include <string_view>
#include <vector>

#include "core/albums/TAlbumList.h"
#include "core/albums/TPhotoIntake.h"

namespace vantrel {

inline constexpr std::string_view kTransferListName = "Images.lst";

// Doubles every double quote and every apostrophe.
std::string EscapeQuotes(std::string_view text);
// Turns each pair of double quotes into one and each pair of apostrophes into one.
std::string UnescapeQuotes(std::string_view text);
// Splits a line at TABs. A ' or " opens a quoted run that the next identical character closes;
// a TAB inside it does not split and the quotes stay in the field. Empty fields are dropped.
std::vector<std::string> SplitTransferFields(std::string_view line);

// The file's whole text for the albums in list order (empty albums included).
std::string FormatTransferList(const TAlbumList& albums);

// Replaces the file at `path` with the list, atomically: when the write fails (folder gone,
// disk full, no permission) the previous file is intact and the error names the cause.
std::expected<void, std::string> SaveTransferList(const TAlbumList& albums, const std::string& path);

// Rebuilds albums and photos from the file at `path`; a missing file is an empty list.
// Albums that exist (same name) take the photos of their line, others are added; photos come in
// through intake without a copy, their working copy path serving as source and work path, and a
// photo that cannot be restored is reported by intake and skipped. The starting album is the
// list's DefaultAlbumIndex. Lines with too few fields are passed over. The busy hooks of
// `intake` surround the work. Fails only when the file exists but cannot be read.
std::expected<void, std::string> LoadTransferList(TAlbumList& albums, TPhotoIntake& intake, const std::string& path);

}  // namespace vantrel
