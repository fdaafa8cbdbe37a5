#pragma once
// What is made of one queued photo before its files are stored: the acceptance test, the scaled
// copy and the thumbnail written to their temporary files, and the MD5 of each file, all from
// one decode of the photo.

#include <expected>
#include <string>

#include "core/service/FileWriteError.h"

namespace vantrel {

struct PhotoRequest {
    std::string workPath;        // the working copy to send
    std::string rejectedErrors;  // the service's comma-separated list of refused warning codes
    int scaledSize = 0;
    int thumbSize = 0;
    std::string scaledPath;      // where the copies go
    std::string thumbPath;
};

struct PreparedPhoto {
    std::string workPath;
    std::string scaledPath;
    std::string thumbPath;
    // The acceptance test: true when the photo must not be sent; an error when the list of
    // codes is unreadable. The copies below are made only for an accepted photo.
    std::expected<bool, std::string> rejected = false;
    // The MD5 of the working copy as 32 lower-case hexadecimal digits, or why it cannot be read.
    std::expected<std::string, std::string> photoDigest;
    // Each copy written (with its MD5), or the file that could not be written and why.
    std::expected<std::string, WriteError> scaledDigest;
    std::expected<std::string, WriteError> thumbDigest;
    // Why a copy could not be made at all (a size outside 1..10000, no memory, an encoder
    // failure), as opposed to written: "scaled copy: ..." or "thumbnail: ..."; empty when both
    // were made. Such a photo is not sent.
    std::string copyNotMade;
};

}  // namespace vantrel
