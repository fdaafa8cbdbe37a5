#include "core/app/TSingleInst.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vantrel {

namespace {

using Clock = std::chrono::steady_clock;

bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd p{fd, events, 0};
        int n = poll(&p, 1, static_cast<int>(left));
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
}

bool WriteAll(int fd, const char* data, size_t size, Clock::time_point deadline) {
    while (size > 0) {
        if (!WaitFor(fd, POLLOUT, deadline)) return false;
        ssize_t n = send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, char* data, size_t size, Clock::time_point deadline) {
    while (size > 0) {
        if (!WaitFor(fd, POLLIN, deadline)) return false;
        ssize_t n = recv(fd, data, size, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void PutWord(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t GetWord(const char* in) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[i])) << (8 * i);
    return value;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// Frames larger than this are refused: a command line never comes near it.
constexpr std::uint32_t kMaxBody = 1 << 20;

}  // namespace

TSingleInst::TSingleInst(std::string socketFolder) : socketFolder_(std::move(socketFolder)) {
    if (socketFolder_.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        if (runtime && *runtime) {
            socketFolder_ = runtime;
        } else {
            socketFolder_ = "/tmp/vantrel-" + std::to_string(getuid());
            mkdir(socketFolder_.c_str(), 0700);
        }
    }
}

TSingleInst::~TSingleInst() {
    if (listenFd_ >= 0) {
        close(listenFd_);
        unlink(SocketPath().c_str());
    }
}

std::string TSingleInst::SocketPath() const { return socketFolder_ + "/" + InstanceName(); }

std::string TSingleInst::BuildParameterBlock(const std::vector<std::string>& parameters) {
    std::string body;
    for (const std::string& parameter : parameters) {
        body += parameter;
        body += '\0';
    }
    body += '\0';
    return body;
}

std::vector<std::string> TSingleInst::ParseParameterBlock(const std::string& body) {
    std::vector<std::string> parameters;
    size_t at = 0;
    while (at < body.size()) {
        size_t end = body.find('\0', at);
        if (end == std::string::npos) end = body.size();
        if (end == at) break;  // an empty text ends the walk
        parameters.push_back(body.substr(at, end - at));
        at = end + 1;
    }
    return parameters;
}

std::uint32_t TSingleInst::HandleFrame(std::uint32_t kind, std::uint32_t tag, const std::string& body) {
    if (kind == kRestore) {
        if (OnEnsureRestore) OnEnsureRestore();
        return 1;
    }
    if (kind != kCopyData || tag != CopyDataId()) return 0;
    for (const std::string& parameter : ParseParameterBlock(body))
        if (OnProcessParam) OnProcessParam(parameter);
    return 1;
}

std::optional<std::uint32_t> TSingleInst::SendFrame(std::uint32_t kind, std::uint32_t tag, const std::string& body,
                                                    std::chrono::milliseconds wait) const {
    sockaddr_un address;
    if (!FillAddress(SocketPath(), address)) return std::nullopt;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return std::nullopt;
    auto deadline = Clock::now() + wait;
    std::optional<std::uint32_t> answer;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 ||
        (errno == EINPROGRESS && WaitFor(fd, POLLOUT, deadline))) {
        std::string frame;
        PutWord(frame, kind);
        PutWord(frame, tag);
        PutWord(frame, static_cast<std::uint32_t>(body.size()));
        frame += body;
        char reply[4];
        if (WriteAll(fd, frame.data(), frame.size(), deadline) && ReadAll(fd, reply, 4, deadline))
            answer = GetWord(reply);
    }
    close(fd);
    return answer;
}

bool TSingleInst::CanStart(const std::vector<std::string>& parameters, std::chrono::milliseconds wait) {
    // Without parameters the hand-over counts as done without a message; a probe of the socket
    // still tells whether anybody listens there.
    bool handedOver;
    if (parameters.empty()) {
        sockaddr_un address;
        if (!FillAddress(SocketPath(), address)) return true;
        int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return true;
        bool found = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        if (!found) return true;
        handedOver = true;
    } else {
        auto answer = SendFrame(kCopyData, CopyDataId(), BuildParameterBlock(parameters), wait);
        if (!answer) return true;  // nobody there, or nobody answering
        handedOver = *answer == 1;
    }
    if (!handedOver) return true;
    SendFrame(kRestore, 0, {}, wait);
    return false;
}

int TSingleInst::Listen() {
    sockaddr_un address;
    if (!FillAddress(SocketPath(), address)) return -1;
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        // A socket file that nobody listens on is what a crashed instance leaves: replace it.
        int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        bool alive = probe >= 0 && connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (probe >= 0) close(probe);
        if (alive || errno != ECONNREFUSED || unlink(SocketPath().c_str()) != 0 ||
            bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            close(fd);
            return -1;
        }
    }
    chmod(SocketPath().c_str(), 0600);
    if (listen(fd, 8) != 0) {
        close(fd);
        return -1;
    }
    listenFd_ = fd;
    return fd;
}

void TSingleInst::ServePending() {
    if (listenFd_ < 0) return;
    for (;;) {
        int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) return;
        ServeConnection(fd);
        close(fd);
    }
}

void TSingleInst::ServeConnection(int fd) {
    // The starting process writes its frame at once; a peer that does not is dropped quickly.
    auto deadline = Clock::now() + std::chrono::seconds(2);
    char header[12];
    if (!ReadAll(fd, header, sizeof header, deadline)) return;
    std::uint32_t kind = GetWord(header), tag = GetWord(header + 4), count = GetWord(header + 8);
    std::uint32_t answer = 0;
    if (count <= kMaxBody) {
        std::string body(count, '\0');
        if (!ReadAll(fd, body.data(), count, deadline)) return;
        answer = HandleFrame(kind, tag, body);
    }
    std::string reply;
    PutWord(reply, answer);
    WriteAll(fd, reply.data(), reply.size(), Clock::now() + std::chrono::seconds(2));
}

}  // namespace vantrel
