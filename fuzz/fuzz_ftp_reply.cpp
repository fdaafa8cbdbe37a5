// libFuzzer entry: arbitrary bytes as a server's FTP control stream, cut into lines and
// assembled into replies; each reply's text is read as a PASV answer, each line as a host.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/service/FtpReply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view stream(reinterpret_cast<const char*>(data), size);
    vantrel::FtpReplyAssembler assembler;
    std::size_t start = 0;
    while (start <= stream.size()) {
        std::size_t end = stream.find('\n', start);
        if (end == std::string_view::npos) end = stream.size();
        std::string_view line = stream.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        start = end + 1;
        if (line.size() > vantrel::kFtpMaxReplyLine) break;  // the client ends the connection here
        (void)vantrel::ParseFtpHost(line);
        (void)vantrel::IsSafeFtpCommandLine(line);
        const auto added = assembler.AddLine(line);
        if (!added) break;
        if (*added) {
            const vantrel::FtpReply& reply = assembler.Reply();
            if (reply.code < 0 || reply.code > 999 || reply.text.size() > vantrel::kFtpMaxReplyText) __builtin_trap();
            if (auto address = vantrel::ParsePasvReply(reply.text); address && (address->port < 0 || address->port > 65535))
                __builtin_trap();
            assembler = vantrel::FtpReplyAssembler();
        }
    }
    return 0;
}
