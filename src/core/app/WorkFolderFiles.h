#pragma once
// The names of the files the program keeps in its work folder, besides the working copies.

#include <string_view>

namespace vantrel {

// The transfer list: the albums and their queued photos.
inline constexpr std::string_view kTransferListName = "Images.lst";
// The answer of the last XML-RPC call, read and then left for the next call.
inline constexpr std::string_view kRpcResponseFileName = "Temp.xml";
// The service's settings document as last downloaded.
inline constexpr std::string_view kRemoteSettingsFileName = "uploader_settings.plist";
// Held locked by the one process that writes in the work folder.
inline constexpr std::string_view kWorkFolderLockName = "vantrel.lock";

}  // namespace vantrel
