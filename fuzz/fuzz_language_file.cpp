// libFuzzer entry: arbitrary bytes as a language file, opened and asked for texts.
#include "FuzzFile.h"
#include "core/app/LanguageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vantrel::fuzz::MemoryFile file;
    vantrel::LanguageFile language;
    if (!language.Open(file.Write(data, size))) return 0;
    for (const char* key : {"RPC_Error", "BadPictErr", "NewVersion", "Img_Plur", ""}) (void)language.Translate(key);
    (void)language.ReadRaw("Infos", "Country");
    return 0;
}
