#pragma once
// Whether a photo about to be queued is already in the transfer list with the same content:
// the same file added twice, or a copy of it under another name.

#include <string>

namespace vantrel {

class TAlbumList;

// True when the working copy of a queued photo of any album holds exactly the bytes of the file
// at `path` (sizes compared first, then MD5 digests). A file that cannot be read matches nothing.
bool IsQueuedContent(const TAlbumList& albums, const std::string& path);

}  // namespace vantrel
