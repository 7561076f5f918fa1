// A chassis server (kq7120-chassis) of the benchmark's own, on a socket in a private temporary
// folder; stopped and the folder removed at the end.
#pragma once

#include <sys/types.h>

#include <string>

class BenchChassisServer {
public:
    BenchChassisServer() = default;
    ~BenchChassisServer();
    BenchChassisServer(const BenchChassisServer&) = delete;
    BenchChassisServer& operator=(const BenchChassisServer&) = delete;

    // Starts `program` and waits until its socket is there; false when it cannot be started.
    bool start(const std::string& program);
    const std::string& socket() const { return socket_; }

private:
    std::string folder_;
    std::string socket_;
    pid_t pid_ = -1;
};
