#include "core/imaging/JpegScanCut.h"

#include <bit>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <tuple>

namespace vantrel {
namespace {

constexpr int kLookBits = 11;
constexpr int kMaxBlocksInMcu = 10;  // libjpeg refuses more
// A cut is looked for in this many MCU rows from the earliest; each one fits the byte grid with
// a chance of one in eight.
constexpr int kCandidateRows = 48;

// A Huffman table in the forms the reading needs. Codes are derived as libjpeg derives them and
// a table libjpeg refuses is refused here, so both read the same symbols from the same bits.
struct CodeTable {
    std::array<std::uint16_t, 1 << kLookBits> fast{};  // (length << 8) | symbol; 0: a longer code
    std::array<std::int32_t, 18> maxCode{};             // per length; -1 when there is none
    std::array<std::int32_t, 18> valueOffset{};
    std::array<std::uint8_t, 256> symbols{};
    // AC only: per look-ahead, the step of one coefficient (see AcStep), with the step of a second
    // one in bits 12..23 when its code and value lie within the look-ahead after the first and
    // the first does not end the block, and the bits of both in bits 24..; 0 when the code is
    // longer than the look-ahead.
    std::array<std::uint32_t, 1 << kLookBits> acPair{};
    // DC only: the code of each size category, for writing values; length 0 when absent.
    std::array<std::uint16_t, 16> dcCode{};
    std::array<std::uint8_t, 16> dcLength{};
};

// The bits one coefficient takes (code and value) | (the positions it advances << 5); an end of
// block advances 64.
std::uint32_t AcStep(int length, int symbol) {
    const int size = symbol & 15, run = symbol >> 4;
    const int advance = size != 0 ? run + 1 : (run == 15 ? 16 : 64);
    return static_cast<std::uint32_t>((length + size) | advance << 5);
}

bool BuildTable(const HuffmanSpec& spec, bool dc, CodeTable& table) {
    std::array<std::uint8_t, 257> lengths{};
    std::array<std::uint32_t, 256> codes{};
    std::array<std::uint32_t, 1 << kLookBits> acStep{};
    int count = 0;
    for (int l = 1; l <= 16; ++l) {
        if (count + spec.counts[l] > 256) return false;
        for (int i = 0; i < spec.counts[l]; ++i) lengths[count++] = static_cast<std::uint8_t>(l);
    }
    std::uint32_t code = 0;
    int size = lengths[0];
    for (int p = 0; p < count;) {
        while (p < count && lengths[p] == size) codes[p++] = code++;
        if (code >= (1u << size)) return false;
        code <<= 1;
        ++size;
    }
    for (int p = 0, l = 1; l <= 16; ++l) {
        if (spec.counts[l] == 0) {
            table.maxCode[l] = -1;
            continue;
        }
        table.valueOffset[l] = p - static_cast<std::int32_t>(codes[p]);
        p += spec.counts[l];
        table.maxCode[l] = static_cast<std::int32_t>(codes[p - 1]);
    }
    table.maxCode[17] = 0xFFFFF;
    table.symbols = spec.symbols;
    for (int p = 0; p < count; ++p) {
        const int symbol = spec.symbols[p];
        if (dc && symbol > 15) return false;
        if (dc && table.dcLength[symbol] == 0) {
            table.dcCode[symbol] = static_cast<std::uint16_t>(codes[p]);
            table.dcLength[symbol] = lengths[p];
        }
        if (lengths[p] > kLookBits) continue;
        const int spare = kLookBits - lengths[p];
        for (std::uint32_t low = 0; low < (1u << spare); ++low) {
            const std::uint32_t index = codes[p] << spare | low;
            table.fast[index] = static_cast<std::uint16_t>(lengths[p] << 8 | symbol);
            acStep[index] = AcStep(lengths[p], symbol);
        }
    }
    if (dc) return true;  // DC codes are read one at a time
    constexpr std::uint32_t kMask = (1u << kLookBits) - 1;
    for (std::uint32_t index = 0; index <= kMask; ++index) {
        const std::uint32_t first = acStep[index], used = first & 31;
        table.acPair[index] = first == 0 ? 0 : first | used << 24;
        if (first == 0 || (first >> 5) == 64 || used >= kLookBits) continue;
        const std::uint32_t second = acStep[(index << used) & kMask];
        if (second != 0 && (second & 31) <= kLookBits - used)
            table.acPair[index] = first | second << 12 | (used + (second & 31)) << 24;
    }
    return true;
}

// The entropy-coded bytes as a stream of bits: stuffed zero bytes are dropped, and a marker or
// the end of the file ends the data (zeros are read after it).
class EntropyReader {
public:
    EntropyReader(std::span<const std::uint8_t> data, std::size_t offset)
        : data_(data), start_(offset), pos_(offset) {}

    // At least 32 bits ahead, enough for one code and its value.
    void Fill() {
        if (bits_ < 32) Refill();
    }
    std::uint32_t Peek(int n) const { return static_cast<std::uint32_t>(acc_ >> (64 - n)); }  // 1 <= n <= 32
    void Skip(int n) {
        acc_ <<= n;
        bits_ -= n;
        consumed_ += n;
    }
    std::uint64_t Consumed() const { return consumed_; }
    bool Ended() const { return ended_; }

    // The offset in the file of the byte that holds the next bit to read.
    std::size_t NextByteOffset() const {
        std::uint64_t back = loaded_ - consumed_ / 8;
        std::size_t p = pos_;
        while (back-- > 0) {
            --p;
            if (data_[p] == 0 && p > start_ && data_[p - 1] == 0xFF) --p;
        }
        return p;
    }

private:
    static bool HasFF(std::uint64_t w) {
        return ((~w - 0x0101010101010101ULL) & w & 0x8080808080808080ULL) != 0;
    }

    void Refill() {
        while (bits_ <= 56) {
            if (pos_ + 8 <= data_.size()) {
                std::uint64_t w;
                std::memcpy(&w, data_.data() + pos_, 8);
                if constexpr (std::endian::native == std::endian::little) w = std::byteswap(w);
                if (!HasFF(w)) {
                    const int n = (64 - bits_) >> 3;
                    acc_ |= (w >> (64 - 8 * n)) << (64 - bits_ - 8 * n);
                    bits_ += 8 * n;
                    pos_ += static_cast<std::size_t>(n);
                    loaded_ += static_cast<std::uint64_t>(n);
                    return;
                }
            }
            std::uint8_t byte = 0;
            if (!ended_ && pos_ < data_.size()) {
                byte = data_[pos_];
                if (byte != 0xFF) {
                    ++pos_;
                } else if (pos_ + 1 < data_.size() && data_[pos_ + 1] == 0) {
                    pos_ += 2;
                } else {
                    ended_ = true;
                    byte = 0;
                }
            } else {
                ended_ = true;
            }
            if (!ended_) ++loaded_;
            acc_ |= std::uint64_t(byte) << (56 - bits_);
            bits_ += 8;
        }
    }

    std::span<const std::uint8_t> data_;
    std::size_t start_;
    std::size_t pos_;
    std::uint64_t acc_ = 0;  // the next bits, first bit highest
    int bits_ = 0;
    std::uint64_t consumed_ = 0;
    std::uint64_t loaded_ = 0;  // data bytes taken into acc_
    bool ended_ = false;
};

// A code longer than the look-ahead: length and symbol as libjpeg finds them; length 0 for bits
// that are no code of the table.
std::pair<int, int> DecodeLong(const EntropyReader& in, const CodeTable& table) {
    const std::uint32_t bits = in.Peek(16);
    for (int l = kLookBits + 1; l <= 16; ++l) {
        const std::int32_t code = static_cast<std::int32_t>(bits >> (16 - l));
        if (code <= table.maxCode[l]) return {l, table.symbols[static_cast<std::uint8_t>(code + table.valueOffset[l])]};
    }
    return {0, 0};
}

std::int32_t Extend(std::uint32_t value, int size) {
    const std::int32_t v = static_cast<std::int32_t>(value);
    return v < (1 << (size - 1)) ? v - (1 << size) + 1 : v;
}

// Reads one block, adding its DC difference to `dc` as libjpeg does (wrapping). The sink sees
// every code read: Dc(code, codeLength, valueBits, size, newDc) and Ac(bits, count).
template <class Sink>
bool ReadBlock(EntropyReader& in, const CodeTable& dcTable, const CodeTable& acTable, std::int32_t& dc, Sink& sink) {
    in.Fill();
    std::uint32_t entry = dcTable.fast[in.Peek(kLookBits)];
    int length = static_cast<int>(entry >> 8), size = static_cast<int>(entry & 0xFF);
    if (entry == 0) {
        std::tie(length, size) = DecodeLong(in, dcTable);
        if (length == 0) return false;
    }
    const std::uint32_t code = in.Peek(length);
    in.Skip(length);
    std::uint32_t value = 0;
    std::int32_t diff = 0;
    if (size != 0) {
        value = in.Peek(size);
        in.Skip(size);
        diff = Extend(value, size);
    }
    dc = static_cast<std::int32_t>(static_cast<std::uint32_t>(dc) + static_cast<std::uint32_t>(diff));
    sink.Dc(code, length, value, size, dc);
    for (int k = 1; k < 64;) {
        in.Fill();
        std::uint32_t step = acTable.acPair[in.Peek(kLookBits)];
        if (step == 0) {
            const auto [l, symbol] = DecodeLong(in, acTable);
            if (l == 0) return false;
            step = AcStep(l, symbol);
            step |= (step & 31) << 24;
        }
        k += static_cast<int>((step >> 5) & 127);
        if (k >= 64) {  // the first coefficient ends the block: a second one is the next block's
            const int bits = static_cast<int>(step & 31);
            sink.Ac(in.Peek(bits), bits);
            in.Skip(bits);
            break;
        }
        // Both coefficients' bits straight from the table: the next look-up need not wait for
        // the count of positions.
        const int bits = static_cast<int>(step >> 24);
        sink.Ac(in.Peek(bits), bits);
        in.Skip(bits);
        k += static_cast<int>((step >> 17) & 127);
    }
    return true;
}

struct SkipSink {
    void Dc(std::uint32_t, int, std::uint32_t, int, std::int32_t) {}
    void Ac(std::uint32_t, int) {}
};

// Bits written as entropy-coded bytes, 0xFF followed by a stuffed zero.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(std::uint32_t value, int n) {  // n <= 32
        if (n == 0) return;
        acc_ = acc_ << n | (value & ((std::uint64_t(1) << n) - 1));
        bits_ += n;
        written_ += static_cast<std::uint64_t>(n);
        while (bits_ >= 8) {
            bits_ -= 8;
            const auto byte = static_cast<std::uint8_t>(acc_ >> bits_);
            out_.push_back(byte);
            if (byte == 0xFF) out_.push_back(0);
        }
    }
    std::uint64_t Written() const { return written_; }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t acc_ = 0;
    int bits_ = 0;
    std::uint64_t written_ = 0;
};

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
