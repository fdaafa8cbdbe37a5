#pragma once
// Which addresses the program hands to the desktop's opener or fetches as a page. Addresses
// come from the service's settings document; only web pages may be opened from there, never a
// local file ("file:///etc/passwd") or another program's scheme.

#include <string_view>

namespace vantrel {

// True when `address` starts with "http://" or "https://" (scheme letters in any case) followed
// by a host name: no blank, no control character anywhere.
bool IsWebLink(std::string_view address);

}  // namespace vantrel
