#pragma once
// One running program per user. The running instance listens on a local socket named after the
// instance name in the user's runtime folder; a starting process that finds it hands over its
// command-line parameters, asks it to come to the front, and ends.
//
// Every message on the socket is a frame of three 32-bit little-endian words and a body:
//   kind (1: parameter hand-over, 2: restore request), tag, byte count, then byte count bytes.
// The hand-over's tag is 0xCDCDCDCD and its body holds every parameter followed by a zero byte,
// then one more zero byte. Every frame is answered with one 32-bit word: 1 accepted, 0 not.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

class TSingleInst {
public:
    enum FrameKind : std::uint32_t { kCopyData = 1, kRestore = 2 };

    // `socketFolder` empty: $XDG_RUNTIME_DIR, or /tmp/vantrel-<uid>.
    explicit TSingleInst(std::string socketFolder = {});
    virtual ~TSingleInst();
    TSingleInst(const TSingleInst&) = delete;
    TSingleInst& operator=(const TSingleInst&) = delete;

    virtual std::string InstanceName() const { return "Vantrel_Multi"; }
    virtual std::uint32_t CopyDataId() const { return 0xCDCDCDCD; }
    std::string SocketPath() const;

    // Called once for every parameter received from another instance; unassigned by default, so
    // received parameters are accepted and dropped.
    std::function<void(const std::string&)> OnProcessParam;
    // Brings the own window to the front (restore if minimised, show if hidden, raise, activate).
    std::function<void()> OnEnsureRestore;

    // True when no other instance answers, or when the hand-over to it failed (then this process
    // starts as a further instance). A wait for an instance that never answers is bounded.
    bool CanStart(const std::vector<std::string>& parameters,
                  std::chrono::milliseconds wait = std::chrono::seconds(3));

    // Starts listening; returns the listening descriptor, or -1. A socket left behind by a
    // crashed instance is replaced.
    int Listen();
    int ListeningSocket() const { return listenFd_; }
    // Accepts and serves every pending connection on the listening socket without blocking for
    // new ones; each frame is answered after its work is done.
    void ServePending();

    // The hand-over body for these parameters (the program path is not included).
    static std::string BuildParameterBlock(const std::vector<std::string>& parameters);
    // Walks the zero-terminated texts of a body until an empty text.
    static std::vector<std::string> ParseParameterBlock(const std::string& body);
    // Answer to a frame: 1 when consumed and accepted, 0 otherwise.
    std::uint32_t HandleFrame(std::uint32_t kind, std::uint32_t tag, const std::string& body);

private:
    // Sends one frame on a new connection and returns the answer, or nothing on any failure.
    std::optional<std::uint32_t> SendFrame(std::uint32_t kind, std::uint32_t tag, const std::string& body,
                                           std::chrono::milliseconds wait) const;
    void ServeConnection(int fd);

    std::string socketFolder_;
    int listenFd_ = -1;
};

}  // namespace vantrel
