#pragma once
// A message for the user, named by its language key; the window looks the key up in the
// language file, formats it with the arguments and shows it in a message box.

#include <string>
#include <vector>

namespace vantrel {

struct UserMessage {
    std::string key;                // language key, e.g. "BadAlbumName"
    std::vector<std::string> args;  // printf-style arguments in order, already as text

    bool operator==(const UserMessage&) const = default;
};

}  // namespace vantrel
