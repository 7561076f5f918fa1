#include "visa_test_support.h"

#include <algorithm>

namespace kqvisatest {

void TestInstrument::writeMessage(std::string_view bytes, bool end) {
    std::lock_guard lock(mutex_);
    writes_.push_back({std::string(bytes), end});
    input_.append(bytes);
    if (!end) return;
    messages_.push_back(input_);
    const auto answer = answers_.find(input_);
    if (answer != answers_.end()) reply_.set(answer->second);
    input_.clear();
}

bool TestInstrument::replyPending() const {
    std::lock_guard lock(mutex_);
    return reply_.pending();
}

kqsim::ReplyChunk TestInstrument::readReply(char* into, std::size_t max) {
    std::lock_guard lock(mutex_);
    return reply_.read(into, chunkLimit_ != 0 ? std::min(max, chunkLimit_) : max);
}

void TestInstrument::deviceClear() {
    std::lock_guard lock(mutex_);
    input_.clear();
    reply_.clear();
    ++deviceClears_;
}

std::uint8_t TestInstrument::statusByte() {
    std::lock_guard lock(mutex_);
    return statusByte_;
}

std::uint16_t TestInstrument::readRegister(std::uint16_t offset) {
    std::lock_guard lock(mutex_);
    return registers_.at(offset / 2);
}

void TestInstrument::writeRegister(std::uint16_t offset, std::uint16_t value) {
    std::lock_guard lock(mutex_);
    registers_.at(offset / 2) = value;
}

std::size_t TestInstrument::writeRegisterBlock(std::uint16_t offset, const std::uint16_t* words,
                                               std::size_t count, bool increment) {
    std::lock_guard lock(mutex_);
    BlockWrite block{offset, {}, increment};
    std::size_t taken = count;
    if (!increment && offset == kFifoPort) {
        taken = std::min(count, fifoRoom_);
        fifoRoom_ -= taken;
        fifo_.insert(fifo_.end(), words, words + taken);
    } else {
        for (std::size_t i = 0; i < count; ++i)
            registers_.at((offset + (increment ? 2 * i : 0)) / 2) = words[i];
    }
    block.words.assign(words, words + taken);
    blockWrites_.push_back(std::move(block));
    return taken;
}

void TestInstrument::answer(const std::string& message, const std::string& reply) {
    std::lock_guard lock(mutex_);
    answers_[message] = reply;
}

void TestInstrument::queueReply(const std::string& reply) {
    std::lock_guard lock(mutex_);
    reply_.set(reply);
}

void TestInstrument::limitChunks(std::size_t bytes) {
    std::lock_guard lock(mutex_);
    chunkLimit_ = bytes;
}

void TestInstrument::setStatusByte(std::uint8_t value) {
    std::lock_guard lock(mutex_);
    statusByte_ = value;
}

void TestInstrument::setFifoRoom(std::size_t words) {
    std::lock_guard lock(mutex_);
    fifoRoom_ = words;
}

std::vector<ReceivedWrite> TestInstrument::writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
}

std::vector<std::string> TestInstrument::messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<BlockWrite> TestInstrument::blockWrites() const {
    std::lock_guard lock(mutex_);
    return blockWrites_;
}

std::uint16_t TestInstrument::registerValue(std::uint16_t offset) const {
    std::lock_guard lock(mutex_);
    return registers_.at(offset / 2);
}

std::vector<std::uint16_t> TestInstrument::fifoWords() const {
    std::lock_guard lock(mutex_);
    return fifo_;
}

int TestInstrument::deviceClears() const {
    std::lock_guard lock(mutex_);
    return deviceClears_;
}

std::vector<std::shared_ptr<TestInstrument>> installTestMainframe(kqsim::Interface interface,
                                                                  const std::vector<TestModule>& modules) {
    std::vector<std::shared_ptr<TestInstrument>> instruments;
    std::vector<kqsim::MountedModule> mounted;
    for (const TestModule& module : modules) {
        auto instrument = std::make_shared<TestInstrument>();
        kqsim::MountedModule entry;
        entry.config.kind = kqsim::ModuleKind::Foreign;
        entry.config.logicalAddress = module.logicalAddress;
        entry.config.slot = module.slot;
        entry.config.interfaceNumber = module.board;
        entry.config.manufacturerId = module.manufacturerId;
        entry.config.modelCode = module.modelCode;
        entry.config.idnModel = module.model;
        entry.manufacturerId = module.manufacturerId;
        entry.modelCode = module.modelCode;
        entry.instrument = instrument;
        mounted.push_back(std::move(entry));
        instruments.push_back(std::move(instrument));
    }
    kqsim::installMainframe(std::make_shared<kqsim::Mainframe>(interface, std::move(mounted)));
    return instruments;
}

void VisaTest::SetUp() {
    kqvisa::resetFaults();
    installTwoInstruments();
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
    kqvisa::clearTrace();
}

void VisaTest::TearDown() {
    viClose(rm_);
    kqvisa::resetFaults();
}

void VisaTest::installTwoInstruments() {
    instruments_ = installTestMainframe(
        kqsim::Interface::Vxi, {{.logicalAddress = 24, .slot = 2}, {.logicalAddress = 32, .slot = 3}});
}

ViSession VisaTest::open(const std::string& descriptor) {
    ViSession session = VI_NULL;
    EXPECT_EQ(viOpen(rm_, descriptor.c_str(), VI_NULL, 0, &session), VI_SUCCESS) << descriptor;
    return session;
}

std::vector<kqvisa::TraceRecord> VisaTest::records(kqvisa::Op op) {
    std::vector<kqvisa::TraceRecord> matching;
    for (const kqvisa::TraceRecord& record : kqvisa::trace()) {
        if (record.op == op) matching.push_back(record);
    }
    return matching;
}

void InstrumentTest::SetUp() {
    VisaTest::SetUp();
    session_ = open("VXI0::24::INSTR");
    module_ = instruments_[0];
}

ViStatus writeBytes(ViSession session, const std::string& bytes, ViUInt32* count) {
    ViUInt32 written = 0;
    const ViStatus status = viWrite(session, reinterpret_cast<ViConstBuf>(bytes.data()),
                                    static_cast<ViUInt32>(bytes.size()), &written);
    if (count != nullptr) *count = written;
    return status;
}

std::string readBytes(ViSession session, ViUInt32 count, ViStatus& status) {
    std::string buffer(count, '\0');
    ViUInt32 got = 12345;
    status = viRead(session, reinterpret_cast<ViPBuf>(buffer.data()), count, &got);
    EXPECT_LE(got, count);
    buffer.resize(got);
    return buffer;
}

}  // namespace kqvisatest
