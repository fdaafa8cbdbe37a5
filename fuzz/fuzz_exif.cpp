// libFuzzer entry: scans arbitrary bytes as the head of a JPEG file and reads every entry.
#include <cstddef>
#include <cstdint>

#include "core/imaging/TimgData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vantrel::TimgData scan;
    scan.ScanBuffer({data, size});
    if (const vantrel::TImageInfo* info = scan.ExifInfo()) {
        std::size_t total = 0;
        for (const auto& entry : info->TagList()) total += entry.displayText.size() + entry.rawValue.size();
        total += info->TagText("FNumber").size() + info->DateText().size();
        (void)total;
    }
    return 0;
}
