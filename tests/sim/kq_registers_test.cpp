// The KQ module's A16 registers: VXI identity words, the ARB load path (segment, channel, load
// start, data port), the FIFO port and its status word, register-mode DAC writes, the arm register
// and the read-back latches; refusals reach the error queue for the driver's "*ESR?" check.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "kq_module_test_support.h"
#include "sample_fifo.h"

namespace kqsim::testing {
namespace {

constexpr std::uint16_t kSegmentFifo = 0x20;
constexpr std::uint16_t kChannel = 0x22;
constexpr std::uint16_t kLoadStart = 0x24;
constexpr std::uint16_t kArbData = 0x26;
constexpr std::uint16_t kDacSelect = 0x28;
constexpr std::uint16_t kDacData = 0x2A;
constexpr std::uint16_t kArm = 0x2C;

class KqRegisters : public ModuleTest {
protected:
    std::size_t block(std::uint16_t offset, const std::vector<std::uint16_t>& words, bool increment = false) {
        return module().writeRegisterBlock(offset, words.data(), words.size(), increment);
    }
    void selectLoad(std::uint16_t segment, std::uint16_t channel) {
        module().writeRegister(kSegmentFifo, segment);
        module().writeRegister(kChannel, channel);
        module().writeRegister(kLoadStart, 0);
    }
};

TEST_F(KqRegisters, ConfigurationRegistersIdentifyTheModuleAndIgnoreWrites) {
    EXPECT_EQ(module().readRegister(0x00), 0xBA5D);  // message based, A16 only, manufacturer 0xA5D
    EXPECT_EQ(module().readRegister(0x02), 0xF103);  // model code 0x103
    module().writeRegister(0x00, 0x1234);
    EXPECT_EQ(module().readRegister(0x00), 0xBA5D);
    EXPECT_EQ(module().readRegister(0x30), 0xFFFF);
}

TEST_F(KqRegisters, WriteOnlyRegistersReadBackTheLastValueWritten) {
    for (std::uint16_t offset : {kChannel, kLoadStart, kArbData, kDacSelect, kDacData, kArm}) {
        module().writeRegister(offset, 3);
        EXPECT_EQ(module().readRegister(offset), 3) << std::hex << offset;
    }
}

TEST_F(KqRegisters, ArbLoadLandsInTheSelectedSegmentAndChannel) {
    send("VOLT:FORM 0");
    selectLoad(12, 3);
    EXPECT_EQ(block(kArbData, {0x0000, 0x7FFF, 0x8000}), 3u);
    EXPECT_EQ(bus().errors(), std::vector<int>{});
    EXPECT_EQ(module().segmentSize(12), 3u);
    EXPECT_EQ(module().segmentCodes(12, 3), (std::vector<std::uint16_t>{0x8000, 0xFFFF, 0x0000}));
    EXPECT_EQ(module().segmentCodes(12, 1), (std::vector<std::uint16_t>{0x8000, 0x8000, 0x8000}));

    // Consecutive blocks continue; load start begins again at point 0 and keeps the size.
    EXPECT_EQ(block(kArbData, {0x0001}), 1u);
    module().writeRegister(kLoadStart, 0);
    block(kArbData, {0x0002});
    EXPECT_EQ(module().segmentCodes(12, 3), (std::vector<std::uint16_t>{0x8002, 0xFFFF, 0x0000, 0x8001}));
    EXPECT_EQ(query("trac:poin? 12"), "4\n");
    EXPECT_EQ(query("trac:free?"), "524284,4\n");
}

TEST_F(KqRegisters, LoadSelectionOutsideTheModuleIsReportedOnce) {
    module().writeRegister(kSegmentFifo, 4096);
    EXPECT_EQ(bus().errors(), std::vector<int>{-222});
    module().writeRegister(kLoadStart, 0);
    block(kArbData, {1, 2});
    block(kArbData, {3});
    EXPECT_EQ(bus().errors(), std::vector<int>{-221});
    EXPECT_EQ(module().waveformMemoryUsed(), 0u);

    module().writeRegister(kSegmentFifo, 1);
    module().writeRegister(kChannel, 17);
    EXPECT_EQ(bus().errors(), std::vector<int>{-222});
    EXPECT_NE(std::stoi(query("*ESR?")) & 0x34, 0);
}

TEST_F(KqRegisters, ArbLoadStopsWhereWaveformMemoryEnds) {
    send("trac:def 0,524000");
    selectLoad(1, 1);
    std::vector<std::uint16_t> words(300, 0x8000);
    EXPECT_EQ(block(kArbData, words), 300u);
    EXPECT_EQ(module().segmentSize(1), 288u);
    EXPECT_EQ(bus().errors(), std::vector<int>{-225});
}

TEST_F(KqRegisters, FifoFillsUntilFullAndReportsFullAndEmpty) {
    EXPECT_EQ(module().readRegister(kSegmentFifo), 0x4000);
    std::vector<std::uint16_t> words(kFifoDepthWords + 10);
    std::iota(words.begin(), words.end(), 0);
    EXPECT_EQ(block(kSegmentFifo, words), kFifoDepthWords);
    EXPECT_EQ(module().readRegister(kSegmentFifo), 0x8000);
    EXPECT_EQ(block(kSegmentFifo, {1}), 0u);
    EXPECT_EQ(module().fifoFill(), kFifoDepthWords);

    send("ABOR");
    EXPECT_EQ(module().readRegister(kSegmentFifo), 0x4000);
    EXPECT_EQ(block(kSegmentFifo, {1, 2, 3}), 3u);
    EXPECT_EQ(module().readRegister(kSegmentFifo), 0x0000);
    send("*RST");
    EXPECT_EQ(module().fifoFill(), 0u);
}

TEST_F(KqRegisters, SingleWriteToTheSegmentRegisterIsNoFifoSample) {
    module().writeRegister(kSegmentFifo, 7);
    EXPECT_EQ(module().fifoFill(), 0u);
}

TEST_F(KqRegisters, RegisterModeDacWriteSetsTheChannelCodeInTheDataFormat) {
    send("VOLT:FORM 0");
    module().writeRegister(kDacSelect, 2);
    module().writeRegister(kDacData, 0x7FFF);
    EXPECT_EQ(module().dacCode(3), 0xFFFF);
    EXPECT_EQ(query("SOUR:VOLT:LEV? 3"), "19.9993896484375\n");
    send("VOLT:FORM 1");
    module().writeRegister(kDacData, 0x4000);
    EXPECT_DOUBLE_EQ(module().outputVoltage(3), -10.0);

    module().writeRegister(kDacSelect, 16);
    module().writeRegister(kDacData, 0);
    EXPECT_EQ(bus().errors(), (std::vector<int>{-222, -221}));
}

TEST_F(KqRegisters, ArmRegisterArmsTheArbUntilAbort) {
    module().writeRegister(kArm, 0);
    EXPECT_TRUE(module().arbArmed());
    send("ABOR");
    EXPECT_FALSE(module().arbArmed());
}

TEST_F(KqRegisters, IncrementingBlockWritesConsecutiveRegisters) {
    EXPECT_EQ(block(kChannel, {2, 0, 5}, true), 3u);
    EXPECT_EQ(module().readRegister(kChannel), 2);
    EXPECT_EQ(module().readRegister(kArbData), 5);
    EXPECT_EQ(block(0x3C, {1, 2, 3}, true), 2u);  // the register block ends at 0x3E
}

class Kq7110Registers : public ModuleTest {
protected:
    Kq7110Registers() : ModuleTest(ModuleKind::KQ7110) {}
};

TEST_F(Kq7110Registers, ChannelNineIsRefused) {
    module().writeRegister(kChannel, 9);
    module().writeRegister(kDacSelect, 8);
    EXPECT_EQ(bus().errors(), (std::vector<int>{-222, -222}));
}

TEST(SampleFifoStatus, UnderrunStaysUntilTheFifoIsCleared) {
    SampleFifo fifo(4);
    const std::uint16_t words[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(fifo.push(words), 4u);
    fifo.markUnderrun();
    EXPECT_EQ(fifo.statusWord(), kFifoFullBit | kFifoUnderrunBit);
    fifo.clear();
    EXPECT_EQ(fifo.statusWord(), kFifoEmptyBit);
}

}  // namespace
}  // namespace kqsim::testing
