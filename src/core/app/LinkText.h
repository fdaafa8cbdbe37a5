#pragma once
// Web addresses inside a line of text, so that a label can show each of them as a link.

#include <string>
#include <vector>

namespace vantrel {

struct TextRun {
    std::string text;
    bool isLink = false;
};

// Cuts `line` into runs of plain text and of web addresses. An address starts with "http://" or
// "https://" and runs to the next blank; punctuation that ends it (",", ";", ".", ":", "!", "?",
// ")") belongs to the text after it. Joining the runs gives `line` back.
std::vector<TextRun> SplitLinks(const std::string& line);

}  // namespace vantrel
