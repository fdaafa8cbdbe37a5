#pragma once
// TimgData: the scan of the head of one JPEG file. It reads the segments before the picture
// data (at most 20, up to the first SOS), remembers the JFIF, EXIF, IPTC and comment segments,
// decodes the EXIF block into a TImageInfo and records the IPTC block.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/imaging/TImageInfo.h"
#include "core/imaging/IptcBlock.h"

namespace vantrel {

// A JPEG segment as read: its marker byte, its length field, and that many bytes beginning with
// the two length bytes (fewer when the file ends inside the segment).
struct JpegSegment {
    std::uint8_t marker = 0;
    std::uint16_t length = 0;
    std::string bytes;
};

class TimgData {
public:
    TimgData() = default;
    TimgData(const TimgData&) = delete;
    TimgData& operator=(const TimgData&) = delete;

    // Scans the file at `path`, first clearing any previous scan. True when the file has a
    // ".jpg", ".jpeg" or ".jpe" extension (any case), starts with a JPEG start marker, and its
    // head holds an EXIF, IPTC or comment segment; the error text is then "<none>". Never
    // throws. On false the error text says why: empty (no such file), "Not an EXIF file"
    // (other extension, not a JPEG, none of those segments), "Illegal Exif construction" (the
    // file cannot be opened or read, or is a pipe, socket or device named like a photo).
    bool ScanFile(const std::string& path);

    // Scans a JPEG file held in memory, as ScanFile does after its file checks; the file name
    // stays empty and the file size is the buffer's.
    bool ScanBuffer(std::span<const std::uint8_t> bytes);

    // True when an APP1 segment was taken as the EXIF segment (even if its header was wrong).
    bool HasExifSegment() const { return exifSegment_ >= 0; }

    const std::string& FileName() const { return fileName_; }
    std::int32_t FileSize() const { return fileSize_; }
    const std::string& ErrorText() const { return errorText_; }
    const std::vector<JpegSegment>& Segments() const { return segments_; }
    // Indices into Segments(), or -1: the last APP0, the EXIF APP1, the first APP13, the last COM.
    int JfifSegment() const { return jfifSegment_; }
    int ExifSegment() const { return exifSegment_; }
    int IptcSegment() const { return iptcSegment_; }
    int CommentSegment() const { return commentSegment_; }
    bool Motorola() const { return motorola_; }
    // The decoded EXIF block, or nullptr when no APP1 segment was taken as EXIF.
    const TImageInfo* ExifInfo() const { return exifInfo_.get(); }
    // The IPTC block, or nullptr when the head has no APP13 segment.
    const IptcBlock* IptcData() const { return iptcData_.get(); }

    // Reads consecutive bytes of a file head; returns how many it could read.
    class Source {
    public:
        virtual ~Source() = default;
        virtual std::size_t Read(void* into, std::size_t count) = 0;
    };

private:
    static constexpr std::size_t kMaxSegments = 20;

    void Clear();
    bool ReadJpegHead(Source& source);

    std::string fileName_;
    std::int32_t fileSize_ = 0;
    std::string errorText_;
    std::vector<JpegSegment> segments_;
    int jfifSegment_ = -1;
    int exifSegment_ = -1;
    int iptcSegment_ = -1;
    int commentSegment_ = -1;
    bool motorola_ = false;
    std::unique_ptr<TImageInfo> exifInfo_;
    std::unique_ptr<IptcBlock> iptcData_;
};

}  // namespace vantrel
