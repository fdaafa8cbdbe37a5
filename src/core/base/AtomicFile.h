#pragma once
// Replacing a file so that a crash, a kill or a full disk never leaves it half written:
// the new content goes to a temporary file in the same folder, is flushed to disk, and is
// then renamed over the old file in one step.

#include <expected>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace vantrel {

// Writes `content` to `path` atomically with the given permission bits. On failure the
// previous file is untouched, the temporary file is removed, and the error names the cause.
std::expected<void, std::string> WriteFileAtomically(const std::string& path, std::string_view content,
                                                     mode_t mode = 0600);

// Reads a whole file; an error names the cause when it cannot be opened or read.
std::expected<std::string, std::string> ReadWholeFile(const std::string& path);

}  // namespace vantrel
