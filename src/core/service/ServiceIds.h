#pragma once
// The ids that the service hands out and that the run writes into places of its own: the
// customer id becomes part of the FTP folder's name (MKD, CWD) and a line of every sidecar, an
// album's id a sidecar line. A hostile or broken service must not steer them anywhere else, so
// they are checked before anything is sent.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace vantrel {

// The service gave an id that the run refuses to use; the text says which and why.
class UnsafeServiceIdError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The longest customer id accepted: the folder name adds 27 characters, and FTP servers take
// names of 255.
inline constexpr std::size_t kMaxCustomerIdLength = 200;

// Nothing when `id` can be one component of a path on any server: not empty, not "." or "..",
// no "/" or "\", no control character (NUL included), at most kMaxCustomerIdLength bytes.
// Otherwise why not.
std::string WhyCustomerIdIsUnsafe(std::string_view id);

// Throws UnsafeServiceIdError when the customer id is unsafe or the album id is not positive.
void CheckCustomerId(std::string_view id);
void CheckAlbumId(std::int32_t id, std::string_view albumName);

}  // namespace vantrel
