#include "chassis_server.h"

#include <errno.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "kqsim/kq_module.h"

namespace kqsim {

namespace {

using protocol::FrameHeader;
using protocol::MessageType;
using protocol::PayloadReader;
using protocol::PayloadWriter;

// Enough for every program of one user; beyond it new connections wait in the listen queue.
constexpr std::size_t kMaxClients = 64;
constexpr std::size_t kReceiveChunk = 256 * 1024;
// The IEEE 488.2 status byte's message-available bit.
constexpr std::uint8_t kMessageAvailable = 0x10;

void log(const std::string& text) { std::cerr << "kq7120-chassis: " << text << '\n'; }

std::uint8_t kindCode(ModuleKind kind) {
    switch (kind) {
        case ModuleKind::KQ7120:
            return 0;
        case ModuleKind::KQ7110:
            return 1;
        case ModuleKind::Foreign:
            return 2;
    }
    return 2;
}

std::string drainReply(Instrument& instrument) {
    std::string text;
    std::array<char, 4096> chunk;
    while (instrument.replyPending()) {
        const ReplyChunk piece = instrument.readReply(chunk.data(), chunk.size());
        if (piece.count == 0) break;
        text.append(chunk.data(), piece.count);
        if (piece.end) break;
    }
    return text;
}

}  // namespace

ChassisServer::ChassisServer(std::shared_ptr<Mainframe> mainframe) : mainframe_(std::move(mainframe)) {
    for (const MountedModule& mounted : mainframe_->modules()) modules_.push_back({mounted.instrument, 0});
}

ChassisServer::~ChassisServer() {
    if (listener_.valid()) ::unlink(socketPath_.c_str());
}

bool ChassisServer::listen(const std::string& socketPath, std::string& error) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path) {
        error = "the socket path is empty or longer than " + std::to_string(sizeof address.sun_path - 1) +
                " bytes";
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(socketPath).parent_path();
    if (!ensurePrivateFolder(folder.empty() ? "." : folder.string(), error)) return false;

    struct stat existing {};
    if (::lstat(socketPath.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode)) {
            error = socketPath + " exists and is not a socket";
            return false;
        }
        std::string ignored;
        if (connectUnixSocket(socketPath, 1, ignored)) {
            error = "another chassis server already answers at " + socketPath;
            return false;
        }
        ::unlink(socketPath.c_str());  // left behind by a server that did not stop cleanly
    }

    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    FileDescriptor listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!listener.valid() ||
        ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = "cannot create the socket " + socketPath + ": " + std::strerror(errno);
        return false;
    }
    ::chmod(socketPath.c_str(), 0600);
    if (::listen(listener.get(), SOMAXCONN) != 0) {
        error = "cannot listen on " + socketPath + ": " + std::strerror(errno);
        ::unlink(socketPath.c_str());
        return false;
    }
    listener_ = std::move(listener);
    socketPath_ = socketPath;
    return true;
}

void ChassisServer::run(int stopFd) {
    std::vector<pollfd> polled;
    std::vector<std::uint64_t> polledClients;
    for (;;) {
        const short acceptEvents = clients_.size() < kMaxClients ? POLLIN : 0;
        polled.assign({{stopFd, POLLIN, 0}, {listener_.get(), acceptEvents, 0}});
        polledClients.clear();
        for (const auto& [id, client] : clients_) {
            // A client that does not take its answers is not served further until it does.
            polled.push_back(
                {client.socket.get(), static_cast<short>(client.output.empty() ? POLLIN : POLLOUT), 0});
            polledClients.push_back(id);
        }
        if (::poll(polled.data(), polled.size(), -1) < 0) {
            if (errno == EINTR) continue;
            log(std::string("poll failed: ") + std::strerror(errno));
            return;
        }
        if (polled[0].revents != 0) return;
        if ((polled[1].revents & POLLIN) != 0) accept();
        for (std::size_t i = 0; i < polledClients.size(); ++i) {
            const short events = polled[i + 2].revents;
            if (events == 0) continue;
            const auto found = clients_.find(polledClients[i]);
            if (found == clients_.end()) continue;
            Client& client = found->second;
            bool alive = true;
            if ((events & POLLOUT) != 0) alive = flush(client);
            if (alive && (events & (POLLIN | POLLHUP | POLLERR)) != 0) alive = receive(client);
            if (alive) handleFrames(client);
            if (alive && !client.output.empty()) alive = flush(client);
            if (!alive || (client.closing && client.output.empty())) disconnect(client.id);
        }
    }
}

void ChassisServer::accept() {
    while (clients_.size() < kMaxClients) {
        FileDescriptor socket(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!socket.valid()) return;
        // Room for a whole frame, so a full FIFO block comes in without waiting for the server.
        const int bufferBytes = static_cast<int>(2 * protocol::kMaxPayload);
        setsockopt(socket.get(), SOL_SOCKET, SO_RCVBUF, &bufferBytes, sizeof bufferBytes);
        Client client;
        client.id = ++lastClientId_;
        client.socket = std::move(socket);
        client.setAside.resize(modules_.size());
        client.messageOpen.resize(modules_.size(), 0);
        log("program " + std::to_string(client.id) + " connected");
        clients_.emplace(client.id, std::move(client));
    }
}

bool ChassisServer::receive(Client& client) {
    // At most one whole frame waits unhandled, so a client cannot make the server hoard its bytes.
    const std::size_t limit = sizeof(FrameHeader) + protocol::kMaxPayload;
    while (client.inputLength < limit) {
        const std::size_t wanted = std::min(kReceiveChunk, limit - client.inputLength);
        if (client.input.size() < client.inputLength + wanted)
            client.input.resize(client.inputLength + wanted);
        const ssize_t received =
            ::recv(client.socket.get(), client.input.data() + client.inputLength, wanted, 0);
        if (received > 0) {
            client.inputLength += static_cast<std::size_t>(received);
            continue;
        }
        if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
        if (received < 0 && errno == EINTR) continue;
        return false;  // end of stream or a failed socket
    }
    return true;
}

bool ChassisServer::flush(Client& client) {
    while (!client.output.empty()) {
        const ssize_t sent =
            ::send(client.socket.get(), client.output.data(), client.output.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            client.output.erase(0, static_cast<std::size_t>(sent));
            continue;
        }
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
        if (sent < 0 && errno == EINTR) continue;
        return false;
    }
    return true;
}

void ChassisServer::handleFrames(Client& client) {
    std::size_t used = 0;
    while (!client.closing && client.output.empty() && client.inputLength - used >= sizeof(FrameHeader)) {
        FrameHeader header;
        std::memcpy(&header, client.input.data() + used, sizeof header);
        if (const auto check = protocol::checkHeader(header); check != protocol::HeaderCheck::Good) {
            refuse(client, protocol::describe(check));
            break;
        }
        if (client.inputLength - used - sizeof header < header.length) break;
        PayloadReader request({client.input.data() + used + sizeof header, header.length});
        used += sizeof header + header.length;
        const auto type = static_cast<MessageType>(header.type);
        const bool answered = type != MessageType::Write;
        try {
            const std::vector<char> payload = execute(client, type, request);
            if (client.closing) break;
            if (answered) answer(client, MessageType::Ok, payload);
        } catch (const std::exception& failure) {
            if (!answered) {
                log("a message of program " + std::to_string(client.id) + " failed: " + failure.what());
                continue;
            }
            PayloadWriter error;
            error.putText(failure.what());
            answer(client, MessageType::Error, error.bytes());
        }
    }
    std::memmove(client.input.data(), client.input.data() + used, client.inputLength - used);
    client.inputLength -= used;
}

void ChassisServer::answer(Client& client, MessageType type, const std::vector<char>& payload) {
    FrameHeader header;
    header.type = static_cast<std::uint16_t>(type);
    header.length = static_cast<std::uint32_t>(payload.size());
    client.output.append(reinterpret_cast<const char*>(&header), sizeof header);
    client.output.append(payload.data(), payload.size());
}

void ChassisServer::refuse(Client& client, const std::string& reason) {
    log("program " + std::to_string(client.id) + " sent garbage (" + reason + "); closing its connection");
    PayloadWriter error;
    error.putText(reason);
    answer(client, MessageType::Error, error.bytes());
    client.closing = true;
}

std::vector<char> ChassisServer::execute(Client& client, MessageType type, PayloadReader& request) {
    if (type == MessageType::Hello) return hello();
    if (type == MessageType::ChassisTime) return PayloadWriter().put(secondsOf(SimClock::now())).take();
    const auto index = request.get<std::uint16_t>();
    if (!request.ok() || index >= modules_.size()) {
        refuse(client, "a request for no module");
        return {};
    }
    std::vector<char> payload = executeOnModule(client, type, index, request);
    if (!request.ok()) refuse(client, "a request cut short");
    return payload;
}

std::vector<char> ChassisServer::hello() const {
    PayloadWriter payload;
    payload.put<std::uint8_t>(mainframe_->interface() == Interface::GpibVxi ? 1 : 0);
    payload.put(static_cast<std::uint16_t>(mainframe_->modules().size()));
    for (const MountedModule& mounted : mainframe_->modules()) {
        payload.put(kindCode(mounted.config.kind))
            .put(mounted.config.logicalAddress)
            .put(mounted.config.slot)
            .put(mounted.config.interfaceNumber)
            .put(mounted.manufacturerId)
            .put(mounted.modelCode)
            .putText(mounted.config.idnModel.value_or(""));
    }
    return payload.take();
}

void ChassisServer::setAsideFor(std::size_t moduleIndex, std::uint64_t requester) {
    ServedModule& served = modules_[moduleIndex];
    if (served.replyOwner == 0 || served.replyOwner == requester) return;
    std::string reply = drainReply(*served.instrument);
    if (const auto owner = clients_.find(served.replyOwner); owner != clients_.end() && !reply.empty()) {
        owner->second.setAside[moduleIndex].set(std::move(reply));
    }
    served.replyOwner = 0;
}

std::vector<char> ChassisServer::executeOnModule(Client& client, MessageType type, std::size_t index,
                                                 PayloadReader& request) {
    ServedModule& served = modules_[index];
    Instrument& instrument = *served.instrument;
    PendingReply& setAside = client.setAside[index];
    PayloadWriter payload;
    switch (type) {
        case MessageType::Write: {
            const bool end = request.get<std::uint8_t>() != 0;
            if (!request.ok()) return {};
            // A new message drops the program's unread reply, as the module itself does.
            setAside.clear();
            setAsideFor(index, client.id);
            instrument.writeMessage(request.rest(), end);
            client.messageOpen[index] = !end;
            served.replyOwner = instrument.replyPending() ? client.id : 0;
            return {};
        }
        case MessageType::Read: {
            const auto max = request.get<std::uint32_t>();
            if (!request.ok()) return {};
            std::vector<char> bytes(std::min<std::uint32_t>(max, protocol::kMaxPayload - 16));
            ReplyChunk chunk;
            bool stillPending = false;
            if (setAside.pending()) {
                chunk = setAside.read(bytes.data(), bytes.size());
                stillPending = setAside.pending();
            } else {
                setAsideFor(index, client.id);
                // Asked even with nothing pending: the module notes a read it cannot answer (-420).
                chunk = instrument.readReply(bytes.data(), bytes.size());
                stillPending = instrument.replyPending();
                served.replyOwner = stillPending ? client.id : 0;
            }
            payload.put<std::uint8_t>(chunk.end).put<std::uint8_t>(stillPending);
            return payload.putBytes(bytes.data(), std::min(chunk.count, bytes.size())).take();
        }
        case MessageType::DeviceClear:
            setAside.clear();
            client.messageOpen[index] = 0;
            setAsideFor(index, client.id);
            instrument.deviceClear();
            served.replyOwner = 0;
            return {};
        case MessageType::StatusByte: {
            auto status = instrument.statusByte();
            if (served.replyOwner != 0 && served.replyOwner != client.id) status &= ~kMessageAvailable;
            if (setAside.pending()) status |= kMessageAvailable;
            return payload.put<std::uint8_t>(status).take();
        }
        case MessageType::ReadRegister: {
            const auto offset = request.get<std::uint16_t>();
            if (!request.ok()) return {};
            return payload.put(instrument.readRegister(offset)).take();
        }
        case MessageType::WriteRegister: {
            const auto offset = request.get<std::uint16_t>();
            const auto value = request.get<std::uint16_t>();
            if (!request.ok()) return {};
            instrument.writeRegister(offset, value);
            return {};
        }
        case MessageType::WriteBlock: {
            const auto offset = request.get<std::uint16_t>();
            const bool increment = request.get<std::uint8_t>() != 0;
            const std::string_view bytes = request.rest();
            if (!request.ok()) return {};
            blockWords_.resize(bytes.size() / sizeof(std::uint16_t));
            std::memcpy(blockWords_.data(), bytes.data(), blockWords_.size() * sizeof(std::uint16_t));
            const std::size_t taken =
                instrument.writeRegisterBlock(offset, blockWords_.data(), blockWords_.size(), increment);
            return payload.put(static_cast<std::uint32_t>(std::min(taken, blockWords_.size()))).take();
        }
        case MessageType::TimeUntilRoom: {
            const auto offset = request.get<std::uint16_t>();
            const auto words = request.get<std::uint64_t>();
            if (!request.ok()) return {};
            const auto room = instrument.timeUntilRoom(offset, static_cast<std::size_t>(words));
            return payload.put<std::uint8_t>(room.has_value())
                .put<std::int64_t>(room ? room->count() : 0)
                .take();
        }
        case MessageType::ReadOutput: {
            const auto channel = request.get<std::int32_t>();
            const auto maxSamples = request.get<std::int32_t>();
            if (!request.ok()) return {};
            const auto* kq = dynamic_cast<const KqModule*>(&instrument);
            if (kq == nullptr || channel < 1 || channel > kq->channelCount())
                return payload.put<std::int32_t>(-1).take();
            const auto samples = kq->recentOutput(channel, static_cast<std::size_t>(std::max(maxSamples, 0)));
            payload.put(static_cast<std::int32_t>(samples.size()));
            for (const OutputSample& sample : samples) payload.put(secondsOf(sample.time)).put(sample.volts);
            return payload.take();
        }
        default:
            refuse(client, "an unknown request");
            return {};
    }
}

void ChassisServer::disconnect(std::uint64_t clientId) {
    const auto found = clients_.find(clientId);
    for (std::size_t index = 0; index < modules_.size(); ++index) {
        ServedModule& served = modules_[index];
        if (found->second.messageOpen[index] != 0) {
            // Half a message of a program that died must not become the start of another's.
            setAsideFor(index, clientId);
            served.instrument->deviceClear();
            served.replyOwner = 0;
        }
        if (served.replyOwner == clientId) {
            // Nobody is left to read it; it must not reach the next program.
            drainReply(*served.instrument);
            served.replyOwner = 0;
        }
    }
    clients_.erase(found);
    log("program " + std::to_string(clientId) + " disconnected");
}

}  // namespace kqsim
