#pragma once
// Shared pieces for reading the service's XML documents (settings document, XML-RPC responses):
// loading a file with the parse error's details, node values and texts, whole numbers.

#include <pugixml.hpp>

#include <cstddef>
#include <cstdint>
#include <expected>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vantrel {

// A document that did not load. `kind` says which of the two messages applies: the file is
// missing or holds no document at all (`NoFile`), or the parser stopped at an error
// (`ParseError`, with an excerpt of the line where it stopped and the parser's reason).
struct XmlLoadError {
    enum class Kind { NoFile, ParseError };
    Kind kind = Kind::NoFile;
    std::string sourceText;
    std::string reason;
};

// Loads an XML file. Whitespace-only text and comments are not kept as nodes.
std::expected<std::unique_ptr<pugi::xml_document>, XmlLoadError> LoadXmlFile(const std::string& path);

// The message the user sees for a load problem: the translated text of `noFileKey` alone, or
// that of `parseErrorKey`, a blank, the source text, CR LF and the reason.
std::string ComposeXmlLoadMessage(const XmlLoadError& problem, std::string_view noFileKey,
                                  std::string_view parseErrorKey,
                                  const std::function<std::string(std::string_view)>& translate);

// The node value of the node's first child: the text of a simple element; empty for an element
// without children or whose first child is an element.
std::string FirstChildValue(pugi::xml_node node);

// The text of all the node's descendant text nodes, concatenated in document order. Walks the
// tree without recursion, so that any depth of nesting is safe.
std::string DescendantText(pugi::xml_node node);

// At most kExcerptLimit bytes of `text` around byte `at`: the whole text when it is short enough,
// else a window that starts a little before `at`, cut on UTF-8 character boundaries, with "..."
// where text was left out. Error messages quote outside text through it, so that a huge line
// never makes a huge message.
inline constexpr std::size_t kExcerptLimit = 120;
std::string Excerpt(std::string_view text, std::size_t at = 0);

// Reads a signed 32-bit decimal whole number; blanks around it are allowed. On failure the
// error reads "'<text>' is not a valid integer value", the text cut to an Excerpt.
std::expected<std::int32_t, std::string> ParseWholeNumber(std::string_view text);

}  // namespace vantrel
