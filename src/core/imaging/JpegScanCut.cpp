#include "core/imaging/JpegScanCut.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "core/imaging/JpegHuffmanMeasure.h"

namespace vantrel {
namespace {

using namespace scan_detail;

constexpr int kMaxBlocksInMcu = 10;  // libjpeg refuses more
// A cut is looked for in this many MCU rows from the earliest; each one fits the byte grid with
// a chance of one in eight.
constexpr int kCandidateRows = 48;

// Copies an MCU's codes, writing each component's first DC value as an absolute value (the
// prediction of a new scan starts at zero).
struct RewriteSink {
    BitWriter& out;
    const CodeTable& dcTable;
    bool absolute;
    bool ok = true;

    void Dc(std::uint32_t code, int length, std::uint32_t value, int size, std::int32_t dc) {
        if (!absolute) {
            out.Put(code, length);
            out.Put(value, size);
            return;
        }
        const std::uint32_t magnitude = static_cast<std::uint32_t>(std::abs(static_cast<std::int64_t>(dc)));
        const int category = std::bit_width(magnitude);
        if (category > 15 || dcTable.dcLength[category] == 0) {
            ok = false;
            return;
        }
        out.Put(dcTable.dcCode[category], dcTable.dcLength[category]);
        out.Put(static_cast<std::uint32_t>(dc >= 0 ? dc : dc + (1 << category) - 1), category);
    }
    void Ac(std::uint32_t bits, int n) { out.Put(bits, n); }
};

struct ScanShape {
    ScanShape() = default;
    ScanShape(const ScanShape&) = delete;  // the blocks point into the tables
    ScanShape& operator=(const ScanShape&) = delete;

    struct Block {
        std::size_t component;
        bool firstOfComponent;
        const CodeTable* dc;
        const CodeTable* ac;
    };
    std::vector<Block> blocks;  // of one MCU, in coding order
    // By table number, each built once: components that share a table share its cache lines.
    std::array<std::optional<CodeTable>, 4> dcTables, acTables;
    int mcusPerRow = 0, mcuRows = 0, rowsPerMcuRow = 0;
};

// The table of `number`, built on first use; null when the header defines no valid one.
const CodeTable* TableOf(const std::array<std::optional<HuffmanSpec>, 4>& specs, int number, bool dc,
                         std::array<std::optional<CodeTable>, 4>& tables) {
    if (number < 0 || number > 3) return nullptr;
    const auto n = static_cast<std::size_t>(number);
    if (!tables[n]) {
        if (!specs[n] || !BuildTable(*specs[n], dc, tables[n].emplace())) return nullptr;
    }
    return &*tables[n];
}

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

bool ShapeOf(const JpegScanLayout& layout, ScanShape& shape) {
    const auto& components = layout.components;
    if (layout.width <= 0 || layout.height <= 0 || components.empty() || components.size() > 4) return false;
    int maxH = 1, maxV = 1;
    for (const auto& c : components) {
        if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4) return false;
        maxH = std::max(maxH, c.h);
        maxV = std::max(maxV, c.v);
    }
    const bool interleaved = components.size() > 1;
    if (!interleaved && (components[0].h != 1 || components[0].v != 1)) return false;
    shape.rowsPerMcuRow = 8 * maxV;
    shape.mcusPerRow = CeilDiv(layout.width, 8 * maxH);
    shape.mcuRows = CeilDiv(layout.height, shape.rowsPerMcuRow);
    for (std::size_t i = 0; i < components.size(); ++i) {
        const auto& c = components[i];
        const CodeTable* dc = TableOf(layout.dcTables, c.dcTable, true, shape.dcTables);
        const CodeTable* ac = TableOf(layout.acTables, c.acTable, false, shape.acTables);
        if (dc == nullptr || ac == nullptr) return false;
        const int count = interleaved ? c.h * c.v : 1;
        for (int b = 0; b < count; ++b) shape.blocks.push_back({i, b == 0, dc, ac});
    }
    return shape.blocks.size() <= kMaxBlocksInMcu;
}

// The offset of the frame header's marker, found by walking the segments from the start of the
// file to the scan header that ends at `dataOffset`; nothing when the walk does not end there
// (the codec tolerated something odd on the way) or the frame's height is not `height`.
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

// The next marker in entropy-coded data from `pos` (stuffed zero bytes and fill bytes passed
// over); `pos` is left just after it. Nothing at the end of the data.
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

// The headers of the file, with the frame's height set to `height`.
std::vector<std::uint8_t> HeaderWithHeight(std::span<const std::uint8_t> file, std::size_t dataOffset,
                                           std::size_t frameOffset, int height) {
    std::vector<std::uint8_t> header(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(dataOffset));
    header[frameOffset + 5] = static_cast<std::uint8_t>(height >> 8);
    header[frameOffset + 6] = static_cast<std::uint8_t>(height & 0xFF);
    return header;
}

// The first MCU at the reader written anew into `prefix`, each component's first DC value as an
// absolute value; the offset in the file from which the original bytes follow it. Nothing when
// the rewrite does not end on the original's byte grid or cannot be written (a DC size category
// that the table lacks).
std::optional<std::size_t> RewriteFirstMcu(EntropyReader in, std::array<std::int32_t, 4> dc, const ScanShape& shape,
                                           std::vector<std::uint8_t>& prefix) {
    BitWriter out(prefix);
    const std::uint64_t start = in.Consumed();
    for (const auto& block : shape.blocks) {
        RewriteSink sink{out, *block.dc, block.firstOfComponent};
        if (!ReadBlock(in, *block.dc, *block.ac, dc[block.component], sink) || !sink.ok) return std::nullopt;
    }
    const std::int64_t shift = static_cast<std::int64_t>(out.Written()) -
                               static_cast<std::int64_t>(in.Consumed() - start) - static_cast<std::int64_t>(start % 8);
    if (shift % 8 != 0) return std::nullopt;
    // The rest of the original's byte, then whole bytes on both sides.
    const int rest = static_cast<int>((8 - in.Consumed() % 8) % 8);
    in.Fill();
    if (rest > 0) out.Put(in.Peek(rest), rest);
    in.Skip(rest);
    if (in.Ended()) return std::nullopt;
    return in.NextByteOffset();
}

// The cut whose lower stream starts at MCU row `mcuRow`: the headers with its height, `prefix`,
// and the file's bytes from `resume` on.
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

// A scan without restart markers: the codes are measured from the start of the data to the cut,
// and the first MCU after it is written anew.
std::optional<JpegScanCut> CutByMeasuring(std::span<const std::uint8_t> file, const JpegScanLayout& layout,
                                          const ScanShape& shape, std::size_t frameOffset, int firstCandidate,
                                          const std::function<bool(int)>& claim) {
    const int rows = shape.rowsPerMcuRow;
    const int lastCandidate = std::min(shape.mcuRows - 2, firstCandidate + kCandidateRows - 1);
    EntropyReader in(file, layout.dataOffset);
    std::array<std::int32_t, 4> dc{};
    for (int mcuRow = 0; mcuRow <= lastCandidate; ++mcuRow) {
        if (mcuRow >= firstCandidate) {
            std::vector<std::uint8_t> prefix;
            if (const auto resume = RewriteFirstMcu(in, dc, shape, prefix)) {
                if (!claim((mcuRow + 1) * rows)) return std::nullopt;
                return CutAt(file, layout, frameOffset, rows, mcuRow, prefix, *resume);
            }
        }
        SkipSink skip;
        for (int m = 0; m < shape.mcusPerRow; ++m) {
            for (const auto& block : shape.blocks) {
                if (!ReadBlock(in, *block.dc, *block.ac, dc[block.component], skip)) return std::nullopt;
            }
        }
        if (in.Ended()) return std::nullopt;
    }
    return std::nullopt;
}

// A scan with restart markers: every interval starts on a byte boundary with the prediction at
// zero, so the cut needs no codes read, only the markers counted to the first interval that
// starts an MCU row. The lower stream's markers are numbered anew from its own start.
std::optional<JpegScanCut> CutAtRestart(std::span<const std::uint8_t> file, const JpegScanLayout& layout,
                                        const ScanShape& shape, std::size_t frameOffset, int firstCandidate,
                                        const std::function<bool(int)>& claim) {
    const int interval = layout.restartInterval;
    const int step = interval / std::gcd(interval, shape.mcusPerRow);  // MCU rows from one such start to the next
    const int mcuRow = CeilDiv(firstCandidate, step) * step;
    if (mcuRow > shape.mcuRows - 2) return std::nullopt;
    const std::int64_t intervals = std::int64_t(mcuRow) * shape.mcusPerRow / interval;
    std::size_t pos = layout.dataOffset;
    for (std::int64_t seen = 0; seen < intervals;) {
        const auto marker = NextMarker(file, pos);
        if (!marker || *marker != 0xD0 + seen % 8) return std::nullopt;  // the end of the data, or damage
        ++seen;
    }
    if (!claim((mcuRow + 1) * shape.rowsPerMcuRow)) return std::nullopt;
    JpegScanCut cut = CutAt(file, layout, frameOffset, shape.rowsPerMcuRow, mcuRow, {}, pos);
    const std::size_t dataStart = cut.lowerStream.size() - (file.size() - pos);
    const std::span<std::uint8_t> data(cut.lowerStream);
    for (std::size_t at = dataStart;;) {
        const auto marker = NextMarker(data, at);
        if (!marker || *marker < 0xD0 || *marker > 0xD7) break;  // the end of the scan
        data[at - 1] = static_cast<std::uint8_t>(0xD0 + (*marker - 0xD0 + 8 - intervals % 8) % 8);
    }
    return cut;
}

}  // namespace

std::optional<std::size_t> ImageEndFinder::Find(std::span<const std::uint8_t> bytes) {
    while (pos_ < bytes.size()) {
        const void* found = std::memchr(bytes.data() + pos_, 0xFF, bytes.size() - pos_);
        if (found == nullptr) {
            pos_ = bytes.size();
            return std::nullopt;
        }
        std::size_t at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(found) - bytes.data());
        while (at + 1 < bytes.size() && bytes[at + 1] == 0xFF) ++at;  // fill bytes
        if (at + 1 >= bytes.size()) {
            pos_ = at;  // the marker's second byte is still to come
            return std::nullopt;
        }
        const std::uint8_t marker = bytes[at + 1];
        const bool standalone = marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
        if (inScan_ && (marker == 0x00 || (marker >= 0xD0 && marker <= 0xD7))) {
            pos_ = at + 2;  // a stuffed zero or a restart marker: the scan goes on
            continue;
        }
        inScan_ = false;
        if (marker == 0xD9) return at + 2;
        if (standalone) {
            pos_ = at + 2;
            continue;
        }
        if (at + 4 > bytes.size()) {
            pos_ = at;  // the segment's length is still to come
            return std::nullopt;
        }
        pos_ = at + 2 + (std::size_t(bytes[at + 2]) << 8 | bytes[at + 3]);
        inScan_ = marker == 0xDA;  // another scan's data follows its header
    }
    return std::nullopt;
}

int RowsPerMcuRow(const JpegScanLayout& layout) {
    int maxV = 1;
    for (const auto& c : layout.components) maxV = std::max(maxV, c.v);
    return 8 * maxV;
}

std::optional<JpegScanCut> CutScan(std::span<const std::uint8_t> file, const JpegScanLayout& layout, int earliestRow,
                                   const std::function<bool(int)>& claim) {
    ScanShape shape;
    const auto frameOffset = FrameHeaderOffset(file, layout.dataOffset, layout.height);
    if (!frameOffset || !ShapeOf(layout, shape)) return std::nullopt;
    // The lower stream starts one MCU row above the first row it is used for.
    const int firstCandidate = std::max(1, CeilDiv(std::max(earliestRow, 0), shape.rowsPerMcuRow) - 1);
    if (layout.restartInterval > 0) return CutAtRestart(file, layout, shape, *frameOffset, firstCandidate, claim);
    return CutByMeasuring(file, layout, shape, *frameOffset, firstCandidate, claim);
}

}  // namespace vantrel
