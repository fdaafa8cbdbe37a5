#pragma once
// How long a connection may take to open and how long an open one may stay quiet before the
// program gives up on it. Every HTTP request and every FTP control and data connection uses
// them; the sockets also carry TCP keepalive, so that a peer that vanished is noticed.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

struct NetworkTimeouts {
    // Opening a connection (name resolution excluded) may take this long.
    std::chrono::milliseconds connect{30000};
    // An open connection on which no byte was received or sent for this long has failed.
    std::chrono::milliseconds inactivity{60000};
};

// A positive number of seconds, decimals allowed, at most a day, with blanks around it; nothing
// for any other text or for less than a millisecond. The time-out and reconnection settings of
// the environment are written this way.
std::optional<std::chrono::milliseconds> ParsePositiveSeconds(std::string_view text);

// Reads "CONNECT,INACTIVITY" in seconds, decimals allowed ("30,60", "1.5,2"). Nothing when the
// text is not two positive numbers.
std::optional<NetworkTimeouts> ParseNetworkTimeouts(std::string_view text);

// The defaults (30 s, 60 s), or the value of the environment variable VANTREL_NETWORK_TIMEOUTS
// when it parses; tests use it to make a stall fail within a second or two.
NetworkTimeouts DefaultNetworkTimeouts();

// "60 s", "1.5 s": a time-out as error texts name it.
std::string DescribeSeconds(std::chrono::milliseconds duration);

// Turns TCP keepalive on for a connected or connecting socket: probes after 30 s of silence,
// every 10 s, the connection dropped after 4 unanswered ones.
void EnableKeepalive(int socketFd);

}  // namespace vantrel
