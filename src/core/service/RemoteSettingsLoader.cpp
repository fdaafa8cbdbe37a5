#include "core/service/RemoteSettingsLoader.h"

#include <cstdlib>

#include "core/base/AsciiText.h"
#include "core/service/FileWriteError.h"

namespace vantrel {
namespace {

constexpr const char* kBuiltInBases[] = {"http://www.vantrel.com/common/", "http://static.vantrel.com/sg/common/"};

}  // namespace

std::vector<std::string> SettingsBaseAddresses(std::string_view override) {
    std::vector<std::string> bases;
    size_t start = 0;
    while (start <= override.size()) {
        size_t comma = override.find(',', start);
        if (comma == std::string_view::npos) comma = override.size();
        std::string base(TrimAscii(override.substr(start, comma - start), " \t"));
        if (!base.empty()) {
            if (base.back() != '/') base += '/';
            if (bases.size() < 2) bases.push_back(base);
        }
        start = comma + 1;
    }
    if (bases.empty()) bases.assign(std::begin(kBuiltInBases), std::end(kBuiltInBases));
    return bases;
}

std::vector<std::string> SettingsBaseAddresses() {
    const char* value = std::getenv("VANTREL_SETTINGS_BASE");
    return SettingsBaseAddresses(value ? value : "");
}

SettingsDownload FetchRemoteSettings(HttpClient& client, const std::string& localPath,
                                     const std::vector<std::string>& bases, std::string* causes) {
    (void)WriteWholeFile(localPath, {});  // readable by the user only: the document holds the FTP login
    SettingsDownload outcome = SettingsDownload::Failed;
    for (const auto& base : bases) {
        const std::string url = base + std::string(kRemoteSettingsFileName);
        // HttpGet truncates the file first and writes only a successful body.
        auto got = client.HttpGet(url, localPath);
        if (got && client.LastStatus() == 200) return SettingsDownload::Done;
        if (causes) {
            if (!causes->empty()) *causes += "; ";
            *causes += url + ": " + (got ? "HTTP " + std::to_string(client.LastStatus()) : got.error().message);
        }
        if (!got && got.error().kind == HttpError::Kind::TooLarge) {
            outcome = SettingsDownload::TooLarge;
            break;
        }
        if (!got && got.error().kind == HttpError::Kind::Stopped) {
            if (causes) causes->clear();  // a stop is no failure to explain
            break;
        }
    }
    // A 2xx other than 200 may have left a body behind; the file must not pretend to be a document.
    (void)WriteWholeFile(localPath, {});
    return outcome;
}

bool DownloadRemoteSettings(HttpClient& client, const std::string& localPath,
                            const std::vector<std::string>& bases) {
    return FetchRemoteSettings(client, localPath, bases) == SettingsDownload::Done;
}

RemoteSettingsResult LoadRemoteSettings(HttpClient& client, const std::string& workFolder,
                                        std::string_view country, TRemoteSettings& settings,
                                        const std::vector<std::string>& bases) {
    const std::string path = workFolder + std::string(kRemoteSettingsFileName);
    std::string causes;
    const SettingsDownload download = FetchRemoteSettings(client, path, bases, &causes);
    if (download != SettingsDownload::Done) {
        RemoteSettingsResult result;
        result.status = RemoteSettingsResult::Status::NotDownloaded;
        result.error = std::move(causes);
        if (download == SettingsDownload::TooLarge) {
            result.status = RemoteSettingsResult::Status::NotXml;
            result.problem = {XmlLoadError::Kind::ParseError, "", "the document is larger than 16 MB"};
            result.error.clear();
        }
        return result;
    }
    return ReadRemoteSettingsFile(path, country, settings);
}

}  // namespace vantrel
