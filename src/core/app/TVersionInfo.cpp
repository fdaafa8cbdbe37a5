#include "core/app/TVersionInfo.h"

#include "core/app/Version.h"

namespace vantrel {

TVersionInfo::TVersionInfo()
    : CompanyName(kApplicationTitle),
      FileDescription("Images transfer software"),
      FileVersion(kFileVersion),
      InternalName("vantrel"),
      LegalCopyright(std::string("Copyright \xC2\xA9 ") + kApplicationTitle),
      OriginalFilename("vantrel"),
      ProductName(kApplicationTitle),
      ProductVersion(kProductVersion) {}

}  // namespace vantrel
