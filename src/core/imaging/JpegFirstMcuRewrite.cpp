#include "core/imaging/JpegFirstMcuRewrite.h"

#include <bit>
#include <cstdlib>

namespace vantrel::scan_detail {
namespace {

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

}  // namespace

std::optional<std::size_t> RewriteFirstMcu(EntropyReader in, std::array<std::int32_t, 4> dc,
                                           std::span<const McuBlock> blocks, std::vector<std::uint8_t>& prefix) {
    BitWriter out(prefix);
    const std::uint64_t start = in.Consumed();
    for (const auto& block : blocks) {
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

}  // namespace vantrel::scan_detail
