#include "core/service/WebLink.h"

namespace vantrel {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

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
