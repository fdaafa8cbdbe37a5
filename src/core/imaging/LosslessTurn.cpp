#include "core/imaging/LosslessTurn.h"

#include <turbojpeg.h>

#include <array>
#include <cstdint>
#include <memory>

#include "core/imaging/ExifRewrite.h"
#include "core/imaging/JpegMemoryBudget.h"

namespace vantrel {
namespace {

// A 2 x 2 matrix of the dihedral group acting on centred (x, y) with y pointing down.
struct Move {
    int xx, xy, yx, yy;
    bool operator==(const Move&) const = default;
    // This move after `first`.
    Move After(const Move& first) const {
        return {xx * first.xx + xy * first.yx, xx * first.xy + xy * first.yy, yx * first.xx + yy * first.yx,
                yx * first.xy + yy * first.yy};
    }
};

// The moves of TurboJPEG's operations, in the order of TJXOP: none, mirror left-right, mirror
// top-bottom, transpose, transverse, 90, 180 and 270 degrees clockwise.
constexpr std::array<Move, 8> kOperationMoves{{{1, 0, 0, 1},
                                               {-1, 0, 0, 1},
                                               {1, 0, 0, -1},
                                               {0, 1, 1, 0},
                                               {0, -1, -1, 0},
                                               {0, -1, 1, 0},
                                               {-1, 0, 0, -1},
                                               {0, 1, -1, 0}}};

// The operation that shows the stored picture upright, by EXIF orientation 1..8.
constexpr std::array<int, 9> kUprightOperation{TJXOP_NONE, TJXOP_NONE,      TJXOP_HFLIP,      TJXOP_ROT180, TJXOP_VFLIP,
                                               TJXOP_TRANSPOSE, TJXOP_ROT90, TJXOP_TRANSVERSE, TJXOP_ROT270};

int CombinedOperation(int orientation, bool clockwise) {
    const int upright = orientation >= 1 && orientation <= 8 ? kUprightOperation[static_cast<std::size_t>(orientation)]
                                                              : TJXOP_NONE;
    const Move turn = kOperationMoves[clockwise ? TJXOP_ROT90 : TJXOP_ROT270];
    const Move combined = turn.After(kOperationMoves[static_cast<std::size_t>(upright)]);
    for (std::size_t op = 0; op < kOperationMoves.size(); ++op)
        if (kOperationMoves[op] == combined) return static_cast<int>(op);
    return TJXOP_NONE;  // not reached: the group is closed
}

struct HandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
struct BufferFree {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

// The file with every EXIF segment before the picture data rewritten for a width x height
// upright picture (or left out when unreadable); the rest is copied as it is.
std::string WithUprightExif(std::string_view jpeg, int width, int height) {
    std::string out(jpeg.substr(0, 2));
    std::size_t at = 2;
    // Only the header segments are walked; each step moves forward, so the walk ends.
    while (at + 4 <= jpeg.size() && static_cast<std::uint8_t>(jpeg[at]) == 0xFF) {
        const auto marker = static_cast<std::uint8_t>(jpeg[at + 1]);
        if (marker == 0xDA || marker == 0xFF) break;  // the picture data (or fill bytes) starts
        const std::size_t length =
            static_cast<std::size_t>(static_cast<std::uint8_t>(jpeg[at + 2])) << 8 | static_cast<std::uint8_t>(jpeg[at + 3]);
        if (length < 2 || at + 2 + length > jpeg.size()) break;
        const MetadataSegment segment{marker, std::string(jpeg.substr(at + 4, length - 2))};
        if (!IsExifSegment(segment)) {
            out.append(jpeg.substr(at, 2 + length));
        } else if (auto rewritten = UprightExifSegment(segment.data, width, height)) {
            const std::size_t size = rewritten->size() + 2;  // the same size as the one read
            out += {'\xFF', '\xE1', static_cast<char>(size >> 8), static_cast<char>(size & 0xFF)};
            out += *rewritten;
        }
        at += 2 + length;
    }
    out.append(jpeg.substr(at));
    return out;
}

}  // namespace

std::expected<LosslesslyTurned, std::string> TurnJpegLosslessly(std::string_view jpeg, int orientation,
                                                                bool clockwise) {
    const std::unique_ptr<void, HandleCloser> handle(tjInitTransform());
    if (!handle) return std::unexpected(std::string("the lossless transform cannot start"));
    auto* source = reinterpret_cast<unsigned char*>(const_cast<char*>(jpeg.data()));  // only read
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(handle.get(), source, jpeg.size(), &width, &height, &subsampling, &colourspace) != 0)
        return std::unexpected(std::string(tjGetErrorStr2(handle.get())));
    // The source's and the turned picture's coefficients, at most two bytes for each of four
    // components a pixel, must fit where a decode would.
    if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 16 > DecodeMemoryBudget())
        return std::unexpected(std::string("the picture is too large to turn in memory"));

    tjtransform transform{};
    transform.op = CombinedOperation(orientation, clockwise);
    transform.options = TJXOPT_PERFECT;  // every marker is copied (no TJXOPT_COPYNONE)
    unsigned char* turned = nullptr;
    unsigned long turnedSize = 0;
    const int status = tjTransform(handle.get(), source, jpeg.size(), 1, &turned, &turnedSize, &transform, 0);
    const std::unique_ptr<unsigned char, BufferFree> owned(turned);
    if (status != 0) {
        const std::string why = tjGetErrorStr2(handle.get());
        if (why.find("not perfect") == std::string::npos || subsampling < 0 || subsampling >= TJ_NUMSAMP)
            return std::unexpected(why);
        return std::unexpected("the size is not a multiple of the " + std::to_string(tjMCUWidth[subsampling]) + "x" +
                               std::to_string(tjMCUHeight[subsampling]) + " blocks");
    }
    const bool swaps = transform.op >= TJXOP_TRANSPOSE && transform.op != TJXOP_ROT180;
    LosslesslyTurned result;
    result.width = swaps ? height : width;
    result.height = swaps ? width : height;
    result.jpeg = WithUprightExif({reinterpret_cast<const char*>(turned), turnedSize}, result.width, result.height);
    return result;
}

}  // namespace vantrel
