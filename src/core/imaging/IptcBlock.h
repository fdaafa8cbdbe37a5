#pragma once
// IptcBlock: the IPTC block (APP13 segment) of a scanned JPEG file. The scan records that the
// block is there; its datasets are not interpreted, so the dataset list stays empty.

#include <string>
#include <vector>

namespace vantrel {

class TimgData;

class IptcBlock {
public:
    // `scan` owns this object and outlives it.
    explicit IptcBlock(const TimgData& scan) : scan_(scan) {}

    const TimgData& Scan() const { return scan_; }
    // The datasets read from the block; none are read.
    const std::vector<std::string>& Datasets() const { return datasets_; }

private:
    const TimgData& scan_;
    std::vector<std::string> datasets_;
};

}  // namespace vantrel
