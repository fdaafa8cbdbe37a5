#include "core/imaging/JpegLowerStream.h"

#include <cstring>
#include <vector>

namespace vantrel::scan_detail {
namespace {

// The headers of the file, with the frame's height set to `height`.
std::vector<std::uint8_t> HeaderWithHeight(std::span<const std::uint8_t> file, std::size_t dataOffset,
                                           std::size_t frameOffset, int height) {
    std::vector<std::uint8_t> header(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(dataOffset));
    header[frameOffset + 5] = static_cast<std::uint8_t>(height >> 8);
    header[frameOffset + 6] = static_cast<std::uint8_t>(height & 0xFF);
    return header;
}

}  // namespace

std::optional<std::size_t> FrameHeaderOffset(std::span<const std::uint8_t> file, std::size_t dataOffset, int height) {
    if (dataOffset > file.size() || dataOffset < 4 || file[0] != 0xFF || file[1] != 0xD8) return std::nullopt;
    std::optional<std::size_t> frame;
    std::size_t pos = 2;
    while (pos + 4 <= dataOffset) {
        if (file[pos] != 0xFF) return std::nullopt;
        while (pos + 1 < dataOffset && file[pos + 1] == 0xFF) ++pos;  // fill bytes
        const std::uint8_t marker = file[pos + 1];
        const std::size_t length = std::size_t(file[pos + 2]) << 8 | file[pos + 3];
        if (length < 2 || pos + 2 + length > dataOffset) return std::nullopt;
        const bool isFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (isFrame) {
            if (frame || length < 8 || (file[pos + 5] << 8 | file[pos + 6]) != height) return std::nullopt;
            frame = pos;
        }
        pos += 2 + length;
        if (marker == 0xDA) return pos == dataOffset ? frame : std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::uint8_t> NextMarker(std::span<const std::uint8_t> data, std::size_t& pos) {
    while (pos < data.size()) {
        const void* found = std::memchr(data.data() + pos, 0xFF, data.size() - pos);
        if (found == nullptr) break;
        pos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - data.data()) + 1;
        while (pos < data.size() && data[pos] == 0xFF) ++pos;
        if (pos >= data.size()) break;
        const std::uint8_t marker = data[pos++];
        if (marker != 0) return marker;
    }
    pos = data.size();
    return std::nullopt;
}

JpegScanCut CutAt(std::span<const std::uint8_t> file, const JpegScanLayout& layout, std::size_t frameOffset,
                  int rowsPerMcuRow, int mcuRow, std::span<const std::uint8_t> prefix, std::size_t resume) {
    JpegScanCut cut;
    cut.firstRow = (mcuRow + 1) * rowsPerMcuRow;
    cut.streamFirstRow = mcuRow * rowsPerMcuRow;
    cut.lowerStream = HeaderWithHeight(file, layout.dataOffset, frameOffset, layout.height - cut.streamFirstRow);
    cut.lowerStream.insert(cut.lowerStream.end(), prefix.begin(), prefix.end());
    cut.lowerStream.insert(cut.lowerStream.end(), file.begin() + static_cast<std::ptrdiff_t>(resume), file.end());
    return cut;
}

void RenumberRestarts(std::span<std::uint8_t> stream, std::size_t dataStart, std::int64_t intervals) {
    for (std::size_t at = dataStart;;) {
        const auto marker = NextMarker(stream, at);
        if (!marker || *marker < 0xD0 || *marker > 0xD7) break;  // the end of the scan
        stream[at - 1] = static_cast<std::uint8_t>(0xD0 + (*marker - 0xD0 + 8 - intervals % 8) % 8);
    }
}

}  // namespace vantrel::scan_detail
