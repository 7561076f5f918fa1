// The chassis server: one simulated mainframe served to every program on a Unix domain socket.
// One thread polls every connection, so each request runs whole before the next, in the order the
// requests arrive. A reply stays with the program whose query made it: when another program talks
// to the module first, the unread reply is set aside for its owner.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "chassis_protocol.h"
#include "kqsim/mainframe.h"
#include "kqsim/pending_reply.h"
#include "unix_socket.h"

namespace kqsim {

class ChassisServer {
public:
    explicit ChassisServer(std::shared_ptr<Mainframe> mainframe);
    ~ChassisServer();
    ChassisServer(const ChassisServer&) = delete;
    ChassisServer& operator=(const ChassisServer&) = delete;

    // Creates the socket (its folder private to this user); false with the reason in `error`, also
    // when another server already answers there.
    bool listen(const std::string& socketPath, std::string& error);
    // Serves until `stopFd` becomes readable.
    void run(int stopFd);

private:
    struct Client {
        std::uint64_t id = 0;
        FileDescriptor socket;
        std::vector<char> input;  // grown, never shrunk: received bytes are input[0, inputLength)
        std::size_t inputLength = 0;
        std::string output;
        bool closing = false;                // close once the output has gone
        std::vector<PendingReply> setAside;  // per module: replies moved out for another program
        std::vector<char> messageOpen;       // per module: bytes written without END yet
    };
    struct ServedModule {
        std::shared_ptr<Instrument> instrument;
        std::uint64_t replyOwner = 0;  // client whose reply the module holds, 0 for none
    };

    void accept();
    bool receive(Client& client);
    bool flush(Client& client);
    void handleFrames(Client& client);
    void answer(Client& client, protocol::MessageType type, const std::vector<char>& payload);
    void refuse(Client& client, const std::string& reason);
    std::vector<char> execute(Client& client, protocol::MessageType type, protocol::PayloadReader& request);
    std::vector<char> hello() const;
    std::vector<char> executeOnModule(Client& client, protocol::MessageType type, std::size_t index,
                                      protocol::PayloadReader& request);
    void setAsideFor(std::size_t moduleIndex, std::uint64_t requester);
    void disconnect(std::uint64_t clientId);

    std::shared_ptr<Mainframe> mainframe_;
    std::vector<ServedModule> modules_;
    std::map<std::uint64_t, Client> clients_;
    std::uint64_t lastClientId_ = 0;
    FileDescriptor listener_;
    std::string socketPath_;
    std::vector<std::uint16_t> blockWords_;  // reused for block writes
};

}  // namespace kqsim
