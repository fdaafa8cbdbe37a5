#include "core/imaging/JpegHuffmanMeasure.h"

namespace vantrel::scan_detail {

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

}  // namespace vantrel::scan_detail
