#include "core/albums/DuplicateContent.h"

#include <filesystem>
#include <optional>

#include "core/albums/TAlbumList.h"
#include "core/imaging/FileDigest.h"

namespace vantrel {

bool IsQueuedContent(const TAlbumList& albums, const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return false;
    std::optional<Md5Digest> digest;  // made only when a queued copy has the same size
    for (int a = 0; a < albums.Count(); ++a) {
        const TJobList& jobs = albums.Items(a).Jobs();
        for (int j = 0; j < jobs.Count(); ++j) {
            const std::string& copy = jobs.Items(j).WorkPath;
            if (std::filesystem::file_size(copy, error) != size || error) continue;
            if (!digest) digest = DigestFile(path);
            if (DigestFile(copy) == *digest) return true;
        }
    }
    return false;
}

}  // namespace vantrel
