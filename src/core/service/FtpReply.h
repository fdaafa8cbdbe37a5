#pragma once
// The pieces of the FTP conversation that need no socket: reading a reply out of its lines,
// the sets of reply codes that each step accepts, the address of a PASV reply, and the check
// that keeps line breaks out of a command line.

#include <expected>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vantrel {

// One FTP reply: its three-digit code and its text, which is its lines without the codes,
// joined with "\n".
struct FtpReply {
    int code = 0;
    std::string text;
};

// Longest reply line that is read; a longer one ends the connection as a protocol error, so that
// a misbehaving server cannot make the client hold unbounded text.
inline constexpr std::size_t kFtpMaxReplyLine = 8192;
// Longest text of one multi-line reply.
inline constexpr std::size_t kFtpMaxReplyText = 65536;

// Collects the lines of one reply. A reply is one line "ddd text", or a first line "ddd-text",
// any number of lines, and a last line that starts with the same code and a blank.
class FtpReplyAssembler {
public:
    // Adds one line (without its CR LF). Returns true when the reply is complete, false when
    // more lines are needed; an error when the first line holds no three-digit code or the reply
    // grows past kFtpMaxReplyText.
    std::expected<bool, std::string> AddLine(std::string_view line);

    // The reply once AddLine returned true.
    const FtpReply& Reply() const { return reply_; }

private:
    FtpReply reply_;
    bool started_ = false;
    std::string codeText_;
};

// True when `code` is one of `accepted`.
bool IsFtpCodeIn(int code, std::initializer_list<int> accepted);

// The data address of a PASV reply: the text between "(" and ")" when both are present,
// otherwise the text after its last blank, holding h1,h2,h3,h4,p1,p2 (each 0-255).
struct PasvAddress {
    std::string host;  // "h1.h2.h3.h4"
    int port = 0;      // p1 * 256 + p2
};
std::expected<PasvAddress, std::string> ParsePasvReply(std::string_view text);

// True when `line` can travel as one command line: no CR, LF or NUL in it. A name or password
// holding one would otherwise smuggle a second command to the server.
bool IsSafeFtpCommandLine(std::string_view line);

// Splits "host", "host:port" or "[v6]:port" into host and port (21 when none is given).
// Returns an error when the port is not a number from 1 to 65535.
struct FtpEndpoint {
    std::string host;
    int port = 21;
};
std::expected<FtpEndpoint, std::string> ParseFtpHost(std::string_view hostAndPort);

}  // namespace vantrel
