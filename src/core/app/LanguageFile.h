#pragma once
// The language file: every text the program shows comes from it. One file is chosen at start
// (the settings' name, then the user's country, then the user's language, then "GB.lng") and
// kept for the whole run. Files are named after a country ("GB.lng", "FR.lng").

#include <optional>
#include <string>
#include <unordered_map>
#include <sys/types.h>

#include "core/app/IniDocument.h"

namespace vantrel {

class LanguageFile {
public:
    // The message shown when no language file can be found.
    static constexpr const char* kNoLanguageMessage =
        "No language folder.\r\nReinstalling the software may solve the problem.";

    // Candidate paths in order: folder + settingsName, folder + COUNTRY + ".lng", the file of
    // `language` (FileNameForLanguage), folder + "GB.lng". Returns the first that exists, or nothing.
    static std::optional<std::string> Choose(const std::string& languageFolder, const std::string& settingsName,
                                             const std::string& country, const std::string& language = {});

    // The file that speaks an ISO 639 language ("fr" gives "FR.lng", "en" gives "GB.lng"); empty
    // for an empty language.
    static std::string FileNameForLanguage(const std::string& language);
    // The ISO 639 language a language file speaks, from its name ("FR.lng" gives "fr", "GB.lng"
    // gives "en"); empty when the name does not tell.
    static std::string LanguageOfFile(const std::string& path);

    // Opens the file at `path`; false when it cannot be read.
    bool Open(const std::string& path);
    bool IsOpen() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }

    // The text of `key` in section Strings, with every backslash-n turned into CR LF; the empty
    // text when the key is missing. The file is read again when it changed on disk, so the texts
    // shown are the file's contents at the moment they are shown.
    std::string Translate(const std::string& key) const;
    // A raw value of another section (BrevantWindow, Infos), without line-break replacement.
    std::string ReadRaw(const std::string& section, const std::string& key) const;

private:
    void RefreshIfChanged() const;

    std::string path_;
    mutable IniDocument document_;
    // Texts already looked up in section Strings, with their line breaks expanded; emptied when
    // the file changes. The window asks for the same few texts thousands of times.
    mutable std::unordered_map<std::string, std::string> translated_;
    mutable timespec modified_{};
    mutable off_t size_ = -1;
};

// Replaces every "\n" (backslash, letter n) by CR LF; case-sensitive.
std::string ExpandLineBreaks(std::string text);

}  // namespace vantrel
