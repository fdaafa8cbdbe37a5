#include "core/app/IniDocument.h"

#include <charconv>

#include "core/base/AsciiText.h"
#include "core/base/AtomicFile.h"

namespace vantrel {

namespace {

constexpr size_t npos = std::string::npos;

// "[name]" (blanks allowed around) gives name; anything else gives nothing.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimAscii(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    size_t close = line.find(']');
    if (close == npos) return std::nullopt;
    return TrimAscii(line.substr(1, close - 1));
}

bool IsQuotedPair(std::string_view value) {
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

}  // namespace

int ParseIniInteger(const std::optional<std::string>& text, int fallback) {
    if (!text || text->empty()) return fallback;
    std::string_view digits = *text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    if (base == 10 && digits.front() == '+') digits.remove_prefix(1);
    int value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (error != std::errc() || end != digits.data() + digits.size()) return fallback;
    return value;
}

IniDocument IniDocument::FromText(std::string_view text) {
    IniDocument document;
    size_t firstEnd = text.find('\n');
    document.lineEnd_ = (firstEnd != npos && firstEnd > 0 && text[firstEnd - 1] == '\r') ? "\r\n" : "\n";
    if (firstEnd == npos) document.lineEnd_ = "\r\n";
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end == npos ? npos : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        document.lines_.push_back({std::string(line)});
        if (end == npos) break;
        start = end + 1;
    }
    return document;
}

IniDocument IniDocument::Load(const std::string& path) {
    auto text = ReadWholeFile(path);
    return text ? FromText(*text) : IniDocument();
}

size_t IniDocument::FindSection(std::string_view section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        auto name = SectionName(lines_[i].text);
        if (name && EqualsIgnoringCase(*name, section)) return i;
    }
    return npos;
}

size_t IniDocument::FindKey(size_t header, std::string_view key) const {
    for (size_t i = header + 1; i < lines_.size(); ++i) {
        if (SectionName(lines_[i].text)) break;
        std::string_view line = lines_[i].text;
        size_t equals = line.find('=');
        if (equals != npos && EqualsIgnoringCase(TrimAscii(line.substr(0, equals)), key)) return i;
    }
    return npos;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    size_t header = FindSection(section);
    if (header == npos) return std::nullopt;
    size_t index = FindKey(header, key);
    if (index == npos) return std::nullopt;
    std::string_view line = lines_[index].text;
    std::string_view value = TrimAscii(line.substr(line.find('=') + 1));
    if (IsQuotedPair(value)) value = value.substr(1, value.size() - 2);
    // Cut at a character boundary: a UTF-8 sequence is never split.
    size_t cut = 0, characters = 0;
    while (cut < value.size() && characters < kMaxValueLength) {
        ++cut;
        while (cut < value.size() && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) ++cut;
        ++characters;
    }
    return std::string(value.substr(0, cut));
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    // A line break would end the value and start lines of its own (a section header even): the
    // value is kept up to the first one.
    value = value.substr(0, value.find_first_of("\r\n"));
    std::string stored(value);
    if (!value.empty() && (TrimAscii(value).size() != value.size() || IsQuotedPair(value))) stored = '"' + stored + '"';
    std::string line = std::string(key) + "=" + stored;

    size_t header = FindSection(section);
    if (header == npos) {
        if (!lines_.empty() && !TrimAscii(lines_.back().text).empty()) lines_.push_back({""});
        lines_.push_back({"[" + std::string(section) + "]"});
        lines_.push_back({line});
        return;
    }
    size_t index = FindKey(header, key);
    if (index != npos) {
        lines_[index].text = line;
        return;
    }
    // After the section's last non-blank line, so that a blank line before the next section stays.
    size_t insertAt = header + 1;
    for (size_t i = header + 1; i < lines_.size() && !SectionName(lines_[i].text); ++i)
        if (!TrimAscii(lines_[i].text).empty()) insertAt = i + 1;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), {line});
}

std::string IniDocument::ToText() const {
    std::string text;
    for (const Line& line : lines_) text += line.text + lineEnd_;
    return text;
}

}  // namespace vantrel
