#pragma once
// The language texts of vantrel-cli's messages, as the terminal shows them.

#include <string>
#include <string_view>

#include "core/app/LanguageFile.h"
#include "core/app/LocaleInfo.h"

namespace vantrel::cli {

// The user's country and language from the locale variables ("fr_BE.UTF-8" gives BE and fr);
// GB and en when none tells.
LocaleInfo LocaleFromEnvironment();

// CR LF line breaks of the language texts become plain line breaks on the terminal.
std::string ForTerminal(std::string text);

// The language file the window would use, found beside the program or in its data folder: the
// one the settings name, else the one of the locale's country, else of its language, else GB.
class Texts {
public:
    Texts(const std::string& settingsName, const LocaleInfo& locale);
    // The language text of `key`, or the key itself when no language file has it.
    std::string operator()(std::string_view key) const;
    // The name of the file in use ("FR.lng"); empty when none was found.
    std::string FileName() const;

private:
    LanguageFile file_;
    std::string fileName_;
};

}  // namespace vantrel::cli
