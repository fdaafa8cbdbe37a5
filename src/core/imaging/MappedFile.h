#pragma once
// A whole file mapped read-only into memory, unmapped when the object goes.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantrel {

class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile();

    // Maps `path`; false (with errno set) when it cannot be opened or mapped. An empty file
    // opens with size 0 and no data.
    bool Open(const std::string& path);

    const std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace vantrel
