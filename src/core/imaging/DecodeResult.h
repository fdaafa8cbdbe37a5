#pragma once
// How the decode of a photo went: the one answer of LoadImage and its variants.

#include <cstdint>

#include "core/imaging/ImageFileError.h"

namespace vantrel {

enum class DecodeOutcome {
    Ok,          // the picture decoded without a warning
    Warning,     // the picture decoded, with warnings of the codec (see DecodeResult::messageCode)
    Failed,      // no picture: not a JPEG, damaged beyond recovery, or over the decode budget
    Unreadable,  // the file could not be opened (see DecodeResult::error)
};

struct DecodeResult {
    DecodeOutcome outcome = DecodeOutcome::Ok;
    // Warnings of the codec during the read (a failed decode may have issued some too).
    std::uint32_t warningCount = 0;
    // The codec's current message code at the end of the read (libjpeg 6b numbering: 114..123
    // warnings, 85 "End Of Image"); 0 when the read issued no warning.
    std::int32_t messageCode = 0;
    // Unreadable only: the FileError of the open.
    ImageFileError error;

    // Whether the work bitmap holds the photo's picture.
    bool HasPicture() const { return outcome == DecodeOutcome::Ok || outcome == DecodeOutcome::Warning; }
};

}  // namespace vantrel
