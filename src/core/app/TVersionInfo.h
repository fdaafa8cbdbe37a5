#pragma once
// The program's version texts, as the about dialog shows them.

#include <string>

namespace vantrel {

class TVersionInfo {
public:
    // Reads the version texts built into the program; a text it lacks stays empty.
    TVersionInfo();

    std::string CompanyName;
    std::string FileDescription;   // "Images transfer software"
    std::string FileVersion;       // "3.2.5.98"
    std::string InternalName;
    std::string LegalCopyright;
    std::string LegalTradeMarks;
    std::string OriginalFilename;
    std::string ProductName;
    std::string ProductVersion;
    std::string Comments;
};

}  // namespace vantrel
