// Register-level loads: the register order, the increment attribute around the one block move, the
// refusals with what was already written, the FIFO status read and the run controls.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"

namespace {

using kqtest::DriverTest;
using Lines = std::vector<std::string>;
using Words = std::vector<std::uint16_t>;

// The bus traffic of one error check.
const Lines kErrorCheck = {"write *ESR?", "read"};
const Lines kFormatQuery = {"write VOLT:FORM ?", "read", "write *ESR?", "read"};

Lines join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Lines registerWrite(const char* offset, int value) {
    return join({{std::string("out16 ") + offset + " " + std::to_string(value)}, kErrorCheck});
}

Lines arbSelection(int segment, int channel) {
    return join({registerWrite("0x20", segment), registerWrite("0x22", channel), registerWrite("0x24", 0)});
}

Lines blockMove(const char* port, std::size_t words) {
    return {"dest increment 0", std::string("move ") + port + " " + std::to_string(words) + " words",
            "dest increment 1"};
}

class RegisterTransfer : public DriverTest {
protected:
    void SetUp() override {
        DriverTest::SetUp();
        session = open(kqtest::kKq7120Descriptor);
    }

    static Words movedWords() {
        const auto moves = calls(kqvisa::Op::MoveOut16);
        return moves.empty() ? Words{} : moves.back().words;
    }

    ViSession session = 0;
};

TEST_F(RegisterTransfer, VoltageLoadConvertsThenMovesOneBlock) {
    const std::vector<ViReal64> volts = {-20.0, 0.0, 19.99969, 0.00031};
    ASSERT_EQ(kq7120_arbLoadVoltage(session, 3, 2, kq7120_20VOLT_RANGE, volts.data(), 4), VI_SUCCESS);
    EXPECT_EQ(busLog(), join({kFormatQuery, arbSelection(3, 2), blockMove("0x26", 4), kErrorCheck}));
    EXPECT_EQ(movedWords(), (Words{0x0000, 0x8000, 0xFFFF, 0x8001})) << "unsigned, the reset format";
    EXPECT_EQ(kqtest::kqModule(24).segmentCodes(3, 2), (Words{0x0000, 0x8000, 0xFFFF, 0x8001}));

    // Signed format: the words on the bus differ in bit 15, the waveform is the same.
    ASSERT_EQ(kq7120_setupDataFormat(session, kq7120_FORMAT_SIGNED), VI_SUCCESS);
    const std::vector<ViReal64> tenVolts = {-10.0, 0.0, 9.99984};
    kqvisa::clearTrace();
    ASSERT_EQ(kq7120_arbLoadVoltage(session, 4, 1, kq7120_10VOLT_RANGE, tenVolts.data(), 3), VI_SUCCESS);
    EXPECT_EQ(movedWords(), (Words{0x8000, 0x0000, 0x7FFF}));
    EXPECT_EQ(kqtest::kqModule(24).segmentCodes(4, 1), (Words{0x0000, 0x8000, 0xFFFF}));
}

TEST_F(RegisterTransfer, VoltageLoadRefusals) {
    const std::vector<ViReal64> thirdOutOfRange = {1.0, 2.0, 9.99985, 3.0};
    struct Case {
        const char* name;
        ViStatus status;
        Lines bus;
        ViStatus actual;
    };
    const Case cases[] = {
        {"range 2: the three registers are written", VI_ERROR_PARAMETER2,
         join({kFormatQuery, arbSelection(1, 1)}),
         kq7120_arbLoadVoltage(session, 1, 1, 2, thirdOutOfRange.data(), 4)},
        {"third sample beyond 10 V: registers written, nothing moved", VI_ERROR_PARAMETER5,
         join({kFormatQuery, arbSelection(1, 1)}),
         kq7120_arbLoadVoltage(session, 1, 1, kq7120_10VOLT_RANGE, thirdOutOfRange.data(), 4)},
        {"no samples", VI_ERROR_PARAMETER5, {}, kq7120_arbLoadVoltage(session, 1, 1, 0, nullptr, 4)},
        {"negative count",
         VI_ERROR_PARAMETER6,
         {},
         kq7120_arbLoadVoltage(session, 1, 1, 0, thirdOutOfRange.data(), -1)},
        {"zero handle",
         VI_ERROR_INV_OBJECT,
         {},
         kq7120_arbLoadVoltage(0, 1, 1, 0, thirdOutOfRange.data(), 4)},
        {"FIFO range 2: only the start register", VI_ERROR_PARAMETER2,
         join({kFormatQuery, registerWrite("0x24", 0)}),
         kq7120_loadFIFOVoltage(session, 1, 2, thirdOutOfRange.data(), 4)},
        {"FIFO third sample beyond 10 V", VI_ERROR_PARAMETER5, join({kFormatQuery, registerWrite("0x24", 0)}),
         kq7120_loadFIFOVoltage(session, 1, kq7120_10VOLT_RANGE, thirdOutOfRange.data(), 4)},
        {"FIFO no samples", VI_ERROR_PARAMETER4, {}, kq7120_loadFIFOVoltage(session, 1, 0, nullptr, 4)},
        {"FIFO negative count",
         VI_ERROR_PARAMETER5,
         {},
         kq7120_loadFIFOVoltage(session, 1, 0, thirdOutOfRange.data(), -1)},
    };
    // Each call ran as its case was built; the trace holds them in order.
    Lines expected;
    for (const auto& c : cases) {
        EXPECT_EQ(c.actual, c.status) << c.name;
        expected.insert(expected.end(), c.bus.begin(), c.bus.end());
    }
    EXPECT_EQ(busLog(), expected);
}

TEST_F(RegisterTransfer, FifoVoltageLoadGoesToTheFifoPort) {
    const std::vector<ViReal64> volts = {0.0, -20.0, 10.0};
    ASSERT_EQ(kq7120_loadFIFOVoltage(session, 16, kq7120_20VOLT_RANGE, volts.data(), 3), VI_SUCCESS);
    EXPECT_EQ(busLog(), join({kFormatQuery, registerWrite("0x24", 0), blockMove("0x20", 3), kErrorCheck}));
    EXPECT_EQ(movedWords(), (Words{0x8000, 0x0000, 0xC000}));
    EXPECT_EQ(kqtest::kqModule(24).fifoFill(), 3u);
}

TEST_F(RegisterTransfer, CodeLoads) {
    const Words codes = {1, 2, 0xFFFF};
    ASSERT_EQ(kq7120_arbLoadData(session, 7, 16, codes.data(), 3), VI_SUCCESS);
    EXPECT_EQ(busLog(), join({arbSelection(7, 16), blockMove("0x26", 3), kErrorCheck}));
    EXPECT_EQ(movedWords(), codes);

    // The FIFO load is the block move and its two attribute changes, nothing else.
    kqvisa::clearTrace();
    ASSERT_EQ(kq7120_loadFIFO_Data(session, codes.data(), 3), VI_SUCCESS);
    EXPECT_EQ(busLog(), blockMove("0x20", 3));
    EXPECT_EQ(movedWords(), codes);
    EXPECT_EQ(kqtest::kqModule(24).fifoFill(), 3u);

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_arbLoadData(session, 7, 16, nullptr, 3), VI_ERROR_PARAMETER4);
    EXPECT_EQ(kq7120_arbLoadData(session, 7, 16, codes.data(), -1), VI_ERROR_PARAMETER5);
    EXPECT_EQ(kq7120_arbLoadData(0, 7, 16, codes.data(), 3), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(kq7120_loadFIFO_Data(session, nullptr, 3), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_loadFIFO_Data(session, codes.data(), -1), VI_ERROR_PARAMETER3);
    EXPECT_EQ(kq7120_loadFIFO_Data(0, codes.data(), 3), VI_ERROR_INV_OBJECT);
    EXPECT_TRUE(kqvisa::trace().empty());
}

TEST_F(RegisterTransfer, FailuresEndTheLoadWhereTheyHappen) {
    const Words codes = {1, 2};
    // A failed move leaves the increment off; the next load switches it off again first.
    kqvisa::failCall(kqvisa::Op::MoveOut16, VI_ERROR_BERR);
    EXPECT_EQ(kq7120_loadFIFO_Data(session, codes.data(), 2), VI_ERROR_BERR);
    EXPECT_EQ(busLog(), (Lines{"dest increment 0", "move 0x20 0 words"}));
    kqvisa::clearTrace();
    kqvisa::failCall(kqvisa::Op::SetAttribute, VI_ERROR_NSUP_ATTR_STATE);
    EXPECT_EQ(kq7120_arbLoadData(session, 1, 1, codes.data(), 2), VI_ERROR_NSUP_ATTR_STATE);
    EXPECT_EQ(busLog(), join({arbSelection(1, 1), {"dest increment 0"}}));

    // A register write the module refuses ends the load after its error check.
    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_arbLoadData(session, 4096, 1, codes.data(), 2), kq7120_INSTRUMENT_ERROR);
    EXPECT_EQ(busLog(), registerWrite("0x20", 4096));
    kqvisa::clearTrace();
    kqvisa::failCall(kqvisa::Op::Out16, VI_ERROR_BERR, 2);
    EXPECT_EQ(kq7120_arbLoadData(session, 1, 1, codes.data(), 2), VI_ERROR_BERR);
    EXPECT_EQ(busLog(), join({registerWrite("0x20", 1), {"out16 0x22 1"}}));

    // The closing error check (the fifth of a voltage load) reports what the module made of the data.
    kqvisa::clearTrace();
    kqvisa::scriptReply("*ESR?", "0\n", "", 4);
    kqvisa::scriptReply("*ESR?", "16\n");
    const std::vector<ViReal64> volts = {0.0};
    EXPECT_EQ(kq7120_arbLoadVoltage(session, 1, 1, 0, volts.data(), 1), kq7120_INSTRUMENT_ERROR);
    EXPECT_EQ(busLog(), join({kFormatQuery, arbSelection(1, 1), blockMove("0x26", 1), kErrorCheck}));
}

TEST_F(RegisterTransfer, FifoStatusThroughTheMappedWindow) {
    ViUInt16 status = 0;
    ASSERT_EQ(kq7120_GetFifoStatus(session, &status), VI_SUCCESS);
    EXPECT_EQ(status, kq7120_FIFO_EMPTY);
    EXPECT_EQ(busLog(), (Lines{"map 0x20 0x20", "peek 0x20", "unmap"}));

    const Words codes(10, 0x8000);
    ASSERT_EQ(kq7120_loadFIFO_Data(session, codes.data(), 10), VI_SUCCESS);
    ASSERT_EQ(kq7120_GetFifoStatus(session, &status), VI_SUCCESS);
    EXPECT_EQ(status, 0);

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_GetFifoStatus(session, nullptr), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_GetFifoStatus(0, &status), VI_ERROR_INV_OBJECT);
    EXPECT_TRUE(kqvisa::trace().empty());
    kqvisa::failCall(kqvisa::Op::MapAddress, VI_ERROR_ALLOC);
    EXPECT_EQ(kq7120_GetFifoStatus(session, &status), VI_ERROR_ALLOC);
    EXPECT_EQ(busLog(), (Lines{"map 0x20 0x20"}));
    kqvisa::clearTrace();
    kqvisa::failCall(kqvisa::Op::UnmapAddress, VI_ERROR_WINDOW_NMAPPED);
    EXPECT_EQ(kq7120_GetFifoStatus(session, &status), VI_ERROR_WINDOW_NMAPPED)
        << "the unmap's status is the result";
}

TEST_F(RegisterTransfer, RunControls) {
    ASSERT_EQ(kq7120_arbDefineSegment(session, 0, 4), VI_SUCCESS);
    const ViInt16 list[] = {0};
    ASSERT_EQ(kq7120_arbDefineSequence(session, list, 1), VI_SUCCESS);
    const ViInt16 channel[] = {1};
    ASSERT_EQ(kq7120_setupScanMode(session, kq7120_SCAN_MODE_ARB, channel, 1), VI_SUCCESS);
    kqvisa::clearTrace();
    ASSERT_EQ(kq7120_commandArb(session, kq7120_INITIATE), VI_SUCCESS);
    EXPECT_EQ(kqtest::kqModule(24).runState(), kqsim::RunState::ArbRunning);
    EXPECT_EQ(kq7120_commandArb(session, kq7120_INITIATE), kq7120_INSTRUMENT_ERROR) << "already running";
    ASSERT_EQ(kq7120_commandFifo(session, kq7120_ABORT), VI_SUCCESS);
    EXPECT_EQ(kqtest::kqModule(24).runState(), kqsim::RunState::Idle);
    EXPECT_EQ(sent(), (std::vector<std::string>{"INIT", "*ESR?", "INIT", "*ESR?", "ABOR", "*ESR?"}));

    kqvisa::clearTrace();
    EXPECT_EQ(kq7120_commandArb(session, 2), VI_ERROR_PARAMETER2);
    EXPECT_EQ(kq7120_commandFifo(session, 65535), VI_ERROR_PARAMETER2);
    EXPECT_TRUE(sent().empty());
}

}  // namespace
