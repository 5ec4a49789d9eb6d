// Simulator backend: keyboards served by vantacorv-sim on Unix sockets, named
// in VANTACORV_SIM as a colon-separated list of socket paths.
#include "hid_backend.h"

#include "platform/sim_wire.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform::backend {

namespace {

using Clock = std::chrono::steady_clock;

// A simulator that does not answer its identity request within this time is
// left out of the list rather than holding up discovery.
constexpr int kHandshakeTimeoutMs = 1000;

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, remainingMs(deadline));
        if (r > 0)
            return (p.revents & (events | POLLHUP | POLLERR)) != 0;
        if (r == 0)
            return false;
        if (errno != EINTR)
            return false;
    }
}

// Connects to a socket path; returns the descriptor or -1 with errno set.
int connectTo(const std::string& socketPath) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof addr.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(addr.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

bool sendAll(int fd, const void* data, std::size_t length) {
    const auto* p = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t n = ::send(fd, p, length, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads one identity line (at most kMaxIdentityLine bytes) before the deadline.
bool readLine(int fd, std::string& line, Clock::time_point deadline) {
    char c;
    while (line.size() < simwire::kMaxIdentityLine) {
        if (!waitFor(fd, POLLIN, deadline))
            return false;
        const ssize_t n = ::recv(fd, &c, 1, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        line += c;
        if (c == '\n')
            return true;
    }
    return false;
}

bool readByte(int fd, char& c, Clock::time_point deadline) {
    for (;;) {
        if (!waitFor(fd, POLLIN, deadline))
            return false;
        const ssize_t n = ::recv(fd, &c, 1, 0);
        if (n < 0 && errno == EINTR)
            continue;
        return n == 1;
    }
}

std::vector<std::string> socketPathsFromEnvironment() {
    std::vector<std::string> paths;
    const char* list = std::getenv("VANTACORV_SIM");
    if (!list)
        return paths;
    std::string all = list;
    std::size_t start = 0;
    while (start <= all.size()) {
        const std::size_t colon = all.find(':', start);
        const std::string part = all.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!part.empty())
            paths.push_back(part);
        if (colon == std::string::npos)
            break;
        start = colon + 1;
    }
    return paths;
}

class SimHandle final : public HidDevice {
  public:
    explicit SimHandle(int fd) : fd_(fd) {}
    ~SimHandle() override { ::close(fd_); }

    bool write(const std::uint8_t* data, std::size_t length) override {
        Report frame{};
        std::memcpy(frame.data(), data, std::min(length, kReportSize));
        return sendAll(fd_, frame.data(), frame.size());
    }

    ReadStatus read(Report& report, int timeoutMs) override {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (pendingLength_ < kReportSize) {
            if (!waitFor(fd_, POLLIN, deadline))
                return ReadStatus::Timeout;
            const ssize_t n = ::recv(fd_, pending_.data() + pendingLength_, kReportSize - pendingLength_, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return ReadStatus::Error; // the simulator went away
            pendingLength_ += static_cast<std::size_t>(n);
        }
        report = pending_;
        report[0] = 0;
        pendingLength_ = 0;
        return ReadStatus::Ok;
    }

  private:
    int fd_;
    Report pending_{}; // a frame may arrive in pieces
    std::size_t pendingLength_ = 0;
};

} // namespace

void simEnumerate(std::vector<HidEntry>& out) {
    for (const auto& socketPath : socketPathsFromEnvironment()) {
        const int fd = connectTo(socketPath);
        if (fd < 0)
            continue; // gone, or names nothing: not a keyboard
        const auto deadline = Clock::now() + std::chrono::milliseconds(kHandshakeTimeoutMs);
        std::string line;
        simwire::Identity identity;
        const bool ok = sendAll(fd, &simwire::kIdentify, 1) && readLine(fd, line, deadline) &&
                        simwire::parseIdentityLine(line, identity);
        ::close(fd);
        if (!ok)
            continue;
        HidEntry entry;
        entry.vendorId = identity.vendorId;
        entry.productId = identity.productId;
        entry.interfaceNumber = identity.interfaceNumber;
        entry.path = hidWindowsPath(identity.vendorId, identity.productId, identity.interfaceNumber,
                                    kSimPrefix + socketPath);
        out.push_back(std::move(entry));
    }
}

OpenResult simOpen(const std::string& socketPath) {
    OpenResult result;
    const int fd = connectTo(socketPath);
    if (fd < 0) {
        result.error = (errno == EACCES || errno == EPERM) ? OpenError::Permission : OpenError::NotFound;
        return result;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(kHandshakeTimeoutMs);
    char answer = 0;
    std::string line;
    if (!sendAll(fd, &simwire::kOpen, 1) || !readByte(fd, answer, deadline)) {
        ::close(fd);
        result.error = OpenError::Io;
        return result;
    }
    if (answer == simwire::kBusy) {
        ::close(fd);
        result.error = OpenError::Busy;
        return result;
    }
    simwire::Identity identity;
    if (answer != simwire::kAccepted || !readLine(fd, line, deadline) || !simwire::parseIdentityLine(line, identity)) {
        ::close(fd);
        result.error = OpenError::Io;
        return result;
    }
    result.device = std::make_unique<SimHandle>(fd);
    result.error = OpenError::None;
    return result;
}

} // namespace platform::backend
