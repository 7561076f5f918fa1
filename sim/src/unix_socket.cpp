#include "unix_socket.h"

#include <errno.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace kqsim {

FileDescriptor::~FileDescriptor() { reset(); }

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        reset();
        fd_ = other.release();
    }
    return *this;
}

int FileDescriptor::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void FileDescriptor::reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::optional<FileDescriptor> connectUnixSocket(const std::string& path, int receiveTimeoutSeconds,
                                                std::string& error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        error = "the socket path is empty or longer than " + std::to_string(sizeof address.sun_path - 1) +
                " bytes";
        return std::nullopt;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid()) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    const timeval timeout{receiveTimeoutSeconds, 0};
    setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(socket.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    return socket;
}

bool sendAll(int fd, std::span<iovec> parts) {
    while (!parts.empty()) {
        msghdr message{};
        message.msg_iov = parts.data();
        message.msg_iovlen = parts.size();
        const ssize_t sent = ::sendmsg(fd, &message, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) continue;
        if (sent <= 0) return false;
        auto left = static_cast<std::size_t>(sent);
        while (!parts.empty() && left >= parts.front().iov_len) {
            left -= parts.front().iov_len;
            parts = parts.subspan(1);
        }
        if (!parts.empty()) {
            parts.front().iov_base = static_cast<char*>(parts.front().iov_base) + left;
            parts.front().iov_len -= left;
        }
    }
    return true;
}

bool receiveAll(int fd, void* into, std::size_t size) {
    auto* at = static_cast<char*>(into);
    while (size > 0) {
        const ssize_t received = ::recv(fd, at, size, 0);
        if (received < 0 && errno == EINTR) continue;
        if (received <= 0) return false;
        at += received;
        size -= static_cast<std::size_t>(received);
    }
    return true;
}

bool ensurePrivateFolder(const std::string& path, std::string& error) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        error = "cannot examine " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(status.st_mode)) {
        error = path + " is not a folder";
        return false;
    }
    if (status.st_uid != getuid()) {
        error = path + " belongs to another user";
        return false;
    }
    if ((status.st_mode & 077) != 0) {
        error = path + " is open to other users (it must be 0700)";
        return false;
    }
    return true;
}

}  // namespace kqsim
