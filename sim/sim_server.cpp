#include "sim_server.h"

#include "hwi/protocol.h"
#include "platform/sim_wire.h"

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
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        ::unlink(socketPath_.c_str());
    }
    if (wakeRead_ >= 0)
        ::close(wakeRead_);
    if (wakeWrite_ >= 0)
        ::close(wakeWrite_);
}

bool SimServer::listen(const std::string& socketPath, std::string& error) {
    sockaddr_un addr;
    if (!fillAddress(socketPath, addr)) {
        error = "socket path is empty or longer than " + std::to_string(sizeof addr.sun_path - 1) + " bytes";
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
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0) {
        error = "cannot listen on " + socketPath + ": " + std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    listenFd_ = fd;
    socketPath_ = socketPath;
    return true;
}

void SimServer::requestStop() {
    const char byte = 1;
    if (wakeWrite_ >= 0)
        [[maybe_unused]] auto ignored = ::write(wakeWrite_, &byte, 1);
}

void SimServer::run() {
    for (;;) {
        pollfd fds[3] = {{wakeRead_, POLLIN, 0}, {listenFd_, POLLIN, 0}, {clientFd_, POLLIN, 0}};
        const nfds_t count = clientFd_ >= 0 ? 3 : 2;
        if (::poll(fds, count, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents)
            return;
        // The held client first: a client that closed and reconnects must
        // find the keyboard free again.
        if (count == 3 && fds[2].revents)
            serveClient();
        if (fds[1].revents & POLLIN)
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
    pendingLength_ = 0;
}

void SimServer::serveClient() {
    const ssize_t n = ::recv(clientFd_, pending_.data() + pendingLength_, pending_.size() - pendingLength_, 0);
    if (n < 0 && errno == EINTR)
        return;
    if (n <= 0) {
        dropClient();
        return;
    }
    pendingLength_ += static_cast<std::size_t>(n);
    if (pendingLength_ < pending_.size())
        return;
    pendingLength_ = 0;
    std::vector<platform::Report> replies;
    keyboard_.handleReport(pending_, replies);
    for (const auto& reply : replies)
        if (!sendAll(clientFd_, reply.data(), reply.size())) {
            dropClient();
            return;
        }
}

void SimServer::dropClient() {
    if (clientFd_ >= 0)
        ::close(clientFd_);
    clientFd_ = -1;
    pendingLength_ = 0;
}

} // namespace sim
