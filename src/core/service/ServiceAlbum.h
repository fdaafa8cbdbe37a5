#pragma once
// An album as the service lists it.

#include <cstdint>
#include <string>

namespace vantrel {

struct ServiceAlbum {
    std::string name;
    std::int32_t id = 0;  // the service's id of the album
};

}  // namespace vantrel
