#pragma once
// The language texts of vantrel-cli's messages, as the terminal shows them.

#include <string>
#include <string_view>

#include "core/app/LanguageFile.h"

namespace vantrel::cli {

// The user's country from the locale variables ("fr_FR.UTF-8" gives FR); GB when none tells.
std::string CountryFromEnvironment();

// CR LF line breaks of the language texts become plain line breaks on the terminal.
std::string ForTerminal(std::string text);

// The language file the window would use, found beside the program or in its data folder.
class Texts {
public:
    Texts(const std::string& settingsName, const std::string& country);
    // The language text of `key`, or the key itself when no language file has it.
    std::string operator()(std::string_view key) const;

private:
    LanguageFile file_;
};

}  // namespace vantrel::cli
