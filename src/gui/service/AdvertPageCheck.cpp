#include "gui/service/AdvertPageCheck.h"

#include <QByteArray>
#include <algorithm>
#include <iterator>
#include <string_view>

#include "core/base/AsciiText.h"

namespace vantrel::gui {

namespace {

// Elements that never hold others, and those that the next of their kind (or the end of their
// parent) closes without an end tag: neither makes the page deeper.
bool OpensNoLevel(std::string_view name) {
    static constexpr std::string_view kNames[] = {
        "area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param",
        "source", "track", "wbr", "p", "li", "dt", "dd", "tr", "td", "th", "thead", "tbody", "tfoot", "option"};
    return std::find(std::begin(kNames), std::end(kNames), name) != std::end(kNames);
}

// Position just past `what` from `from`, or the end of `text`.
qsizetype After(QByteArrayView text, qsizetype from, QByteArrayView what) {
    const qsizetype at = text.indexOf(what, from);
    return at < 0 ? text.size() : at + what.size();
}

// Position just past the '>' ending the tag that starts at `from`, quotes honoured.
qsizetype TagEnd(QByteArrayView text, qsizetype from) {
    char quote = 0;
    for (qsizetype i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return text.size();
}

}  // namespace

bool PageShapeFits(QByteArrayView html, const PageShapeLimits& limits) {
    qint64 text = 0;
    int word = 0, tags = 0, depth = 0, tables = 0;
    bool inStyle = false;  // a style sheet's words may be long: it is not laid out
    qsizetype i = 0;
    while (i < html.size()) {
        const char c = html[i];
        const bool tagStarts = c == '<' && i + 1 < html.size() &&
                               (IsAsciiLetter(html[i + 1]) || html[i + 1] == '/' || html[i + 1] == '!' || html[i + 1] == '?');
        if (!tagStarts) {
            ++text;
            word = IsAsciiSpace(c) || inStyle ? 0 : word + 1;
            if (text > limits.textBytes || word > limits.longestWord) return false;
            ++i;
            continue;
        }
        word = 0;
        if (html.sliced(i).startsWith("<!--")) {
            i = After(html, i + 4, "-->");
            continue;
        }
        const qsizetype end = TagEnd(html, i + 1);
        if (++tags > limits.tags) return false;
        const bool closing = html[i + 1] == '/';
        qsizetype n = i + (closing ? 2 : 1);
        QByteArray name;
        while (n < end && IsAsciiLetterOrDigit(html[n]) && name.size() < 16)
            name += static_cast<char>(html[n++] | 0x20);
        i = end;
        if (name.isEmpty()) continue;  // <!DOCTYPE>, <?xml?>, a stray "</ >"
        const std::string_view tag(name.constData(), static_cast<size_t>(name.size()));
        if (tag == "style") inStyle = !closing;
        if (tag == "table") tables = std::max(0, tables + (closing ? -1 : 1));
        if (tables > limits.tableDepth) return false;
        const bool selfClosing = end >= 2 && html[end - 2] == '/';
        if (OpensNoLevel(tag) || selfClosing) continue;
        depth = std::max(0, depth + (closing ? -1 : 1));
        if (depth > limits.depth) return false;
    }
    return true;
}

}  // namespace vantrel::gui
