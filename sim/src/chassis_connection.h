// A program's one connection to the chassis server: requests and answers, one at a time, shared by
// every served module of the process. Once the server has gone, every call fails the same way.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "chassis_protocol.h"
#include "kqsim/chassis_config.h"
#include "kqsim/mainframe.h"
#include "unix_socket.h"

namespace kqsim {

class ChassisConnection {
public:
    // Connects and asks the server what it serves; nothing, with the reason in `error`, when it
    // does not answer as a chassis server of this version.
    static std::shared_ptr<ChassisConnection> open(const std::string& socketPath, std::string& error);

    const std::string& socketPath() const { return socketPath_; }
    Interface interface() const { return interface_; }
    // The served modules, in the server's order, without instruments.
    const std::vector<MountedModule>& modules() const { return modules_; }

    // Sends one request (`payload`, then `extra` bytes) and returns the answer's payload. Throws
    // ChassisConnectionLost when the server is gone or answers garbage, ChassisServerError when it
    // refused the request.
    std::vector<char> call(protocol::MessageType type, const std::vector<char>& payload,
                           std::string_view extra = {});
    // Sends a request that has no answer; throws ChassisConnectionLost as call() does.
    void send(protocol::MessageType type, const std::vector<char>& payload, std::string_view extra = {});

    bool lost() const;

private:
    ChassisConnection(FileDescriptor socket, std::string socketPath);
    bool readHello(std::string& error);
    // With the mutex held.
    void sendRequest(protocol::MessageType type, const std::vector<char>& payload, std::string_view extra);
    [[noreturn]] void fail(const std::string& reason);

    mutable std::mutex mutex_;
    FileDescriptor socket_;
    std::string socketPath_;
    bool lost_ = false;
    Interface interface_ = Interface::Vxi;
    std::vector<MountedModule> modules_;
};

}  // namespace kqsim
