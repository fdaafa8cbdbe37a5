#pragma once
// An INI text held in memory with the reading and writing rules of the classic private-profile
// functions: section and key names are compared without regard to case, the first occurrence
// wins, values are trimmed and lose one pair of surrounding quotes, and a value is read up to
// 2047 characters. Setting a key rewrites its line in place and keeps every other line, so a
// file edited by hand keeps its comments and foreign sections.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class IniDocument {
public:
    // The longest value a reader gets, in characters (the classic reading buffer less its terminator).
    static constexpr size_t kMaxValueLength = 2047;

    IniDocument() = default;
    // Parses INI text; never fails (lines that are neither a section nor a key are kept as they are).
    static IniDocument FromText(std::string_view text);
    // Reads a file; a missing or unreadable file gives an empty document.
    static IniDocument Load(const std::string& path);

    // The value of `key` in `section`, or nothing when either is missing.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Rewrites the key's line in place, or appends it at the end of its section, or appends the
    // section at the end of the text. A value that reading would change (surrounding blanks or
    // quotes) is written inside one extra pair of double quotes so that it reads back whole; a
    // value holding a line break is kept up to the first one.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    // The whole text, lines ending as the loaded text's first line did (CR LF for a new document).
    std::string ToText() const;

private:
    struct Line {
        std::string text;
    };
    // Index of the section's header line, or npos.
    size_t FindSection(std::string_view section) const;
    // Index of the key's line within the section starting after `header`, or npos.
    size_t FindKey(size_t header, std::string_view key) const;

    std::vector<Line> lines_;
    std::string lineEnd_ = "\r\n";
};

// Integer reading of the settings and language files: decimal, or hexadecimal when the text is
// longer than two characters and starts with "0x" or "0X"; anything else gives the default.
int ParseIniInteger(const std::optional<std::string>& text, int fallback);

}  // namespace vantrel
