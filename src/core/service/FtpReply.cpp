#include "core/service/FtpReply.h"

#include <algorithm>
#include <charconv>
#include <vector>

#include "core/base/AsciiText.h"

namespace vantrel {

namespace {

bool StartsWithCode(std::string_view line) {
    return line.size() >= 3 && AllAsciiDigits(line.substr(0, 3));
}

// Parses a whole decimal number with no sign and no blanks.
std::expected<int, std::string> ParseDecimal(std::string_view text, int maxValue) {
    if (text.empty() || text.size() > 6) return std::unexpected("not a number: \"" + std::string(text) + "\"");
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0 || value > maxValue)
        return std::unexpected("not a number from 0 to " + std::to_string(maxValue) + ": \"" + std::string(text) + "\"");
    return value;
}

}  // namespace

std::expected<bool, std::string> FtpReplyAssembler::AddLine(std::string_view line) {
    if (!started_) {
        if (!StartsWithCode(line) || (line.size() > 3 && line[3] != ' ' && line[3] != '-'))
            return std::unexpected("malformed reply line: \"" + std::string(line.substr(0, 80)) + "\"");
        started_ = true;
        codeText_ = std::string(line.substr(0, 3));
        reply_.code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
        reply_.text = std::string(line.size() > 4 ? line.substr(4) : std::string_view());
        return line.size() <= 3 || line[3] == ' ';
    }
    // Inside a multi-line reply: the last line repeats the code followed by a blank; lines in
    // between may or may not carry the code followed by "-".
    bool last = line.substr(0, 3) == codeText_ && (line.size() == 3 || line[3] == ' ');
    std::string_view text = line;
    if (line.substr(0, 3) == codeText_ && (line.size() == 3 || line[3] == ' ' || line[3] == '-'))
        text = line.size() > 4 ? line.substr(4) : std::string_view();
    if (reply_.text.size() + text.size() + 1 > kFtpMaxReplyText) return std::unexpected(std::string("reply too long"));
    reply_.text += '\n';
    reply_.text += text;
    return last;
}

bool IsFtpCodeIn(int code, std::initializer_list<int> accepted) {
    return std::find(accepted.begin(), accepted.end(), code) != accepted.end();
}

std::expected<PasvAddress, std::string> ParsePasvReply(std::string_view text) {
    std::string_view numbers;
    auto open = text.find('(');
    auto close = open == std::string_view::npos ? std::string_view::npos : text.find(')', open + 1);
    if (open != std::string_view::npos && close != std::string_view::npos) {
        numbers = text.substr(open + 1, close - open - 1);
    } else {
        auto blank = text.find_last_of(' ');
        numbers = blank == std::string_view::npos ? text : text.substr(blank + 1);
    }
    std::vector<int> values;
    while (true) {
        auto comma = numbers.find(',');
        auto value = ParseDecimal(numbers.substr(0, comma), 255);
        if (!value) return std::unexpected("unreadable passive address: " + value.error());
        values.push_back(*value);
        if (comma == std::string_view::npos) break;
        numbers.remove_prefix(comma + 1);
    }
    if (values.size() != 6) return std::unexpected(std::string("passive address without six numbers"));
    PasvAddress address;
    address.host = std::to_string(values[0]) + "." + std::to_string(values[1]) + "." + std::to_string(values[2]) +
                   "." + std::to_string(values[3]);
    address.port = values[4] * 256 + values[5];
    return address;
}

bool IsSafeFtpCommandLine(std::string_view line) {
    return line.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::expected<FtpEndpoint, std::string> ParseFtpHost(std::string_view hostAndPort) {
    FtpEndpoint endpoint;
    std::string_view portText;
    bool hasPort = false;
    const std::string whole(hostAndPort);
    if (!hostAndPort.empty() && hostAndPort.front() == '[') {
        auto close = hostAndPort.find(']');
        if (close == std::string_view::npos) return std::unexpected("unreadable FTP host: " + whole);
        endpoint.host = std::string(hostAndPort.substr(1, close - 1));
        auto rest = hostAndPort.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::unexpected("unreadable FTP host: " + whole);
            portText = rest.substr(1);
            hasPort = true;
        }
    } else if (auto colon = hostAndPort.find(':');
               colon != std::string_view::npos && hostAndPort.find(':', colon + 1) == std::string_view::npos) {
        endpoint.host = std::string(hostAndPort.substr(0, colon));
        portText = hostAndPort.substr(colon + 1);
        hasPort = true;
    } else {
        endpoint.host = whole;  // a name, an IPv4 address or a bare IPv6 address
    }
    if (hasPort) {
        auto port = ParseDecimal(portText, 65535);
        if (!port || *port == 0) return std::unexpected("unreadable FTP port: " + whole);
        endpoint.port = *port;
    }
    if (endpoint.host.empty()) return std::unexpected(std::string("no FTP host"));
    return endpoint;
}

}  // namespace vantrel
