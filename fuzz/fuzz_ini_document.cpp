// libFuzzer entry: arbitrary bytes as an INI text. Every key that reads is read; then a key
// built from the input is set and must read back after a round trip through the text.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/app/IniDocument.h"

namespace {
// A section or key name from input bytes: letters and digits only, so that it is always a name.
std::string Name(std::string_view bytes) {
    std::string name = "n";
    for (const char c : bytes.substr(0, 8)) name += "abcdefghijklmnopqrstuvwxyz0123456789"[static_cast<unsigned char>(c) % 36];
    return name;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    vantrel::IniDocument document = vantrel::IniDocument::FromText(text);
    for (const char* section : {"Settings", "Strings", "n"})
        for (const char* key : {"Language", "n", ""}) (void)document.Get(section, key);
    (void)vantrel::ParseIniInteger(document.Get("Settings", "FreqIdx"), 0);

    const std::string section = Name(text), key = Name(text.substr(text.size() / 2));
    std::string value(text.substr(text.size() / 3, 64));
    const std::size_t lineBreak = value.find_first_of(std::string_view("\r\n\0", 3));
    if (lineBreak != std::string::npos) value.resize(lineBreak);
    document.Set(section, key, value);
    const auto read = vantrel::IniDocument::FromText(document.ToText()).Get(section, key);
    if (!read || *read != value) __builtin_trap();
    return 0;
}
