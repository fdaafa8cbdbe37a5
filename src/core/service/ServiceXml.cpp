#include "core/service/ServiceXml.h"

#include <charconv>
#include <cstdio>

namespace vantrel {

std::expected<std::unique_ptr<pugi::xml_document>, XmlLoadProblem> LoadXmlFile(const std::string& path) {
    std::string content;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
        std::fclose(f);
    } else {
        return std::unexpected(XmlLoadProblem{XmlLoadProblem::Kind::NoFile, {}, "the file cannot be opened"});
    }

    auto doc = std::make_unique<pugi::xml_document>();
    const pugi::xml_parse_result result = doc->load_buffer(content.data(), content.size(), pugi::parse_default);
    if (result) return doc;
    if (result.status == pugi::status_no_document_element && content.find_first_not_of(" \t\r\n") == std::string::npos) {
        // An empty file: nothing was received.
        return std::unexpected(XmlLoadProblem{XmlLoadProblem::Kind::NoFile, {}, result.description()});
    }
    // The source text is the line in which the parser stopped.
    const size_t at = std::min(static_cast<size_t>(result.offset), content.size());
    const size_t lineStart = content.rfind('\n', at == 0 ? 0 : at - 1);
    const size_t from = (lineStart == std::string::npos || at == 0) ? 0 : lineStart + 1;
    size_t to = content.find('\n', at);
    if (to == std::string::npos) to = content.size();
    std::string line = content.substr(from, to - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return std::unexpected(XmlLoadProblem{XmlLoadProblem::Kind::ParseError, line, result.description()});
}

std::string ComposeXmlLoadMessage(const XmlLoadProblem& problem, std::string_view noFileKey,
                                  std::string_view parseErrorKey,
                                  const std::function<std::string(std::string_view)>& translate) {
    if (problem.kind == XmlLoadProblem::Kind::NoFile) return translate(noFileKey);
    return translate(parseErrorKey) + " " + problem.sourceText + "\r\n" + problem.reason;
}

std::string FirstChildValue(pugi::xml_node node) {
    return node.first_child().value();
}

namespace {
void AppendText(pugi::xml_node node, std::string& out) {
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) out.append(child.value());
        else if (child.type() == pugi::node_element) AppendText(child, out);
    }
}
}  // namespace

std::string DescendantText(pugi::xml_node node) {
    std::string text;
    AppendText(node, text);
    return text;
}

std::expected<std::int32_t, std::string> ParseWholeNumber(std::string_view text) {
    std::string_view t = text;
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t' || t.front() == '\r' || t.front() == '\n')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r' || t.back() == '\n')) t.remove_suffix(1);
    if (t.size() > 1 && t.front() == '+' && t[1] != '-') t.remove_prefix(1);
    std::int32_t value = 0;
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size() || (t.front() == '-' && t.size() == 1)) {
        std::string message = "'";
        message.append(text);
        message.append("' is not a valid integer value");
        return std::unexpected(std::move(message));
    }
    return value;
}

}  // namespace vantrel
