#include "core/imaging/TimgData.h"

#include "core/base/AsciiText.h"
#include "core/imaging/RegularFile.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace vantrel {
namespace {

class MemorySource : public TimgData::Source {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t Read(void* into, std::size_t count) override {
        count = std::min(count, bytes_.size() - at_);
        if (count) std::memcpy(into, bytes_.data() + at_, count);
        at_ += count;
        return count;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

class FileSource : public TimgData::Source {
public:
    explicit FileSource(std::FILE* file) : file_(file) {}
    std::size_t Read(void* into, std::size_t count) override { return std::fread(into, 1, count, file_); }

private:
    std::FILE* file_;
};

constexpr std::uint8_t kSos = 0xDA, kEoi = 0xD9, kApp0 = 0xE0, kApp1 = 0xE1, kApp13 = 0xED, kCom = 0xFE;

}  // namespace

void TimgData::Clear() {
    fileName_.clear();
    fileSize_ = 0;
    errorText_.clear();
    segments_.clear();
    jfifSegment_ = exifSegment_ = iptcSegment_ = commentSegment_ = -1;
    motorola_ = false;
    exifInfo_.reset();
    iptcData_.reset();
}

bool TimgData::ScanFile(const std::string& path) {
    Clear();
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return false;
    try {
        fileName_ = path;
        const auto size = std::filesystem::file_size(path, error);
        fileSize_ = error ? 0 : static_cast<std::int32_t>(static_cast<std::uint32_t>(size));
        errorText_ = "Not an EXIF file";
        // The extension runs from the last full stop of the name, a leading one included (".jpg").
        const std::string name = std::filesystem::path(path).filename().string();
        const std::size_t dot = name.rfind('.');
        const std::string extension = ToLowerAscii(dot == std::string::npos ? std::string() : name.substr(dot));
        if (extension != ".jpg" && extension != ".jpeg" && extension != ".jpe") return false;
        auto file = PhotoStream::Open(path);
        if (!file) {
            errorText_ = "Illegal Exif construction";
            return false;
        }
        FileSource source(file->Get());
        if (!ReadJpegHead(source)) return false;
        errorText_ = "<none>";
        return true;
    } catch (...) {
        errorText_ = "Illegal Exif construction";
        return false;
    }
}

bool TimgData::ScanBuffer(std::span<const std::uint8_t> bytes) {
    Clear();
    try {
        fileSize_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes.size()));
        errorText_ = "Not an EXIF file";
        MemorySource source(bytes);
        if (!ReadJpegHead(source)) return false;
        errorText_ = "<none>";
        return true;
    } catch (...) {
        errorText_ = "Illegal Exif construction";
        return false;
    }
}

bool TimgData::ReadJpegHead(Source& source) {
    std::uint8_t start[2];
    if (source.Read(start, 2) != 2 || start[0] != 0xFF || start[1] != 0xD8) return false;

    while (segments_.size() < kMaxSegments) {
        std::uint8_t marker = 0xFF;
        while (marker == 0xFF)
            if (source.Read(&marker, 1) != 1) goto done;  // the file ends between segments
        std::uint8_t lengthBytes[2];
        if (source.Read(lengthBytes, 2) != 2) break;
        const std::uint16_t length = static_cast<std::uint16_t>(lengthBytes[0] << 8 | lengthBytes[1]);
        if (length < 2) break;  // no segment can be shorter than its own length field

        JpegSegment segment{marker, length, std::string(length, '\0')};
        segment.bytes[0] = static_cast<char>(lengthBytes[0]);
        segment.bytes[1] = static_cast<char>(lengthBytes[1]);
        const std::size_t got = source.Read(segment.bytes.data() + 2, length - 2u);
        const bool cutShort = got < length - 2u;
        segment.bytes.resize(2 + got);  // a segment cut short by the end of the file keeps what there is
        segments_.push_back(std::move(segment));
        const int index = static_cast<int>(segments_.size()) - 1;

        // Photos carry their metadata early: the fifth segment ends the search if nothing was found.
        if (segments_.size() == 5 && exifSegment_ < 0 && iptcSegment_ < 0 && commentSegment_ < 0) break;

        if (marker == kSos || marker == kEoi) break;
        if (marker == kApp0) jfifSegment_ = index;
        else if (marker == kCom) commentSegment_ = index;
        else if (marker == kApp13) {
            if (iptcSegment_ < 0) {
                iptcSegment_ = index;
                iptcData_ = std::make_unique<IptcBlock>(*this);
            }
        } else if (marker == kApp1) {
            if (exifSegment_ < 0 && index < 5) {
                exifSegment_ = index;
                const JpegSegment& exif = segments_[index];
                exifInfo_ = std::make_unique<TImageInfo>(exif.bytes, exif.length, &errorText_);
                exifInfo_->Decode();
                motorola_ = exifInfo_->Motorola();
            } else {
                segments_.pop_back();  // any other APP1 is not kept
            }
        }
        if (cutShort) break;
    }
done:
    return exifSegment_ >= 0 || iptcSegment_ >= 0 || commentSegment_ >= 0;
}

}  // namespace vantrel
