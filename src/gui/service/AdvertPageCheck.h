#pragma once
// Whether a page from outside is small enough in shape for the text browser to lay it out at
// once. Its layout grows far faster than the page: 270 nested tables (4 KB) take minutes, 4 KB
// of one word in eight nested tables or 2 MB of text in a table cell seconds, and all of it on
// the window's thread. A page of the service's pane needs little of that, so a page beyond any
// of these bounds is not shown at all. One pass over the bytes, no recursion.

#include <QByteArrayView>

namespace vantrel::gui {

struct PageShapeLimits {
    qint64 textBytes = 64 * 1024;  // text between tags, style sheets included
    int longestWord = 200;         // characters of text with no space to break a line at (style sheets aside)
    int tags = 2000;
    int depth = 16;                // elements open inside each other (those that close by themselves aside)
    int tableDepth = 2;            // tables inside tables
};

// True when `html` stays within every limit.
bool PageShapeFits(QByteArrayView html, const PageShapeLimits& limits = {});

}  // namespace vantrel::gui
