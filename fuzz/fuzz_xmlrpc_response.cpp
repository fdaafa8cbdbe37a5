// libFuzzer entry: arbitrary bytes as the service's XML-RPC answer, read by every answer reader,
// with the message the user would see.
#include "FuzzFile.h"
#include "core/service/XmlRpcResponse.h"

namespace {
std::string Translate(std::string_view key) { return std::string(key); }

template <typename Result>
void Check(const Result& result) {
    if (!result && result.error().Message(Translate).size() > 4096) __builtin_trap();  // messages stay short
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static vantrel::fuzz::MemoryFile file;
    const std::string& path = file.Write(data, size);
    Check(vantrel::ReadSessionNewResponse(path));
    Check(vantrel::ReadSessionLoginResponse(path));
    Check(vantrel::ReadAlbumListResponse(path));
    Check(vantrel::ReadCreateAlbumResponse(path));
    return 0;
}
