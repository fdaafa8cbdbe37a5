#include "core/imaging/JpegMemoryBudget.h"

#include <unistd.h>

#include <algorithm>

namespace vantrel {

std::uint64_t DecodeMemoryBudget() {
    static const std::uint64_t budget = [] {
        constexpr std::uint64_t kCeiling = std::uint64_t(1) << 30;
        const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
        if (pages <= 0 || pageSize <= 0) return kCeiling;
        return std::min(kCeiling, static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize) / 4);
    }();
    return budget;
}

std::uint64_t CodecMemoryLimit(std::uint64_t budget, std::uint64_t outputBytes) {
    return outputBytes < budget ? budget - outputBytes : 0;
}

namespace jpeg_detail {

void LimitDecoderMemory(j_decompress_ptr cinfo, std::uint64_t limit) {
    // libjpeg reads 0 as "no limit"; one byte already refuses any whole-picture store.
    cinfo->mem->max_memory_to_use = static_cast<long>(std::max<std::uint64_t>(limit, 1));
}

}  // namespace jpeg_detail
}  // namespace vantrel
