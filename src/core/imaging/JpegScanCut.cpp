#include "core/imaging/JpegScanCut.h"

#include <algorithm>
#include <numeric>

#include "core/imaging/JpegFirstMcuRewrite.h"
#include "core/imaging/JpegHuffmanMeasure.h"
#include "core/imaging/JpegLowerStream.h"

namespace vantrel {
namespace {

using namespace scan_detail;

constexpr int kMaxBlocksInMcu = 10;  // libjpeg refuses more
// A cut is looked for in this many MCU rows from the earliest; each one fits the byte grid with
// a chance of one in eight.
constexpr int kCandidateRows = 48;

struct ScanShape {
    ScanShape() = default;
    ScanShape(const ScanShape&) = delete;  // the blocks point into the tables
    ScanShape& operator=(const ScanShape&) = delete;

    std::vector<McuBlock> blocks;  // of one MCU, in coding order
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
            if (const auto resume = RewriteFirstMcu(in, dc, shape.blocks, prefix)) {
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
    RenumberRestarts(cut.lowerStream, dataStart, intervals);
    return cut;
}

}  // namespace

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
