#pragma once
// TImageInfo: the decoded EXIF block of one scanned JPEG file. It walks the TIFF directories of
// the EXIF segment (IFD0 and its EXIF, interoperability and GPS sub-directories), turns every
// entry it knows into a display text in its tag list, keeps a few values as plain fields, and
// has the maker note decoded into further entries.
//
// Every read stays inside the segment's bytes: a directory, entry or value lying outside is
// skipped or cut, and a link back into a directory already being decoded is not followed, so no
// file can make the walk read past the segment or loop.

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/imaging/ExifTagEntry.h"

namespace vantrel {

class TImageInfo {
public:
    // `segmentBytes` is the EXIF segment as its segment record holds it (the two length bytes,
    // then the payload). Decoding sets or extends `*errorText`, which must outlive this object.
    TImageInfo(std::string segmentBytes, std::uint16_t lengthField, std::string* errorText);

    // Decodes the block: checks the "Exif" header and the byte-order mark, walks IFD0 and its
    // sub-directories and adds the 35 mm equivalent entry. A failed header check sets the error
    // text ("Incorrect Exif header", "Invalid Exif alignment marker") and decodes nothing.
    void Decode();

    // Index in the tag list of the first entry of that name (case ignored), or -1.
    int FindTag(std::string_view name) const;
    // The display text of the first entry of that name, or the empty text.
    std::string TagText(std::string_view name) const;

    // From ImageWidth or ExifImageWidth, the last one met; 0 if neither.
    int Width() const { return width_; }
    // From ImageLength or ExifImageLength, the last one met; 0 if neither.
    int Height() const { return height_; }
    // From DateTime or DateTimeOriginal (at most 20 characters), the last one met.
    const std::string& DateText() const { return dateText_; }
    const std::string& CameraMake() const { return cameraMake_; }    // at most 32 characters
    const std::string& CameraModel() const { return cameraModel_; }  // at most 40 characters
    const std::string& ExifVersion() const { return exifVersion_; }  // raw bytes, at most 6
    const std::string& UserComment() const { return userComment_; }
    const std::string& MakerNote() const { return makerNote_; }      // raw bytes of MakerNote
    std::uint32_t MakerNotePosition() const { return makerNotePosition_; }
    bool MakerNoteDecoded() const { return makerNoteDecoded_; }
    const std::vector<TagEntry>& TagList() const { return tagList_; }

    const std::string& Bytes() const { return bytes_; }
    std::uint16_t LengthField() const { return lengthField_; }
    bool Motorola() const { return motorola_; }  // true for "MM" (big-endian)

    // The number an entry's value stands for, read in the block's byte order.
    double EntryNumber(const TagEntry& entry) const;
    // Appends an entry to the tag list (used by the maker-note decoder).
    void AppendEntry(TagEntry entry) { tagList_.push_back(std::move(entry)); }
    // Sets the entry's raw value from `raw`, unless the block has already kept a megabyte of
    // values and texts (16 times what an honest segment can hold, reached only by entries that
    // share their bytes): then the raw value stays empty and the text is cut to 50 characters.
    void KeepWithinBudget(TagEntry& entry, std::string_view raw);
    // Appends a text to the scan's error text.
    void AppendError(std::string_view text) { errorText_->append(text); }
    // Counts one more directory entry examined; false once the block has used up its budget,
    // which no honest segment reaches (a 64 KiB segment holds fewer than 5,500 entries).
    bool SpendEntry() { return ++entriesExamined_ <= kEntryBudget; }

    // Byte position of the TIFF header in the segment bytes (after the length bytes and "Exif\0\0").
    static constexpr std::size_t kTiffHeader = 8;

private:
    static constexpr std::size_t kEntryBudget = 1u << 16;
    static constexpr std::size_t kKeptBytesBudget = 1u << 20;

    void DecodeDirectory(std::size_t start, bool gps);
    void DecodeEntry(std::size_t at, bool gps);
    void FollowLink(std::uint32_t offset, bool gps);
    void AddFocalLength35mm();
    double NumberOf(std::string_view name) const;

    std::string bytes_;
    std::uint16_t lengthField_ = 0;
    std::string* errorText_;
    bool motorola_ = false;
    int width_ = 0;
    int height_ = 0;
    std::string dateText_;
    std::string cameraMake_;
    std::string cameraModel_;
    std::string exifVersion_;
    std::string userComment_;
    std::string makerNote_;
    std::uint32_t makerNotePosition_ = 0;
    bool makerNoteDecoded_ = false;
    std::vector<TagEntry> tagList_;

    // Directories being decoded (byte ranges) and every directory start already decoded.
    std::vector<std::pair<std::size_t, std::size_t>> activeDirectories_;
    std::set<std::size_t> decodedDirectories_;
    std::size_t entriesExamined_ = 0;
    std::size_t bytesKept_ = 0;
};

}  // namespace vantrel
