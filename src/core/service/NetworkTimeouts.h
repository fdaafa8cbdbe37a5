#pragma once
// How long a connection may take to open and how long an open one may stay quiet before the
// program gives up on it. Every HTTP request and every FTP control and data connection uses
// them; the sockets also carry TCP keepalive, so that a peer that vanished is noticed.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

struct NetworkTimeouts {
    // Opening a connection (name resolution excluded) may take this long.
    std::chrono::milliseconds connect{30000};
    // An open connection on which no byte was received or sent for this long has failed.
    std::chrono::milliseconds inactivity{60000};
    // A connection that moved under kLowSpeedBytes during this long has failed: a server that
    // drips a byte now and then never trips the inactivity time-out.
    std::chrono::milliseconds lowSpeedWindow{60000};
    // A small answer (the settings document, an XML-RPC answer, an FTP reply) that is not whole
    // this long after it was asked for has failed.
    std::chrono::milliseconds answerDeadline{120000};
};

// The least a connection must move per NetworkTimeouts::lowSpeedWindow.
inline constexpr std::size_t kLowSpeedBytes = 1024;

// A positive number of seconds, decimals allowed, at most a day, with blanks around it; nothing
// for any other text or for less than a millisecond. The time-out and reconnection settings of
// the environment are written this way.
std::optional<std::chrono::milliseconds> ParsePositiveSeconds(std::string_view text);

// Reads "CONNECT,INACTIVITY[,LOWSPEED_WINDOW[,ANSWER_DEADLINE]]" in seconds, decimals allowed
// ("30,60", "1.5,2", "1,2,1,3"); the fields left out keep their defaults. Nothing when the text
// is not two to four positive numbers.
std::optional<NetworkTimeouts> ParseNetworkTimeouts(std::string_view text);

// The defaults (30 s, 60 s, 60 s, 120 s), or the value of the environment variable VANTREL_NETWORK_TIMEOUTS
// when it parses; tests use it to make a stall fail within a second or two.
NetworkTimeouts DefaultNetworkTimeouts();

// "60 s", "1.5 s": a time-out as error texts name it.
std::string DescribeSeconds(std::chrono::milliseconds duration);
// "2 minutes", "1 minute" for whole minutes, else as DescribeSeconds.
std::string DescribeDuration(std::chrono::milliseconds duration);

// Turns TCP keepalive on for a connected or connecting socket: probes after 30 s of silence,
// every 10 s, the connection dropped after 4 unanswered ones.
void EnableKeepalive(int socketFd);

}  // namespace vantrel
