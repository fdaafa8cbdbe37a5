#include "core/service/ServiceXml.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "core/base/AsciiText.h"

namespace vantrel {

std::expected<std::unique_ptr<pugi::xml_document>, XmlLoadError> LoadXmlFile(const std::string& path) {
    std::string content;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
        std::fclose(f);
    } else {
        return std::unexpected(XmlLoadError{XmlLoadError::Kind::NoFile, {}, "the file cannot be opened"});
    }

    auto doc = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result = doc->load_buffer(content.data(), content.size(), pugi::parse_default);
    if (result) return doc;
    if (result.status == pugi::status_no_document_element && content.find_first_not_of(" \t\r\n") == std::string::npos) {
        // An empty file: nothing was received.
        return std::unexpected(XmlLoadError{XmlLoadError::Kind::NoFile, {}, result.description()});
    }
    // The source text is (an excerpt of) the line in which the parser stopped.
    const size_t at = std::min(static_cast<size_t>(result.offset), content.size());
    const size_t lineStart = at == 0 ? std::string::npos : content.rfind('\n', at - 1);
    const size_t from = lineStart == std::string::npos ? 0 : lineStart + 1;
    size_t to = content.find('\n', at);
    if (to == std::string::npos) to = content.size();
    std::string_view line(content.data() + from, to - from);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return std::unexpected(
        XmlLoadError{XmlLoadError::Kind::ParseError, Excerpt(line, at - from), result.description()});
}

std::string ComposeXmlLoadMessage(const XmlLoadError& problem, std::string_view noFileKey,
                                  std::string_view parseErrorKey,
                                  const std::function<std::string(std::string_view)>& translate) {
    if (problem.kind == XmlLoadError::Kind::NoFile) return translate(noFileKey);
    return translate(parseErrorKey) + " " + problem.sourceText + "\r\n" + problem.reason;
}

std::string FirstChildValue(pugi::xml_node node) {
    return node.first_child().value();
}

std::string DescendantText(pugi::xml_node node) {
    std::string text;
    // Depth-first walk by sibling and parent links: the answer decides the depth, not the stack.
    pugi::xml_node at = node.first_child();
    while (at) {
        if (at.type() == pugi::node_pcdata || at.type() == pugi::node_cdata) text.append(at.value());
        if (at.type() == pugi::node_element && at.first_child()) {
            at = at.first_child();
            continue;
        }
        while (at && at != node && !at.next_sibling()) at = at.parent();
        if (!at || at == node) break;
        at = at.next_sibling();
    }
    return text;
}

namespace {
bool ContinuesCharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
}  // namespace

std::string Excerpt(std::string_view text, std::size_t at) {
    if (text.size() <= kExcerptLimit) return std::string(text);
    constexpr std::size_t kBefore = kExcerptLimit / 3;
    std::size_t from = std::min(at, text.size()) > kBefore ? std::min(at, text.size()) - kBefore : 0;
    from = std::min(from, text.size() - kExcerptLimit);
    std::size_t to = from + kExcerptLimit;
    // A UTF-8 character spans at most four bytes; anything longer is no text to keep whole.
    for (int step = 0; step < 3 && ContinuesCharacter(text[from]); ++step) ++from;
    for (int step = 0; step < 3 && to < text.size() && ContinuesCharacter(text[to]); ++step) --to;
    std::string out;
    if (from > 0) out = "...";
    out.append(text.substr(from, to - from));
    if (to < text.size()) out.append("...");
    return out;
}

std::expected<std::int32_t, std::string> ParseWholeNumber(std::string_view text) {
    std::string_view t = TrimAscii(text, " \t\r\n");
    if (t.size() > 1 && t.front() == '+' && t[1] != '-') t.remove_prefix(1);
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || (t.front() == '-' && t.size() == 1)) {
        std::string message = "'";
        message.append(Excerpt(text));
        message.append("' is not a valid integer value");
        return std::unexpected(std::move(message));
    }
    return value;
}

}  // namespace vantrel
