#pragma once
// Where the program keeps its files: the work folder "SendPhoto" in the user's data folder
// ($XDG_DATA_HOME, or ~/.local/share), always with a trailing "/".

#include <string>

namespace vantrel {

// The work folder's path with a trailing "/"; not created.
std::string WorkFolderPath();
// Creates the work folder (and the data folders above it) when it is missing; returns whether it exists afterwards.
bool EnsureWorkFolder(const std::string& workFolder);
// The settings file of a program: work folder + the program file's name + ".ini".
std::string SettingsFilePath(const std::string& workFolder, const std::string& programPath);
// Deletes the service's answers that a run leaves in the work folder ("Temp.xml" and the settings
// document, which holds the FTP login); the window does it at close, the tool after a send.
void RemoveServiceAnswers(const std::string& workFolder);
bool FolderExists(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace vantrel
