#pragma once
// MD5 (RFC 1321) of whole files, as the upload proves the integrity of what it sends.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

using Md5Digest = std::array<std::uint8_t, 16>;

// The digest of the file's whole content, read with plain reads a chunk at a time (files of any
// size; a file that another program shortens meanwhile gives the digest of what was read).
// Never fails: a missing, unreadable or empty file, or one that is no regular file (a named
// pipe, socket or device), gives the digest of empty input, d41d8cd98f00b204e9800998ecf8427e.
Md5Digest DigestFile(const std::string& path);

// DigestFile with reads of `chunkBytes`, so that the walk over chunks can be checked on small
// files.
Md5Digest DigestFileInChunks(const std::string& path, std::size_t chunkBytes);

// The digest of a byte string.
Md5Digest DigestBytes(std::string_view bytes);

// 32 lower-case hexadecimal digits, high nibble first.
std::string DigestToHex(const Md5Digest& digest);

}  // namespace vantrel
