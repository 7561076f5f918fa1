// Test instruments and a fixture for the VISA library tests: each test mounts its own small
// instruments, so the tests exercise the library without depending on the KQ module's behaviour.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "kqsim/instrument.h"
#include "kqsim/mainframe.h"
#include "kqsim/pending_reply.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"
#include "visa.h"

namespace kqvisatest {

struct ReceivedWrite {
    std::string bytes;
    bool end = false;
};

struct BlockWrite {
    std::uint16_t offset = 0;
    std::vector<std::uint16_t> words;  // the words taken
    bool increment = true;
};

// Answers complete messages from a table, keeps registers, and has a FIFO port of limited room.
class TestInstrument final : public kqsim::Instrument {
public:
    static constexpr std::uint16_t kFifoPort = 0x20;

    void writeMessage(std::string_view bytes, bool end) override;
    bool replyPending() const override;
    kqsim::ReplyChunk readReply(char* into, std::size_t max) override;
    void deviceClear() override;
    std::uint8_t statusByte() override;
    std::uint16_t readRegister(std::uint16_t offset) override;
    void writeRegister(std::uint16_t offset, std::uint16_t value) override;
    std::size_t writeRegisterBlock(std::uint16_t offset, const std::uint16_t* words, std::size_t count,
                                   bool increment) override;

    // The reply to a complete message of exactly these bytes.
    void answer(const std::string& message, const std::string& reply);
    // A reply pending now, as if a query had been executed.
    void queueReply(const std::string& reply);
    // Hands out replies at most this many bytes per readReply call.
    void limitChunks(std::size_t bytes);
    void setStatusByte(std::uint8_t value);
    // Room of the FIFO port: the words it takes before it is full (more room is added with freeFifo).
    void setFifoRoom(std::size_t words);

    std::vector<ReceivedWrite> writes() const;
    std::vector<std::string> messages() const;  // complete messages, in order
    std::vector<BlockWrite> blockWrites() const;
    std::uint16_t registerValue(std::uint16_t offset) const;
    std::vector<std::uint16_t> fifoWords() const;
    int deviceClears() const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::string> answers_;
    std::string input_;
    kqsim::PendingReply reply_;
    std::size_t chunkLimit_ = 0;
    std::uint8_t statusByte_ = 0;
    std::size_t fifoRoom_ = SIZE_MAX;
    std::array<std::uint16_t, 32> registers_{};
    std::vector<std::uint16_t> fifo_;
    std::vector<ReceivedWrite> writes_;
    std::vector<std::string> messages_;
    std::vector<BlockWrite> blockWrites_;
    int deviceClears_ = 0;
};

struct TestModule {
    std::uint16_t logicalAddress = 0;
    std::uint16_t slot = 0;
    std::uint16_t board = 0;
    std::uint16_t manufacturerId = 0xA5D;
    std::uint16_t modelCode = 0x103;
    std::string model = "KQ7120";
};

// Mounts one TestInstrument per entry as the mainframe in use and returns them in the same order.
std::vector<std::shared_ptr<TestInstrument>> installTestMainframe(kqsim::Interface interface,
                                                                  const std::vector<TestModule>& modules);

// A resource-manager session for the test and the records of one operation kind in the trace.
class VisaTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A VXI0 mainframe with test instruments at LA 24 (slot 2) and LA 32 (slot 3).
    void installTwoInstruments();
    ViSession open(const std::string& descriptor);
    static std::vector<kqvisa::TraceRecord> records(kqvisa::Op op);

    ViSession rm_ = VI_NULL;
    std::vector<std::shared_ptr<TestInstrument>> instruments_;
};

// A session on the first test instrument (LA 24), and that instrument.
class InstrumentTest : public VisaTest {
protected:
    void SetUp() override;

    ViSession session_ = VI_NULL;
    std::shared_ptr<TestInstrument> module_;
};

// One viWrite of `bytes`; `count`, when given, receives the count written.
ViStatus writeBytes(ViSession session, const std::string& bytes, ViUInt32* count = nullptr);
// One viRead of at most `count` bytes; returns the bytes read and sets `status`.
std::string readBytes(ViSession session, ViUInt32 count, ViStatus& status);

}  // namespace kqvisatest
