#pragma once
// MD5 (RFC 1321) of whole files, as the upload proves the integrity of what it sends.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

using Md5Digest = std::array<std::uint8_t, 16>;

// The digest of the file's whole content, read through read-only memory mappings without a
// copy (files of any size, mapped a window at a time). Never fails: a missing, unreadable or
// empty file gives the digest of empty input, d41d8cd98f00b204e9800998ecf8427e.
Md5Digest DigestFile(const std::string& path);

// DigestFile with mapping windows of `windowBytes` (a multiple of the page size), so that the
// walk over windows can be checked on small files.
Md5Digest DigestFileInWindows(const std::string& path, std::uint64_t windowBytes);

// The digest of a byte string.
Md5Digest DigestBytes(std::string_view bytes);

// 32 lower-case hexadecimal digits, high nibble first.
std::string DigestToHex(const Md5Digest& digest);

}  // namespace vantrel
