#include "tools/TerminalTexts.h"

#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

#include <cstdlib>

#include "core/app/DataFolder.h"
#include "core/base/AsciiText.h"

namespace vantrel::cli {
namespace {

// The folder of the running executable, where "Language/" lies.
std::string ProgramFolder() {
    char path[4096];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    std::string folder(path, static_cast<std::size_t>(length));
    return folder.substr(0, folder.find_last_of('/'));
}

}  // namespace

LocaleInfo LocaleFromEnvironment() {
    LocaleInfo locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value) continue;
        // language[_COUNTRY][.codeset][@modifier]; "C" and "POSIX" name no language.
        const std::string text(value);
        const std::string language = text.substr(0, text.find_first_of("_.@"));
        const std::size_t underscore = text.find('_');
        if (language.size() == 2 && IsAsciiLetter(language[0]) && IsAsciiLetter(language[1])) {
            locale.language = ToLowerAscii(language);
            locale.country = underscore != std::string::npos && underscore + 3 <= text.size()
                                 ? ToUpperAscii(text.substr(underscore + 1, 2))
                                 : ToUpperAscii(language);
        }
        break;
    }
    // The decimal separator of the locale, when the system has that locale.
    if (locale_t numeric = newlocale(LC_NUMERIC_MASK, "", nullptr)) {
        const char* radix = nl_langinfo_l(RADIXCHAR, numeric);
        if (radix && radix[0] && !radix[1]) locale.decimalSeparator = radix[0];
        freelocale(numeric);
    }
    return locale;
}

std::string ForTerminal(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

Texts::Texts(const std::string& settingsName, const LocaleInfo& locale) {
    if (auto path = LanguageFile::Choose(DataFolderFor(ProgramFolder()) + "Language/", settingsName, locale.country,
                                         locale.language)) {
        file_.Open(*path);
        fileName_ = path->substr(path->find_last_of('/') + 1);
    }
}

std::string Texts::FileName() const { return fileName_; }

std::string Texts::operator()(std::string_view key) const {
    std::string text = file_.IsOpen() ? file_.Translate(std::string(key)) : std::string();
    return text.empty() ? std::string(key) : text;
}

}  // namespace vantrel::cli
