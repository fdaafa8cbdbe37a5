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
#include "core/albums/PhotoIntake.h"
#include "core/app/WorkFolderFiles.h"

namespace vantrel {

// A larger file is no list of ours: it is never read whole.
inline constexpr std::size_t kLargestTransferList = 256u << 20;

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

// Why the list file could not be used, and where it was put so that nothing overwrites it.
struct TransferListError {
    std::string reason;  // cannot be read, or holds what no list of ours holds
    std::string keptAs;  // the path it was moved to; empty when moving it failed too, and then
                         // the caller must not write a new list over it
};

// Rebuilds albums and photos from the file at `path`; a missing or empty file is an empty list.
// Albums that exist (same name) take the photos of their line, others are added; photo lines
// before the first album line go to intake's DefaultAlbum. Photos come in through intake without
// a copy, their working copy path serving as source and work path (a path outside the work
// folder gets a copy there, so that the file it names is never deleted); a photo that cannot be
// restored is reported by intake and skipped. Lines with too few fields are passed over. The
// busy hooks of `intake` surround the work.
// A file that exists but cannot be read, or is no list of ours (a NUL byte, text that is not
// UTF-8, a first line other than "0"), is moved aside under a dated name in the same folder and
// reported; no album or photo is added then.
std::expected<void, TransferListError> LoadTransferList(TAlbumList& albums, PhotoIntake& intake,
                                                        const std::string& path);

// Moves the file at `path` to "<stem>-unreadable-YYYYMMDD-HHMMSS<ext>" beside it (a number is
// added when that name is taken). Returns the new path.
std::expected<std::string, std::string> SetFileAside(const std::string& path);

}  // namespace vantrel
