#include "chassis_connection.h"

#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>

#include "kqsim/chassis_link.h"

namespace kqsim {

namespace {

// A local server answers at once; a server that stops answering (or taking requests) for this long
// counts as gone.
constexpr int kReceiveTimeoutSeconds = 30;
constexpr int kHelloTimeoutSeconds = 2;

}  // namespace

std::string defaultServerSocket() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::filesystem::path folder =
        runtime != nullptr && *runtime != '\0'
            ? std::filesystem::path(runtime) / "kq7120-sim"
            : std::filesystem::path("/tmp") / ("kq7120-sim-" + std::to_string(getuid()));
    return (folder / "chassis.sock").string();
}

ChassisConnection::ChassisConnection(FileDescriptor socket, std::string socketPath)
    : socket_(std::move(socket)), socketPath_(std::move(socketPath)) {}

std::shared_ptr<ChassisConnection> ChassisConnection::open(const std::string& socketPath,
                                                           std::string& error) {
    auto socket = connectUnixSocket(socketPath, kHelloTimeoutSeconds, error);
    if (!socket) return nullptr;
    std::shared_ptr<ChassisConnection> connection(new ChassisConnection(std::move(*socket), socketPath));
    if (!connection->readHello(error)) return nullptr;
    const timeval timeout{kReceiveTimeoutSeconds, 0};
    setsockopt(connection->socket_.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(connection->socket_.get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    // Room for a whole frame, so a full FIFO block goes out in one write.
    const int bufferBytes = static_cast<int>(2 * protocol::kMaxPayload);
    setsockopt(connection->socket_.get(), SOL_SOCKET, SO_SNDBUF, &bufferBytes, sizeof bufferBytes);
    return connection;
}

bool ChassisConnection::readHello(std::string& error) {
    try {
        const std::vector<char> answer = call(protocol::MessageType::Hello, {});
        protocol::PayloadReader reader({answer.data(), answer.size()});
        interface_ = reader.get<std::uint8_t>() == 1 ? Interface::GpibVxi : Interface::Vxi;
        const auto count = reader.get<std::uint16_t>();
        for (std::uint16_t i = 0; i < count && reader.ok(); ++i) {
            MountedModule module;
            const auto kind = reader.get<std::uint8_t>();
            module.config.kind = kind == 1   ? ModuleKind::KQ7110
                                 : kind == 2 ? ModuleKind::Foreign
                                             : ModuleKind::KQ7120;
            module.config.logicalAddress = reader.get<std::uint16_t>();
            module.config.slot = reader.get<std::uint16_t>();
            module.config.interfaceNumber = reader.get<std::uint16_t>();
            module.manufacturerId = reader.get<std::uint16_t>();
            module.modelCode = reader.get<std::uint16_t>();
            module.config.manufacturerId = module.manufacturerId;
            module.config.modelCode = module.modelCode;
            module.config.idnModel = reader.getText();
            modules_.push_back(std::move(module));
        }
        if (!reader.ok()) {
            error = "the server's description of its chassis is cut short";
            return false;
        }
        return true;
    } catch (const std::exception& failure) {
        error = failure.what();
        return false;
    }
}

void ChassisConnection::sendRequest(protocol::MessageType type, const std::vector<char>& payload,
                                    std::string_view extra) {
    if (lost_) throw ChassisConnectionLost("the chassis server at " + socketPath_ + " has gone");
    protocol::FrameHeader header;
    header.type = static_cast<std::uint16_t>(type);
    header.length = static_cast<std::uint32_t>(payload.size() + extra.size());
    std::array<iovec, 3> parts{{{&header, sizeof header},
                                {const_cast<char*>(payload.data()), payload.size()},
                                {const_cast<char*>(extra.data()), extra.size()}}};
    if (!sendAll(socket_.get(), parts)) fail("the chassis server at " + socketPath_ + " has gone");
}

void ChassisConnection::send(protocol::MessageType type, const std::vector<char>& payload,
                             std::string_view extra) {
    std::lock_guard lock(mutex_);
    sendRequest(type, payload, extra);
}

std::vector<char> ChassisConnection::call(protocol::MessageType type, const std::vector<char>& payload,
                                          std::string_view extra) {
    std::lock_guard lock(mutex_);
    sendRequest(type, payload, extra);

    protocol::FrameHeader answer;
    if (!receiveAll(socket_.get(), &answer, sizeof answer)) {
        fail("the chassis server at " + socketPath_ + " has gone");
    }
    if (const auto check = protocol::checkHeader(answer); check != protocol::HeaderCheck::Good) {
        fail("the chassis server at " + socketPath_ + " sent " + protocol::describe(check));
    }
    std::vector<char> body(answer.length);
    if (!receiveAll(socket_.get(), body.data(), body.size())) {
        fail("the chassis server at " + socketPath_ + " has gone");
    }
    if (answer.type == static_cast<std::uint16_t>(protocol::MessageType::Error)) {
        protocol::PayloadReader reader({body.data(), body.size()});
        throw ChassisServerError("the chassis server refused a request: " + reader.getText());
    }
    if (answer.type != static_cast<std::uint16_t>(protocol::MessageType::Ok)) {
        fail("the chassis server at " + socketPath_ + " sent an unknown answer");
    }
    return body;
}

bool ChassisConnection::lost() const {
    std::lock_guard lock(mutex_);
    return lost_;
}

void ChassisConnection::fail(const std::string& reason) {
    lost_ = true;
    socket_.reset();
    throw ChassisConnectionLost(reason);
}

}  // namespace kqsim
