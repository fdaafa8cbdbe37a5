#include "core/app/LinkText.h"

#include <string_view>

namespace vantrel {

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsClosingPunctuation(char c) { return std::string_view(",;.:!?)").find(c) != std::string_view::npos; }

size_t FindAddress(const std::string& line, size_t from) {
    size_t at = line.find("http", from);
    while (at != std::string::npos) {
        const std::string_view rest = std::string_view(line).substr(at);
        if (rest.starts_with("http://") || rest.starts_with("https://")) return at;
        at = line.find("http", at + 4);
    }
    return std::string::npos;
}
}  // namespace

std::vector<TextRun> SplitLinks(const std::string& line) {
    std::vector<TextRun> runs;
    size_t pos = 0;
    while (pos < line.size()) {
        const size_t start = FindAddress(line, pos);
        if (start == std::string::npos) break;
        size_t end = start;
        while (end < line.size() && !IsBlank(line[end])) ++end;
        while (end > start && IsClosingPunctuation(line[end - 1])) --end;
        if (start > pos) runs.push_back({line.substr(pos, start - pos), false});
        runs.push_back({line.substr(start, end - start), true});
        pos = end;
    }
    if (pos < line.size()) runs.push_back({line.substr(pos), false});
    return runs;
}

}  // namespace vantrel
