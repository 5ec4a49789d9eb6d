#include "sim_server.h"

#include "hwi/protocol.h"
#include "platform/sim_wire.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace sim {

namespace {

constexpr int kRequestTimeoutMs = 500;
// Reports read ahead of the frame that takes them; beyond this the client's
// writes wait, as they would on a keyboard with a small buffer.
constexpr std::size_t kMaxIncoming = 64;
// A socket that cannot be bound again after a restart is retried this often.
constexpr auto kRebindRetry = std::chrono::milliseconds(100);

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

bool fillAddress(const std::string& path, sockaddr_un& addr) {
    addr = {};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool someoneAnswers(const sockaddr_un& addr) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answered = ::connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return answered;
}

} // namespace

SimServer::SimServer(SimKeyboard& keyboard) : keyboard_(keyboard) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        wakeRead_ = fds[0];
        wakeWrite_ = fds[1];
    }
}

SimServer::~SimServer() {
    dropClient();
    closeSocket();
    if (wakeRead_ >= 0)
        ::close(wakeRead_);
    if (wakeWrite_ >= 0)
        ::close(wakeWrite_);
}

bool SimServer::listen(const std::string& socketPath, std::string& error) {
    sockaddr_un addr;
    if (!fillAddress(socketPath, addr)) {
        error = "socket path is empty or longer than " + std::to_string(sizeof addr.sun_path - 1) +
                " bytes";
        return false;
    }
    struct stat st;
    if (::lstat(socketPath.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) {
            error = socketPath + " exists and is not a socket";
            return false;
        }
        if (someoneAnswers(addr)) {
            error = "another simulator serves " + socketPath;
            return false;
        }
        ::unlink(socketPath.c_str());
    }
    socketPath_ = socketPath;
    clock_ = LinkClock(std::chrono::microseconds(keyboard_.timing().latencyUs));
    seenChanges_ = keyboard_.changeCount();
    return bindSocket(error);
}

bool SimServer::bindSocket(std::string& error) {
    sockaddr_un addr;
    fillAddress(socketPath_, addr);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(fd, 8) != 0) {
        error = "cannot listen on " + socketPath_ + ": " + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    listenFd_ = fd;
    return true;
}

void SimServer::closeSocket() {
    if (listenFd_ < 0)
        return;
    ::close(listenFd_);
    ::unlink(socketPath_.c_str());
    listenFd_ = -1;
}

void SimServer::requestStop() {
    const char byte = 1;
    if (wakeWrite_ >= 0) [[maybe_unused]]
        auto ignored = ::write(wakeWrite_, &byte, 1);
}

void SimServer::run() {
    using Clock = LinkClock::Clock;
    for (;;) {
        auto now = Clock::now();
        if (away_ && now >= backAt_) {
            std::string error;
            if (bindSocket(error))
                away_ = false;
            else
                backAt_ = now + kRebindRetry;
        }
        // Reports whose frame has ended are taken, in order.
        while (!incoming_.empty() && incoming_.front().due <= now) {
            const Pending frame = incoming_.front();
            incoming_.pop_front();
            takeReport(frame);
        }
        sendDue(now);

        auto wakeAt = LinkClock::TimePoint::max();
        if (away_)
            wakeAt = backAt_;
        if (!incoming_.empty())
            wakeAt = std::min(wakeAt, incoming_.front().due);
        if (!outgoing_.empty())
            wakeAt = std::min(wakeAt, outgoing_.front().due);

        pollfd fds[3];
        nfds_t count = 0;
        fds[count++] = {wakeRead_, POLLIN, 0};
        const nfds_t clientAt = clientFd_ >= 0 && incoming_.size() < kMaxIncoming ? count : 0;
        if (clientAt)
            fds[count++] = {clientFd_, POLLIN, 0};
        const nfds_t listenAt = listenFd_ >= 0 ? count : 0;
        if (listenAt)
            fds[count++] = {listenFd_, POLLIN, 0};

        timespec timeout{};
        timespec* wait = nullptr;
        if (wakeAt != LinkClock::TimePoint::max()) {
            now = Clock::now();
            const auto left = std::max(std::chrono::nanoseconds(0), wakeAt - now);
            timeout.tv_sec = static_cast<time_t>(left.count() / 1000000000);
            timeout.tv_nsec = static_cast<long>(left.count() % 1000000000);
            wait = &timeout;
        }
        if (::ppoll(fds, count, wait, nullptr) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        // The held client first: a client that closed and reconnects must
        // find the keyboard free again.
        if (clientAt && fds[clientAt].revents)
            readClient();
        if (listenAt && (fds[listenAt].revents & POLLIN))
            acceptOne();
    }
}

void SimServer::acceptOne() {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    // A client that connects and says nothing is dropped, not waited for.
    pollfd p{fd, POLLIN, 0};
    char request = 0;
    if (::poll(&p, 1, kRequestTimeoutMs) <= 0 || ::recv(fd, &request, 1, 0) != 1) {
        ::close(fd);
        return;
    }
    const auto& info = modelInfo(keyboard_.model());
    const std::string identity = platform::simwire::identityLine(
        {hwi::protocol::kVendorId, info.productId, hwi::protocol::kConfigInterface});
    if (request == platform::simwire::kIdentify) {
        sendAll(fd, identity.data(), identity.size());
        ::close(fd);
        return;
    }
    // The holder may have closed with reports still unread; it is finished
    // first, so that closing and opening again always finds the keyboard.
    if (request == platform::simwire::kOpen && clientFd_ >= 0 && heldClientHungUp())
        finishClosedClient();
    if (away_) { // its last report restarted the keyboard
        ::close(fd);
        return;
    }
    if (request != platform::simwire::kOpen || clientFd_ >= 0 || keyboard_.faults().busy) {
        sendAll(fd, &platform::simwire::kBusy, 1);
        ::close(fd);
        return;
    }
    const std::string answer = platform::simwire::kAccepted + identity;
    if (!sendAll(fd, answer.data(), answer.size())) {
        ::close(fd);
        return;
    }
    clientFd_ = fd;
    partialLength_ = 0;
    clock_.reset();
}

void SimServer::readClient() {
    std::uint8_t buffer[4096];
    const ssize_t n = ::recv(clientFd_, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        finishClosedClient();
        return;
    }
    addFrames(buffer, static_cast<std::size_t>(n));
}

void SimServer::addFrames(const std::uint8_t* bytes, std::size_t length) {
    const auto arrival = LinkClock::Clock::now();
    for (std::size_t at = 0; at < length;) {
        const std::size_t take = std::min(partial_.size() - partialLength_, length - at);
        std::copy_n(bytes + at, take,
                    partial_.begin() + static_cast<std::ptrdiff_t>(partialLength_));
        partialLength_ += take;
        at += take;
        if (partialLength_ == partial_.size()) {
            incoming_.push_back({clock_.takeOut(arrival), partial_});
            partialLength_ = 0;
        }
    }
}

bool SimServer::heldClientHungUp() const {
    pollfd p{clientFd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR));
}

void SimServer::finishClosedClient() {
    // A host that writes and lets go has still written: every whole report
    // it sent is taken, at once, as a keyboard would take what reached it.
    // Only the replies have nobody to go to.
    std::uint8_t buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(clientFd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        addFrames(buffer, static_cast<std::size_t>(n));
    }
    while (clientFd_ >= 0 && !incoming_.empty()) {
        const Pending frame = incoming_.front();
        incoming_.pop_front();
        takeReport(frame);
    }
    dropClient();
}

void SimServer::takeReport(const Pending& frame) {
    std::vector<platform::Report> replies;
    const LinkEvent event = keyboard_.handleReport(frame.report, replies);
    switch (event) {
    case LinkEvent::Disconnect:
        dropClient();
        break;
    case LinkEvent::Restart:
        goAway(frame.due);
        break;
    case LinkEvent::None:
        for (const auto& reply : replies)
            outgoing_.push_back({clock_.sendIn(frame.due), reply});
        break;
    }
    const std::uint64_t changes = keyboard_.changeCount();
    if (changes != seenChanges_) {
        seenChanges_ = changes;
        if (onChange_)
            onChange_();
    }
}

void SimServer::sendDue(LinkClock::TimePoint now) {
    while (clientFd_ >= 0 && !outgoing_.empty() && outgoing_.front().due <= now) {
        const auto& reply = outgoing_.front().report;
        if (!sendAll(clientFd_, reply.data(), reply.size())) {
            dropClient();
            return;
        }
        outgoing_.pop_front();
    }
}

void SimServer::dropClient() {
    if (clientFd_ >= 0)
        ::close(clientFd_);
    clientFd_ = -1;
    partialLength_ = 0;
    incoming_.clear();
    outgoing_.clear();
    clock_.reset();
}

void SimServer::goAway(LinkClock::TimePoint now) {
    dropClient();
    closeSocket();
    away_ = true;
    backAt_ = now + std::chrono::milliseconds(keyboard_.timing().restartMs);
}

} // namespace sim
