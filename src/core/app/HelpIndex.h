#pragma once
// Help topics by keyword. The language file names a help file such as "Vantrel_GB.chm"; its pages
// stand in the folder of the same name without the extension ("Help/Vantrel_GB/"), with an
// index file "index.txt" of "keyword=page.html" lines.

#include <optional>
#include <string>

namespace vantrel {

// The page of `keyword` in the help named `helpFile` under `helpFolder`: the keyword's page when
// the index lists it, otherwise the help's "index.html" (its table of contents); nothing when the
// help is missing altogether. Keywords are compared without regard to case.
std::optional<std::string> FindHelpTopic(const std::string& helpFolder, const std::string& helpFile,
                                         const std::string& keyword);

}  // namespace vantrel
