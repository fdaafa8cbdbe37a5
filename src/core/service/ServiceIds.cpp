#include "core/service/ServiceIds.h"

#include <algorithm>

namespace vantrel {

std::string WhyCustomerIdIsUnsafe(std::string_view id) {
    if (id.empty()) return "it is empty";
    if (id == "." || id == "..") return "it names a folder above or the same folder";
    if (id.size() > kMaxCustomerIdLength) return "it is longer than " + std::to_string(kMaxCustomerIdLength) + " characters";
    if (id.find_first_of("/\\") != std::string_view::npos) return "it holds a path separator";
    const bool control = std::any_of(id.begin(), id.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
    if (control) return "it holds a control character";
    return {};
}

void CheckCustomerId(std::string_view id) {
    const std::string why = WhyCustomerIdIsUnsafe(id);
    if (!why.empty()) throw UnsafeServiceIdError("the service gave a member id that cannot be used: " + why);
}

void CheckAlbumId(std::int32_t id, std::string_view albumName) {
    if (id <= 0)
        throw UnsafeServiceIdError("the service gave the album \"" + std::string(albumName) + "\" the id " +
                                   std::to_string(id) + ", which is not a positive number");
}

}  // namespace vantrel
