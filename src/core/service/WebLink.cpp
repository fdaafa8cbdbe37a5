#include "core/service/WebLink.h"

#include "core/base/AsciiText.h"

namespace vantrel {

bool IsWebLink(std::string_view address) {
    for (const char c : address)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) return false;
    std::string_view rest;
    if (StartsWithIgnoringCase(address, "http://")) rest = address.substr(7);
    else if (StartsWithIgnoringCase(address, "https://")) rest = address.substr(8);
    else return false;
    return !rest.empty() && rest.front() != '/' && rest.front() != '?' && rest.front() != '#';
}

}  // namespace vantrel
