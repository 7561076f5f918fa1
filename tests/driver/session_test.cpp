// Opening, resetting and closing modules, and the model table that remembers what each one is.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver_test_support.h"
#include "kq7120.h"
#include "kqsim/mainframe.h"
#include "kqvisa/bus_trace.h"
#include "kqvisa/fault_injection.h"

namespace {

using kqsim::ModuleKind;
using kqtest::DriverTest;
using Messages = std::vector<std::string>;

class Session : public DriverTest {};

TEST_F(Session, InitRefusesBadArgumentsBeforeOpeningAnything) {
    struct Case {
        const char* descriptor;
        ViUInt16 idQuery;
        ViUInt16 reset;
        ViStatus status;
    };
    const Case cases[] = {
        {nullptr, 0, 0, VI_ERROR_PARAMETER1},
        {kqtest::kKq7120Descriptor, 2, 0, VI_ERROR_PARAMETER2},
        {kqtest::kKq7120Descriptor, 0xFFFF, 1, VI_ERROR_PARAMETER2},
        {kqtest::kKq7120Descriptor, 1, 2, VI_ERROR_PARAMETER3},
    };
    for (const auto& c : cases) {
        ViSession session = 77;
        EXPECT_EQ(kq7120_init(c.descriptor, c.idQuery, c.reset, &session), c.status);
        EXPECT_EQ(session, 0u);
    }
    EXPECT_EQ(kq7120_init(kqtest::kKq7120Descriptor, 0, 0, nullptr), VI_ERROR_PARAMETER4);
    EXPECT_TRUE(kqvisa::trace().empty());
}

TEST_F(Session, IdentificationQueryRunsEvenWithoutIdQuery) {
    ViSession session = 0;
    ASSERT_EQ(
        kq7120_init(kqtest::kKq7120Descriptor, kq7120_INIT_ID_NO_QUERY, kq7120_INIT_NOT_RESET, &session),
        VI_SUCCESS);
    EXPECT_NE(session, 0u);
    EXPECT_EQ(sent(), (Messages{"*IDN?", "*ESR?"}));
    EXPECT_TRUE(calls(kqvisa::Op::GetAttribute).size() == 1u) << "only the logical address is read";
    EXPECT_EQ(kq7120_close(session), VI_SUCCESS);
}

TEST_F(Session, IdentityCheckThenResetThenIdentification) {
    ViSession session = 0;
    ASSERT_EQ(kq7120_init(kqtest::kKq7120Descriptor, kq7120_INIT_ID_QUERY, kq7120_INIT_RESET, &session),
              VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"*RST", "*ESR?", "*IDN?", "*ESR?"}));
    std::vector<ViAttr> attributesBeforeFirstWrite;
    for (const auto& record : kqvisa::trace()) {
        if (record.op == kqvisa::Op::Write) break;
        if (record.op == kqvisa::Op::GetAttribute) attributesBeforeFirstWrite.push_back(record.attribute);
    }
    EXPECT_EQ(attributesBeforeFirstWrite, (std::vector<ViAttr>{VI_ATTR_MANF_ID, VI_ATTR_MODEL_CODE}));
    EXPECT_EQ(kq7120_close(session), VI_SUCCESS);
}

// Each failure after viOpen leaves no handle and no open session behind.
TEST_F(Session, FailedInitClosesTheSessionItOpened) {
    struct Case {
        const char* name;
        kqsim::ModuleConfig module;
        const char* idnReply;  // scripted "*IDN?" reply, or nullptr
        const char* esrReply;  // scripted first "*ESR?" reply, or nullptr
        ViStatus status;
    };
    const kqsim::ModuleConfig foreignMaker{.logicalAddress = 24, .slot = 2, .manufacturerId = 0x0FF1};
    const kqsim::ModuleConfig otherModelCode{.logicalAddress = 24, .slot = 2, .modelCode = 0x104};
    const kqsim::ModuleConfig kq7130{.logicalAddress = 24, .slot = 2, .idnModel = "KQ7130"};
    const auto plain = kqtest::module(ModuleKind::KQ7120, 24, 2);
    const std::string longReply(1100, 'x');
    const Case cases[] = {
        {"other maker", foreignMaker, nullptr, nullptr, kq7120_INV_MANF_ID},
        {"other model code", otherModelCode, nullptr, nullptr, kq7120_INV_MODEL_CODE},
        {"answers KQ7130", kq7130, nullptr, nullptr, VI_ERROR_RSRC_NFOUND},
        {"reply without comma", plain, "KQ7120\n", nullptr, kq7120_ERROR_IDN_QUERY_RESPONSE},
        {"reply without newline", plain, longReply.c_str(), nullptr, kq7120_READ_BUFFER_FULL},
        {"reset refused", plain, nullptr, "32\n", kq7120_INSTRUMENT_ERROR},
    };
    for (const auto& c : cases) {
        install({.modules = {c.module}});
        if (c.idnReply) kqvisa::scriptReply("*IDN?", c.idnReply);
        if (c.esrReply) kqvisa::scriptReply("*ESR?", c.esrReply);
        ViSession session = 55;
        EXPECT_EQ(kq7120_init(kqtest::kKq7120Descriptor, 1, 1, &session), c.status) << c.name;
        EXPECT_EQ(session, 0u) << c.name;
        const auto opens = calls(kqvisa::Op::Open);
        const auto closes = calls(kqvisa::Op::Close);
        ASSERT_EQ(opens.size(), 1u) << c.name;
        ASSERT_EQ(closes.size(), 1u) << c.name;
        EXPECT_EQ(closes[0].session, static_cast<ViSession>(opens[0].value)) << c.name;
        kqvisa::resetFaults();
    }
}

TEST_F(Session, FailedOpenIsReturnedAsIs) {
    kqvisa::failCall(kqvisa::Op::Open, VI_ERROR_RSRC_BUSY);
    ViSession session = 9;
    EXPECT_EQ(kq7120_init(kqtest::kKq7120Descriptor, 1, 1, &session), VI_ERROR_RSRC_BUSY);
    EXPECT_EQ(session, 0u);
    EXPECT_EQ(kq7120_init("VXI0::99::INSTR", 1, 1, &session), VI_ERROR_RSRC_NFOUND);
    EXPECT_TRUE(sent().empty());
}

TEST_F(Session, ResetSendsRstWithErrorCheck) {
    const ViSession session = open(kqtest::kKq7120Descriptor);
    EXPECT_EQ(kq7120_reset(session), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"*RST", "*ESR?"}));
    const auto writes = calls(kqvisa::Op::Write);
    ASSERT_FALSE(writes.empty());
    EXPECT_EQ(writes[0].data.size(), 4u);
    EXPECT_EQ(kq7120_reset(0), VI_ERROR_INV_OBJECT);
}

TEST_F(Session, CloseChecksTheHandleAndPassesVisaFailures) {
    EXPECT_EQ(kq7120_close(0), VI_ERROR_INV_OBJECT);
    EXPECT_TRUE(kqvisa::trace().empty());
    ViSession session = 0;
    ASSERT_EQ(kq7120_init(kqtest::kKq7120Descriptor, 0, 0, &session), VI_SUCCESS);
    kqvisa::failCall(kqvisa::Op::Close, VI_ERROR_CLOSING_FAILED);
    EXPECT_EQ(kq7120_close(session), VI_ERROR_CLOSING_FAILED);
    kqvisa::resetFaults();
    EXPECT_EQ(kq7120_close(session), VI_SUCCESS);
}

TEST_F(Session, ModelTableKeepsEntriesAcrossClose) {
    ViSession session = 0;
    ASSERT_EQ(kq7120_init(kqtest::kKq7110Descriptor, 0, 0, &session), VI_SUCCESS);
    ViInt16 model = 0;
    EXPECT_EQ(getModelNum(session, &model), VI_SUCCESS);
    EXPECT_EQ(model, kq7120_KQ7110);
    ASSERT_EQ(kq7120_close(session), VI_SUCCESS);

    // A session opened with VISA directly to the same address reads the same entry, no I/O.
    ViSession resourceManager = 0;
    ViSession direct = 0;
    ASSERT_EQ(viOpenDefaultRM(&resourceManager), VI_SUCCESS);
    ASSERT_EQ(viOpen(resourceManager, kqtest::kKq7110Descriptor, 0, 0, &direct), VI_SUCCESS);
    kqvisa::clearTrace();
    model = 0;
    EXPECT_EQ(getModelNum(direct, &model), VI_SUCCESS);
    EXPECT_EQ(model, kq7120_KQ7110);
    EXPECT_TRUE(sent().empty());
    viClose(resourceManager);
}

TEST_F(Session, ModuleNeverIdentifiedGetsEightChannelLimits) {
    kqsim::ChassisConfig chassis;
    chassis.modules = {kqtest::module(ModuleKind::KQ7120, 60, 7)};
    install(chassis);
    ViSession resourceManager = 0;
    ViSession direct = 0;
    ASSERT_EQ(viOpenDefaultRM(&resourceManager), VI_SUCCESS);
    ASSERT_EQ(viOpen(resourceManager, "VXI0::60::INSTR", 0, 0, &direct), VI_SUCCESS);
    kqvisa::clearTrace();

    ViInt16 model = -1;
    EXPECT_EQ(getModelNum(direct, &model), VI_SUCCESS);
    EXPECT_EQ(model, 0);
    const ViInt16 nine[] = {9};
    EXPECT_EQ(kq7120_setupVoltage(direct, 1.0f, nine, 1), VI_ERROR_PARAMETER3);
    const ViInt16 nineChannels[] = {1, 2, 3, 4, 5, 6, 7, 8, 1};
    EXPECT_EQ(kq7120_setupVoltage(direct, 1.0f, nineChannels, 9), VI_ERROR_PARAMETER4);
    EXPECT_TRUE(sent().empty());
    // The read-back tests channels only for an identified model: the module itself judges channel 12.
    ViReal32 volts = -1.0f;
    EXPECT_EQ(kq7120_queryVoltage(direct, 12, &volts), VI_SUCCESS);
    EXPECT_EQ(sent(), (Messages{"SOUR:VOLT:LEV? 12", "*ESR?"}));
    viClose(resourceManager);
}

TEST_F(Session, LogicalAddressFromTheSession) {
    const ViSession session = open(kqtest::kKq7110Descriptor);
    ViInt16 address = -1;
    EXPECT_EQ(getLaFmHndl(session, &address), VI_SUCCESS);
    EXPECT_EQ(address, 40);
    kqvisa::failCall(kqvisa::Op::GetAttribute, VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(getLaFmHndl(session, &address), VI_ERROR_NSUP_ATTR);
    EXPECT_EQ(address, 0);
}

TEST_F(Session, IdentificationParsesTheSecondField) {
    const ViSession session = open(kqtest::kKq7120Descriptor);
    struct Case {
        const char* reply;
        ViStatus status;
        ViInt16 model;
    };
    const Case cases[] = {
        {"Maker,KQ7110,0,1.0\n", VI_SUCCESS, kq7120_KQ7110},
        {"Maker,KQ7120\n", VI_SUCCESS, kq7120_KQ7120},
        {"Maker,KQ7130,0,1.0\n", VI_ERROR_RSRC_NFOUND, kq7120_KQ7120},
        {"Maker,KQ\n", VI_ERROR_RSRC_NFOUND, kq7120_KQ7120},
        {"Maker,,0\n", VI_ERROR_RSRC_NFOUND, kq7120_KQ7120},
        {"Maker KQ7110\n", kq7120_ERROR_IDN_QUERY_RESPONSE, kq7120_KQ7120},
        {"\n", kq7120_ERROR_IDN_QUERY_RESPONSE, kq7120_KQ7120},
    };
    for (const auto& c : cases) {
        // Start each case from the module's own answer, KQ7120.
        ViInt16 model = 0;
        ASSERT_EQ(kq7120_getModelNumber(session, &model), VI_SUCCESS);
        kqvisa::scriptReply("*IDN?", c.reply);
        model = 0;
        EXPECT_EQ(kq7120_getModelNumber(session, &model), c.status) << c.reply;
        ViInt16 table = 0;
        EXPECT_EQ(getModelNum(session, &table), VI_SUCCESS);
        EXPECT_EQ(table, c.model) << c.reply;
        EXPECT_EQ(model, c.status == VI_SUCCESS ? c.model : 0) << c.reply;
    }
}

}  // namespace
