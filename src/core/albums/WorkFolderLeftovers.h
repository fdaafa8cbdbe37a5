#pragma once
// Files that a killed run or a killed save leaves in the work folder. Only names of the
// program's own temporary patterns are ever removed:
//   - the temporary files of a transfer run: 17 digits of a time stamp, then ".jpg" or ".inf";
//   - the response file of the service's calls, "Temp.xml";
//   - the temporary file of an atomic save: a saved file's name, a dot and six letters or digits
//     ("Images.lst.a1B2c3", "vantrel.ini.Qx81zz", "IMG_0001.JPG.0aZ9xy").
// A file that the transfer list names is a queued photo's working copy and is always kept.

#include <string>

namespace vantrel {

// Removes the leftovers from `workFolder` (ending in "/"); call it only while holding the
// work folder's lock, before anything else writes there. The transfer list is read to keep
// what it names; when it exists but cannot be read, no file a list could name is removed.
// Returns how many files were removed.
int SweepWorkFolderLeftovers(const std::string& workFolder);

}  // namespace vantrel
