// The simulated VISA library on a chassis server of the test's own: programs share the served
// modules, replies stay with their session, faults of a client or of the server are contained.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "chassis_protocol.h"
#include "chassis_server_process.h"
#include "kq7120.h"
#include "kqsim/chassis_link.h"
#include "kqsim/mainframe.h"
#include "kqsim/output_monitor.h"
#include "unix_socket.h"
#include "visa.h"

namespace {

using kqvisatest::ChassisServerProcess;
using kqvisatest::UseChassisServer;

constexpr const char* kKq7120 = "VXI0::24::INSTR";

class ServedSession {
public:
    ServedSession() {
        EXPECT_EQ(viOpenDefaultRM(&resourceManager_), VI_SUCCESS);
        openStatus_ = viOpen(resourceManager_, kKq7120, VI_NULL, VI_NULL, &session_);
        viSetAttribute(session_, VI_ATTR_TMO_VALUE, 500);
    }
    ~ServedSession() { viClose(resourceManager_); }

    ViStatus openStatus() const { return openStatus_; }
    ViSession get() const { return session_; }
    ViSession resourceManager() const { return resourceManager_; }

    ViStatus write(const std::string& text) {
        const std::string line = text + "\n";
        ViUInt32 count = 0;
        return viWrite(session_, reinterpret_cast<ViConstBuf>(line.data()),
                       static_cast<ViUInt32>(line.size()), &count);
    }
    std::string read(ViStatus* status = nullptr) {
        std::array<char, 1024> reply{};
        ViUInt32 count = 0;
        const ViStatus result =
            viRead(session_, reinterpret_cast<ViPBuf>(reply.data()), reply.size(), &count);
        if (status != nullptr) *status = result;
        return std::string(reply.data(), count);
    }
    std::string query(const std::string& text) {
        EXPECT_EQ(write(text), VI_SUCCESS);
        return read();
    }

private:
    ViSession resourceManager_ = VI_NULL;
    ViSession session_ = VI_NULL;
    ViStatus openStatus_ = VI_SUCCESS;
};

std::string probe(const std::vector<std::string>& arguments, const std::string& socketPath) {
    int status = -1;
    std::string output = kqvisatest::runProgram(
        KQ_CHASSIS_PROBE, arguments, status, {std::string(kqsim::kServerSocketVariable) + "=" + socketPath});
    EXPECT_EQ(status, 0) << output;
    return output;
}

class ChassisServerTest : public ::testing::Test {
protected:
    ChassisServerProcess server_;
    UseChassisServer use_{server_.socketPath()};
};

TEST_F(ChassisServerTest, ProgramsDriveTheSameModule) {
    ServedSession session;
    ASSERT_EQ(session.openStatus(), VI_SUCCESS);
    ASSERT_EQ(session.write("SOUR:VOLT:LEV 2.5,(@3)"), VI_SUCCESS);
    EXPECT_EQ(probe({"query", kKq7120, "SOUR:VOLT:LEV? 3"}, server_.socketPath()), "2.5\n");

    probe({"write", kKq7120, "SOUR:VOLT:LEV -1.25,(@4)"}, server_.socketPath());
    EXPECT_EQ(session.query("SOUR:VOLT:LEV? 4"), "-1.25\n");

    // Registers and the simulator's output accessor reach the same module.
    probe({"write", kKq7120, "SOUR:VOLT:LEV 1.25,(@5)"}, server_.socketPath());
    std::array<double, 8> times{};
    std::array<double, 8> volts{};
    const int count = kqsim_readChannelOutput(0, 24, 5, times.data(), volts.data(), 8);
    ASSERT_GE(count, 1);
    EXPECT_DOUBLE_EQ(volts[count - 1], 1.25);
    EXPECT_GE(kqsim_chassisTime(), times[count - 1]);
    EXPECT_EQ(kqsim_readChannelOutput(0, 24, 17, times.data(), volts.data(), 8), -1);
    EXPECT_EQ(kqsim_readChannelOutput(0, 32, 1, times.data(), volts.data(), 8), -1);
    ASSERT_EQ(viOut16(session.get(), VI_A16_SPACE, 0x28, 6), VI_SUCCESS);
    ViUInt16 selected = 0;
    ASSERT_EQ(viIn16(session.get(), VI_A16_SPACE, 0x28, &selected), VI_SUCCESS);
    EXPECT_EQ(selected, 6);
}

TEST_F(ChassisServerTest, AReplyReachesOnlyTheSessionWhoseQueryMadeIt) {
    ServedSession session;
    ASSERT_EQ(session.write("*IDN?"), VI_SUCCESS);
    // Another program finds nothing to read, and its own query gets its own reply.
    const std::string timeout = std::to_string(static_cast<long>(VI_ERROR_TMO)) + " ";
    EXPECT_EQ(probe({"read", kKq7120}, server_.socketPath()), timeout);
    EXPECT_EQ(probe({"query", kKq7120, "SOUR:VOLT:LEV? 3"}, server_.socketPath()), "0\n");

    ViUInt16 statusByte = 0;
    ASSERT_EQ(viReadSTB(session.get(), &statusByte), VI_SUCCESS);
    EXPECT_NE(statusByte & 0x10, 0) << "the set-aside reply is still available to its session";
    EXPECT_EQ(session.read(), "Harlowfen Instruments,KQ7120,0,A.02.05\n");

    // Device clear drops an unread reply, served as in-process.
    ASSERT_EQ(session.write("*IDN?"), VI_SUCCESS);
    ASSERT_EQ(viClear(session.get()), VI_SUCCESS);
    ViStatus status = VI_SUCCESS;
    EXPECT_EQ(session.read(&status), "");
    EXPECT_EQ(status, VI_ERROR_TMO);
    // The served module notes each read it could not answer, as a module of the program's own does.
    EXPECT_EQ(session.query("SYST:ERR?"), "-420,\"Query UNTERMINATED\"\n");
}

TEST_F(ChassisServerTest, PyVisaAndTheDriverShareTheModule) {
    ViSession instrument = VI_NULL;
    ASSERT_EQ(kq7120_init(kKq7120, VI_TRUE, VI_TRUE, &instrument), VI_SUCCESS);
    const ViInt16 channel3[] = {3};
    ASSERT_EQ(kq7120_setupVoltage(instrument, 2.5F, channel3, 1), VI_SUCCESS);

    std::vector<std::string> environment{std::string(kqsim::kServerSocketVariable) + "=" +
                                         server_.socketPath()};
    if (const char* preload = KQ_PYTHON_PRELOAD; *preload != '\0') {
        environment.push_back(std::string("LD_PRELOAD=") + preload);
        environment.push_back("ASAN_OPTIONS=detect_leaks=0");
    }
    int status = -1;
    const std::string output =
        kqvisatest::runProgram("/usr/bin/python3", {KQ_PYVISA_PEER, KQ_VISA_LIBRARY}, status, environment);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(output, "2.5\n");

    ViReal32 volts = 0;
    ASSERT_EQ(kq7120_queryVoltage(instrument, 4, &volts), VI_SUCCESS);
    EXPECT_FLOAT_EQ(volts, -1.25F);
    EXPECT_EQ(kq7120_close(instrument), VI_SUCCESS);
}

TEST_F(ChassisServerTest, ABlockIntoAFullPlayingFifoWaitsForRoom) {
    ViSession instrument = VI_NULL;
    ASSERT_EQ(kq7120_init(kKq7120, VI_FALSE, VI_TRUE, &instrument), VI_SUCCESS);
    const ViInt16 channel1[] = {1};
    ASSERT_EQ(kq7120_setupScanMode(instrument, kq7120_SCAN_MODE_FIFO, channel1, 1), VI_SUCCESS);
    const std::vector<ViUInt16> block(262144, 0x9000);
    ASSERT_EQ(kq7120_loadFIFO_Data(instrument, block.data(), static_cast<ViInt32>(block.size())), VI_SUCCESS);
    ViUInt16 fifoStatus = 0;
    ASSERT_EQ(kq7120_GetFifoStatus(instrument, &fifoStatus), VI_SUCCESS);
    EXPECT_EQ(fifoStatus & kq7120_FIFO_FULL, kq7120_FIFO_FULL);

    // Playing at 100 kHz, the FIFO frees room for 2000 more words within 20 ms.
    ASSERT_EQ(kq7120_commandFifo(instrument, kq7120_INITIATE), VI_SUCCESS);
    ASSERT_EQ(kq7120_loadFIFO_Data(instrument, block.data(), 2000), VI_SUCCESS);
    ASSERT_EQ(kq7120_commandFifo(instrument, kq7120_ABORT), VI_SUCCESS);
    ASSERT_EQ(kq7120_GetFifoStatus(instrument, &fifoStatus), VI_SUCCESS);
    EXPECT_EQ(fifoStatus & kq7120_FIFO_EMPTY, kq7120_FIFO_EMPTY);
    EXPECT_EQ(kq7120_close(instrument), VI_SUCCESS);
}

TEST_F(ChassisServerTest, AClientKilledInABlockMoveLeavesTheServerServing) {
    const pid_t client =
        kqvisatest::startProgram(KQ_CHASSIS_PROBE, {"fill-fifo", kKq7120, "300000"},
                                 {std::string(kqsim::kServerSocketVariable) + "=" + server_.socketPath()});
    ServedSession session;
    ViUInt16 fifoStatus = 0;
    for (int attempt = 0; attempt < 1000 && (fifoStatus & 0x8000) == 0; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_EQ(viIn16(session.get(), VI_A16_SPACE, 0x20, &fifoStatus), VI_SUCCESS);
    }
    ASSERT_EQ(fifoStatus & 0x8000, 0x8000) << "the other program filled the FIFO and waits for room";
    ::kill(client, SIGKILL);
    kqvisatest::waitForProgram(client);

    EXPECT_EQ(session.query("*IDN?"), "Harlowfen Instruments,KQ7120,0,A.02.05\n");
    ASSERT_EQ(session.write("ABOR"), VI_SUCCESS);
    ASSERT_EQ(viIn16(session.get(), VI_A16_SPACE, 0x20, &fifoStatus), VI_SUCCESS);
    EXPECT_EQ(fifoStatus & 0x4000, 0x4000);
}

TEST_F(ChassisServerTest, GarbageOnTheSocketDisturbsNobody) {
    using kqsim::protocol::FrameHeader;
    const auto header = [](std::uint32_t magic, std::uint16_t version, std::uint16_t type,
                           std::uint32_t length) {
        FrameHeader frame{magic, version, type, length};
        return std::string(reinterpret_cast<const char*>(&frame), sizeof frame);
    };
    const std::uint32_t magic = kqsim::protocol::kMagic;
    const std::uint16_t version = kqsim::protocol::kVersion;
    const std::uint16_t write = static_cast<std::uint16_t>(kqsim::protocol::MessageType::Write);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"text", "GET / HTTP/1.0\r\n\r\n"},
        {"another version", header(magic, version + 1, write, 0)},
        {"a frame over the limit", header(magic, version, write, kqsim::protocol::kMaxPayload + 1)},
        {"an unknown request", header(magic, version, 0x77, 2) + std::string("\0\0", 2)},
        {"no such module", header(magic, version, write, 3) + std::string("\x63\0\1", 3)},
        {"a request cut short", header(magic, version, write, 1) + std::string("\0", 1)},
        {"a frame that never ends", header(magic, version, write, 1000) + "SOUR:VOLT:LEV 9,(@1)\n"},
    };
    ServedSession session;
    ASSERT_EQ(session.write("*IDN?"), VI_SUCCESS);
    for (const auto& garbage : cases) {
        SCOPED_TRACE(garbage.name);
        std::string error;
        auto socket = kqsim::connectUnixSocket(server_.socketPath(), 2, error);
        ASSERT_TRUE(socket) << error;
        std::string bytes = garbage.bytes;
        std::array<iovec, 1> parts{{{bytes.data(), bytes.size()}}};
        ASSERT_TRUE(kqsim::sendAll(socket->get(), parts));
        if (std::string(garbage.name) != "a frame that never ends") {
            FrameHeader answer{};
            ASSERT_TRUE(kqsim::receiveAll(socket->get(), &answer, sizeof answer));
            EXPECT_EQ(answer.type, static_cast<std::uint16_t>(kqsim::protocol::MessageType::Error));
        }
    }
    // The garbage changed nothing, and the session's unread reply survived it.
    EXPECT_EQ(session.read(), "Harlowfen Instruments,KQ7120,0,A.02.05\n");
    EXPECT_EQ(session.query("SOUR:VOLT:LEV? 1"), "0\n");
}

TEST_F(ChassisServerTest, SessionsLoseTheirConnectionWithTheServer) {
    ServedSession session;
    ASSERT_EQ(session.openStatus(), VI_SUCCESS);
    server_.kill();
    EXPECT_EQ(session.write("*IDN?"), VI_ERROR_CONN_LOST);
    ViStatus status = VI_SUCCESS;
    session.read(&status);
    EXPECT_EQ(status, VI_ERROR_CONN_LOST);
    EXPECT_EQ(viOut16(session.get(), VI_A16_SPACE, 0x28, 1), VI_ERROR_CONN_LOST);
    ViUInt16 statusByte = 0;
    EXPECT_EQ(viReadSTB(session.get(), &statusByte), VI_ERROR_CONN_LOST);

    // The named server is gone: no private chassis takes its place.
    ServedSession again;
    EXPECT_EQ(again.openStatus(), VI_ERROR_RSRC_NFOUND);
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    char descriptor[256];
    EXPECT_EQ(viFindRsrc(again.resourceManager(), "?*INSTR", &list, &count, descriptor),
              VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(kqsim_servedChassis(nullptr, 0), -1);
}

TEST(ChassisServerStartTest, StopsCleanlyAndKeepsItsSocketPrivate) {
    ChassisServerProcess server;
    struct stat folder {};
    struct stat socket {};
    ASSERT_EQ(lstat((server.folder() + "/kq7120-sim").c_str(), &folder), 0);
    ASSERT_EQ(lstat(server.socketPath().c_str(), &socket), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700);
    EXPECT_EQ(socket.st_mode & 0077, 0);

    int status = -1;
    kqvisatest::runProgram(KQ_CHASSIS_SERVER, {"--socket", server.socketPath()}, status);
    EXPECT_EQ(status, 1) << "a second server on the same socket refuses to start";
    EXPECT_EQ(server.stop(), 0);
    EXPECT_FALSE(server.answering());
    EXPECT_NE(lstat(server.socketPath().c_str(), &socket), 0) << "the socket is removed";
}

TEST(ChassisChoiceTest, ServedWhenNamedOrAnsweringAtTheDefaultSocketElseInProcess) {
    ChassisServerProcess server;
    const std::string missing = server.folder() + "/nobody.sock";
    const struct {
        const char* name;
        const char* serverVariable;  // nullptr: unset
        std::string runtimeFolder;
        int served;      // kqsim_servedChassis
        ViUInt32 found;  // resources of "?*INSTR"
    } cases[] = {
        {"named server", server.socketPath().c_str(), "/nonexistent", 1, 3},
        {"named server not answering", missing.c_str(), server.folder(), -1, 0},
        {"server at the default socket", nullptr, server.folder(), 1, 3},
        {"nothing at the default socket", nullptr, "/nonexistent", 0, 3},
    };
    const std::string savedRuntime = std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "";
    for (const auto& choice : cases) {
        SCOPED_TRACE(choice.name);
        if (choice.serverVariable != nullptr) {
            setenv(kqsim::kServerSocketVariable, choice.serverVariable, 1);
        } else {
            unsetenv(kqsim::kServerSocketVariable);
        }
        setenv("XDG_RUNTIME_DIR", choice.runtimeFolder.c_str(), 1);
        kqsim::installMainframe(nullptr);

        std::array<char, 256> socketPath{};
        EXPECT_EQ(kqsim_servedChassis(socketPath.data(), socketPath.size()), choice.served);
        if (choice.served == 1) {
            EXPECT_EQ(socketPath.data(), server.socketPath());
        }
        ViSession resourceManager = VI_NULL;
        ASSERT_EQ(viOpenDefaultRM(&resourceManager), VI_SUCCESS);
        ViUInt32 count = 0;
        char descriptor[256];
        viFindRsrc(resourceManager, "?*INSTR", VI_NULL, &count, descriptor);
        EXPECT_EQ(count, choice.found);
        viClose(resourceManager);
    }
    unsetenv(kqsim::kServerSocketVariable);
    setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
    kqsim::installMainframe(nullptr);
}

}  // namespace
