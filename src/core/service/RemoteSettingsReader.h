#pragma once
// Reading the service's settings document ("uploader_settings.plist", an XML property list)
// into the remote settings record.

#include <functional>
#include <string>
#include <string_view>

#include "core/service/ServiceXml.h"
#include "core/service/TRemoteSettings.h"

namespace vantrel {

// The outcome of reading or loading the settings document.
struct RemoteSettingsResult {
    enum class Status {
        Loaded,           // read; the record holds what the document's client entry gave
        NotDownloaded,    // no server answered with the document; nothing is shown; `error` says
                          // what each address gave
        NotXml,           // the file did not parse; `problem` tells which message applies
        ConversionError,  // an integer key held no whole number; `error` names it
    };
    Status status = Status::NotDownloaded;
    XmlLoadError problem;
    std::string error;

    bool ok() const { return status == Status::Loaded; }
    // The message to show, or empty text when nothing is to be shown: "Parm_NoFile", or
    // "Parm_RequestErr" with the parser's source text and reason, or the conversion error.
    std::string Message(const std::function<std::string(std::string_view)>& translate) const;
};

// The key of the client's entry in the top-level dict.
inline constexpr std::string_view kRemoteSettingsClientKey = "com.vantrel2.uploader_pc";

// Reads the document in `path` into `settings`. Only the client's entry is read; keys are
// compared exactly and a key given twice takes its last value. Regions of "versions" and
// "specific_url" apply when their key is "Default" or equals `country` without regard to case,
// in document order. A document without the client's entry is Loaded and changes nothing.
// A ConversionError leaves the fields read before it with their new values.
RemoteSettingsResult ReadRemoteSettingsFile(const std::string& path, std::string_view country,
                                            TRemoteSettings& settings);

}  // namespace vantrel
