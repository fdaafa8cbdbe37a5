// libFuzzer entry: arbitrary bytes as the settings document, read for two countries, with the
// message the user would see.
#include "FuzzFile.h"
#include "core/service/RemoteSettingsReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vantrel::fuzz::MemoryFile file;
    const std::string& path = file.Write(data, size);
    for (const char* country : {"GB", ""}) {
        vantrel::TRemoteSettings settings;
        const auto result = vantrel::ReadRemoteSettingsFile(path, country, settings);
        if (result.Message([](std::string_view key) { return std::string(key); }).size() > 4096) __builtin_trap();
    }
    return 0;
}
