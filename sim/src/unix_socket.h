// The few socket operations the chassis server and its clients share, with the descriptor owned by
// one object and no SIGPIPE when the other end has gone.
#pragma once

#include <sys/socket.h>
#include <sys/uio.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace kqsim {

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release();
    void reset();

private:
    int fd_ = -1;
};

// A connected stream socket to `path`, or nothing with the reason in `error`. Blocking, with every
// later receive limited to `receiveTimeoutSeconds`.
std::optional<FileDescriptor> connectUnixSocket(const std::string& path, int receiveTimeoutSeconds,
                                                std::string& error);

// Sends every byte of `parts` (blocking); false when the peer has gone or the socket failed.
bool sendAll(int fd, std::span<iovec> parts);
// Receives exactly `size` bytes (blocking); false on end of stream, timeout or failure.
bool receiveAll(int fd, void* into, std::size_t size);

// A folder only its owner may enter: created 0700 when missing; an existing one must belong to this
// user and give nobody else any access. False with the reason in `error` otherwise.
bool ensurePrivateFolder(const std::string& path, std::string& error);

}  // namespace kqsim
