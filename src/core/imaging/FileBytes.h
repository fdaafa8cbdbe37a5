#pragma once
// Plain file operations of the image work: copying a photo byte for byte, measuring it, and
// writing an encoded picture.

#include <cstdint>
#include <expected>
#include <string>
#include <string_view>

#include "core/imaging/ImageFileError.h"

namespace vantrel {

// Creates (or empties) `destination` and copies the whole content of `source` into it. A
// source that cannot be opened (or is no regular file) or a destination that cannot be written
// gives a FileError.
// Copying a file onto itself leaves it untouched.
std::expected<void, ImageFileError> CopyFileBytes(const std::string& source, const std::string& destination);

// The size of the file in bytes, 0 when no file has that name.
std::uint64_t FileSizeOf(const std::string& path);

// Creates (or empties) the file and writes `bytes` into it.
std::expected<void, ImageFileError> WriteFileBytes(const std::string& path, std::string_view bytes);

// Replaces the file with `bytes` in one step (a new file renamed over the old one), so that a
// failure never leaves a photo half written.
std::expected<void, ImageFileError> ReplaceFileBytes(const std::string& path, std::string_view bytes);

}  // namespace vantrel
