#pragma once
// The maker-note decoder: recognises eight camera makes by the first five letters of the
// camera make and decodes the maker note (EXIF tag MakerNote) in that maker's layout into
// further entries of the EXIF info's tag list, each marked as a maker entry.

#include <cstdint>
#include <string>

namespace vantrel {

class TImageInfo;

// One maker note being decoded: the EXIF info being filled, where the maker note lies in the
// EXIF segment, and the make recognised. Lives only for the decoding.
class TmsInfo {
public:
    explicit TmsInfo(TImageInfo& info);

    // Chooses the layout and walks the maker directory. False when the make is not one of the
    // known ones (nothing else happens then). A walk that meets bytes outside the maker note
    // ends there and appends "Error Detected = " and the cause to the scan's error text; the
    // entries decoded before it stay.
    bool Decode();

    const std::string& Make() const { return make_; }

private:
    TImageInfo& info_;
    std::uint32_t position_;
    std::string make_;
};

// Decodes the maker note of `info` (its raw value and position already kept). True when the
// camera make was recognised and its maker note walked.
bool DecodeMakerNote(TImageInfo& info);

}  // namespace vantrel
