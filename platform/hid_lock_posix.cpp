// Exclusive claim of a device node through an advisory lock on the node, so
// that two programs never drive the same keyboard at once.
#include "hid_backend.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform::backend {

NodeClaim::~NodeClaim() {
    if (fd_ >= 0)
        ::close(fd_);
}

NodeClaim::NodeClaim(NodeClaim&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

NodeClaim& NodeClaim::operator=(NodeClaim&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

OpenError NodeClaim::acquire(const std::string& nodePath, NodeClaim& claim) {
    const int fd = ::open(nodePath.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        switch (errno) {
        case EACCES:
        case EPERM:
            return OpenError::Permission;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return OpenError::NotFound;
        case EBUSY:
            return OpenError::Busy;
        default:
            return OpenError::Io;
        }
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int saved = errno;
        ::close(fd);
        return saved == EWOULDBLOCK ? OpenError::Busy : OpenError::Io;
    }
    claim = NodeClaim();
    claim.fd_ = fd;
    return OpenError::None;
}

} // namespace platform::backend
